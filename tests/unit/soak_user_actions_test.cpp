// A long random session: every control of the panel used at random, typed
// junk included, interleaved with ticks; after every action and every tick
// the audit (support/soak_audit.h) checks that the state stays sound and
// every packet is accounted for.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/form1.h"
#include "support/soak_audit.h"
#include "support/soak_texts.h"

namespace maclab {
namespace {

class Soak {
  public:
    explicit Soak(unsigned seed) : choose_(seed), audit_(form_) {
        form_.Form_Load();
        audit_.Start("start-up");
    }

    void Run(int actions) {
        for (int a = 0; a < actions && !::testing::Test::HasFatalFailure(); ++a) {
            const int roll = Uniform(0, 99);
            if (roll < 50) {
                const int ticks = Uniform(1, 80);
                for (int t = 0; t < ticks && !::testing::Test::HasFatalFailure(); ++t) Tick();
            } else if (roll < 58) {
                Act("pick", [this] {
                    ComboBox& box = AnyBox();
                    if (!box.List.empty())
                        form_.UserPick(box,
                                       box.List[Uniform(0, static_cast<int>(box.List.size()) - 1)]);
                });
            } else if (roll < 66) {
                Act("edit", [this] {
                    ComboBox& box = AnyBox();
                    form_.UserEdit(box, TypedText(box));
                });
            } else if (roll < 72) {
                Act("toggle", [this] {
                    Control* toggles[] = {&form_.chkSpeed, &form_.chkStatus, &form_.chkReliable,
                                          &form_.chkRandom};
                    Control& toggle = *toggles[Uniform(0, 3)];
                    if (toggle.Visible) form_.UserToggle(toggle); // a hidden one cannot be clicked
                });
            } else if (roll < 76) {
                Act("start/stop", [this] { form_.cmdStart_Click(0); });
            } else if (roll < 78) {
                Act("reset", [this] { form_.cmdStart_Click(1); });
            } else if (roll < 80) {
                Act("pause", [this] { form_.cmdPause_Click(); });
            } else {
                Act("node button", [this] {
                    std::vector<int> shown;
                    for (int i = 0; i < StationControls; ++i)
                        if (form_.cmdNode[i].Visible) shown.push_back(i);
                    if (!shown.empty())
                        form_.cmdNode_Click(shown[Uniform(0, static_cast<int>(shown.size()) - 1)]);
                });
            }
        }
    }

    long long Ticks() const { return ticks_; }
    long long Arrivals() const { return audit_.Arrivals(); }
    long long Departures() const { return audit_.Departures(); }
    long long SettledByCounter() const { return audit_.SettledByCounter(); }
    long long FullQueueSteps() const { return audit_.FullQueueSteps(); }
    long long StartedTicks() const { return startedTicks_; }

  private:
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(choose_); }

    ComboBox& AnyBox() {
        ComboBox* boxes[] = {&form_.cmbNodes, &form_.cmbLength, &form_.cmbScheme,
                             &form_.cmbTopology, &form_.cmbOT};
        return *boxes[Uniform(0, 4)];
    }

    // Half the time what the box is for (one of its entries, or the scheme
    // that has no entry), otherwise junk.
    std::string TypedText(const ComboBox& box) {
        if (Uniform(0, 1) == 0) {
            if (&box == &form_.cmbScheme && Uniform(0, 7) == 0) return "CSMA/CD + R";
            if (!box.List.empty())
                return box.List[Uniform(0, static_cast<int>(box.List.size()) - 1)];
        }
        if (Uniform(0, 4) > 0) {
            const auto& texts = testing::JunkTexts();
            return texts[Uniform(0, static_cast<int>(texts.size()) - 1)];
        }
        std::string text(Uniform(0, 12), ' ');
        for (char& c : text) c = static_cast<char>(Uniform(1, 255));
        return text;
    }

    template <typename Action> void Act(const char* what, Action action) {
        audit_.Before();
        action();
        audit_.After(what, false, false);
    }

    void Tick() {
        audit_.Before();
        const bool running = form_.Running != 0;
        if (form_.Timer1.Enabled) {
            form_.Timer1_Timer();
            ++ticks_;
            if (running) ++startedTicks_;
        }
        audit_.After("tick", true, running);
    }

    Form1 form_;
    std::mt19937 choose_;
    testing::SoakAudit audit_;
    long long ticks_ = 0, startedTicks_ = 0;
};

// Three sessions with different choices of action; together they pass
// through every scheme, topology and station count many times.
TEST(SoakUserActions, RandomSessionsKeepTheStateSoundAndEveryPacketAccountedFor) {
    long long ticks = 0, started = 0, arrivals = 0, departures = 0, full = 0, settled = 0;
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Soak soak(seed);
        soak.Run(4000);
        if (HasFatalFailure()) return;
        ticks += soak.Ticks();
        started += soak.StartedTicks();
        arrivals += soak.Arrivals();
        departures += soak.Departures();
        full += soak.FullQueueSteps();
        settled += soak.SettledByCounter();
    }
    // The sessions did what they are meant to: long stretches of ticking
    // with traffic on, packets coming and going, full queues as well.
    EXPECT_GT(ticks, 100000);
    EXPECT_GT(started, 20000);
    EXPECT_GT(arrivals, 5000);
    EXPECT_GT(departures, 1000);
    EXPECT_GT(full, 100);
    RecordProperty("ticks", std::to_string(ticks));
    RecordProperty("settled_by_counter", std::to_string(settled));
}

} // namespace
} // namespace maclab
