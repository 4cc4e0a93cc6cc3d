// A long random session: every control of the panel used at random, typed
// junk included, interleaved with ticks.  After every action and every tick
// the state must stay sound:
//  - the node count is 0 or a whole 2..24, and the records past the last
//    active station stay idle (silent output, idle cells, empty queue);
//  - PathLength is at most 24, every QueueCount within 0..101, HubSource -1 or
//    an active station, and the rules' typed copy of the settings equals
//    what the controls say;
//  - the packets of every station are accounted for: packets queued there
//    since the last reset = packets that left its queue + packets still in it.
//
// To count arrivals and departures per station without help from the code
// under test, the soak writes a marker length (10001 + k, longer than any
// real packet) into every queue entry k beyond QueueCount before each step.
// Taking the head packet off shifts the whole queue down by one, markers
// included, and an arrival writes its own packet after the last one; so the
// queue after the step tells which happened.  Only when a queue is (nearly)
// full of identical packets can "nothing happened" and "one left, one came"
// look the same; then the station's own count of packets that left decides.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/form1.h"

namespace maclab {
namespace {

constexpr Integer MarkerBase = 10001;

struct QueueCopy {
    Integer Count = 0;
    std::array<Integer, QueueSlots> Length{};
    std::array<Integer, QueueSlots> Dest{};
};

// Typed texts a user might put into any box: empty, huge, negative, letters,
// odd spacing, numbers at and beyond every limit, and the names that mean
// something in another box.
const std::vector<std::string>& JunkTexts() {
    static const std::vector<std::string> texts = {"",
                                                   " ",
                                                   "-5",
                                                   "-1e308",
                                                   "1e308",
                                                   "1e999",
                                                   "abc",
                                                   "nan",
                                                   "inf",
                                                   "0x1F",
                                                   "0",
                                                   "1",
                                                   "1.5",
                                                   "1.99",
                                                   "2",
                                                   "2.5",
                                                   "6.5",
                                                   "7.5",
                                                   "24",
                                                   "24.4",
                                                   "25",
                                                   "1000000",
                                                   "1e6",
                                                   "3",
                                                   "2.9",
                                                   "10000",
                                                   "10001",
                                                   "0.0001",
                                                   "\t12",
                                                   "1 2",
                                                   "+5",
                                                   ".5",
                                                   "5.",
                                                   "1e",
                                                   "1d2",
                                                   "-0",
                                                   "ALOHA",
                                                   "Slotted ALOHA",
                                                   "CSMA",
                                                   "CSMA/CD",
                                                   "CSMA/CD + R",
                                                   "RTS/CTS",
                                                   "Token Passing",
                                                   "Polling",
                                                   "Bus",
                                                   "Star",
                                                   "Ring",
                                                   "Space",
                                                   "Wide Space",
                                                   "star",
                                                   "Wide  Space",
                                                   " 7",
                                                   "2.0",
                                                   "0.01",
                                                   std::string(5000, '9'),
                                                   std::string(3000, 'x'),
                                                   "-" + std::string(400, '7')};
    return texts;
}

class Soak {
  public:
    explicit Soak(unsigned seed) : choose_(seed) {
        form_.Form_Load();
        Remember();
        CheckState("start-up");
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
    long long Arrivals() const { return arrivals_; }
    long long Departures() const { return departures_; }
    long long SettledByCounter() const { return settledByCounter_; }
    long long FullQueueSteps() const { return fullQueueSteps_; }
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
            const auto& texts = JunkTexts();
            return texts[Uniform(0, static_cast<int>(texts.size()) - 1)];
        }
        std::string text(Uniform(0, 12), ' ');
        for (char& c : text) c = static_cast<char>(Uniform(1, 255));
        return text;
    }

    template <typename Action> void Act(const char* what, Action action) {
        PlantMarkers();
        action();
        Account(what, false);
        CheckState(what);
    }

    void Tick() {
        PlantMarkers();
        const bool running = form_.Running != 0;
        if (form_.Timer1.Enabled) {
            form_.Timer1_Timer();
            ++ticks_;
            if (running) ++startedTicks_;
        }
        Account("tick", running);
        CheckState("tick");
    }

    void PlantMarkers() {
        for (int i = 0; i < StationRecords; ++i) {
            Node& s = form_.NodeTable[i];
            for (int k = std::max<int>(s.QueueCount, 0); k < QueueSlots; ++k)
                s.QueueLength[k] = static_cast<Integer>(MarkerBase + k);
        }
        Remember();
    }

    void Remember() {
        for (int i = 0; i < StationRecords; ++i) {
            const Node& s = form_.NodeTable[i];
            before_[i].Count = s.QueueCount;
            before_[i].Length = s.QueueLength;
            before_[i].Dest = s.QueueDest;
            leftBefore_[i] = LeftCount(s);
        }
        totalQueuedBefore_ = form_.TotalQueued;
        tickBefore_ = form_.TickCount;
    }

    static std::int64_t LeftCount(const Node& s) {
        std::int64_t sum = 0;
        for (const Long n : s.QueueLeft) sum += n;
        return sum;
    }

    // A packet that has just arrived at station i: the current length, and one
    // of the two nearest stations on either side.
    bool PlausibleArrival(int i, Integer length, Integer dest) const {
        const int n = form_.ActiveStations();
        if (length != CInt(form_.PacketLength) || dest < 0 || dest >= n || dest == i) return false;
        const int ahead = ((dest - i) % n + n) % n;
        return ahead <= 2 || ahead >= n - 2;
    }

    // Does the queue of station i now look like `before` with `left` packets
    // taken off the head (0 or 1) and `came` packets appended (0 or 1)?
    bool Matches(int i, const QueueCopy& before, int left, int came) const {
        const Node& s = form_.NodeTable[i];
        if (left > before.Count) return false;
        if (s.QueueCount != before.Count - left + came) return false;
        if (came == 1 && before.Count - left >= QueueSlots) return false;
        const int arrivalAt = came == 1 ? before.Count - left : -1;
        for (int k = 0; k < QueueSlots; ++k) {
            const int from = left == 1 && k < QueueSlots - 1 ? k + 1 : k;
            if (k == arrivalAt) {
                if (!PlausibleArrival(i, s.QueueLength[k], s.QueueDest[k])) return false;
            } else if (s.QueueLength[k] != before.Length[from] ||
                       (k < s.QueueCount && s.QueueDest[k] != before.Dest[from])) {
                return false;
            }
        }
        return true;
    }

    void Account(const char* what, bool arrivalsPossible) {
        const bool reset = form_.TotalQueued < totalQueuedBefore_ || form_.TickCount < tickBefore_;
        if (reset) {
            for (int i = 0; i < StationRecords; ++i) {
                ASSERT_EQ(form_.NodeTable[i].QueueCount, 0)
                    << what << ": reset left station " << i << " with packets";
                ASSERT_EQ(LeftCount(form_.NodeTable[i]), 0) << what << ": station " << i;
            }
            ASSERT_EQ(form_.TotalQueued, 0) << what;
            queued_.fill(0);
            left_.fill(0);
            return;
        }
        const bool tick = std::string(what) == "tick";
        std::int64_t cameInAll = 0;
        for (int i = 0; i < StationRecords; ++i) {
            const Node& s = form_.NodeTable[i];
            ASSERT_GE(s.QueueCount, 0) << what << ": station " << i;
            ASSERT_LE(s.QueueCount, QueueSlots) << what << ": station " << i;
            int left = -1, came = -1, fits = 0;
            for (int l = 0; l <= 1; ++l)
                for (int c = 0; c <= 1; ++c)
                    if (Matches(i, before_[i], l, c)) {
                        ++fits;
                        left = l;
                        came = c;
                    }
            ASSERT_GE(fits, 1) << what << " at tick " << form_.TickCount
                               << ": the queue of station " << i
                               << " changed in a way no packet arrival or departure explains";
            if (fits > 1) {
                // Identical packets throughout: the station's own count decides.
                ++settledByCounter_;
                left = static_cast<int>(LeftCount(s) - leftBefore_[i]);
                ASSERT_TRUE(left == 0 || left == 1) << what << ": station " << i;
                came = left;
                ASSERT_TRUE(Matches(i, before_[i], left, came)) << what << ": station " << i;
            }
            if (before_[i].Count >= QueueSlots - 1) ++fullQueueSteps_;
            if (!tick) {
                ASSERT_EQ(left, 0) << what << " took a packet off station " << i;
            }
            if (tick && !arrivalsPossible && came == 1) {
                FAIL() << "a packet arrived at station " << i << " while traffic was stopped";
            }
            queued_[i] += came;
            left_[i] += left;
            cameInAll += came;
            arrivals_ += came;
            departures_ += left;
            // The accounting itself, and the station's own count of packets
            // that left, against what the queue showed.
            ASSERT_EQ(queued_[i], left_[i] + s.QueueCount) << what << ": station " << i;
            ASSERT_EQ(left_[i], LeftCount(s))
                << what << " at tick " << form_.TickCount << ": station " << i;
        }
        ASSERT_EQ(form_.TotalQueued - totalQueuedBefore_, cameInAll)
            << what << ": TotalQueued disagrees with the packets that arrived";
        std::int64_t all = 0;
        for (const auto q : queued_) all += q;
        ASSERT_EQ(all, form_.TotalQueued) << what;
    }

    void CheckState(const char* what) {
        const double nodes = form_.NodeCount;
        ASSERT_TRUE(nodes == 0 || (nodes >= 2 && nodes <= 24 && nodes == std::floor(nodes)))
            << what << ": NodeCount " << nodes;
        const int n = form_.ActiveStations();
        ASSERT_EQ(n, static_cast<int>(nodes)) << what;
        ASSERT_GE(form_.PathLength, 0) << what;
        ASSERT_LE(form_.PathLength, 24) << what;
        ASSERT_TRUE(form_.HubSource == -1 || (form_.HubSource >= 0 && form_.HubSource < n))
            << what << ": HubSource " << form_.HubSource << " with " << n << " stations";
        ASSERT_TRUE(form_.Settings == form_.SettingsFromControls())
            << what << ": the rules' copy of the settings differs from the controls";
        const Long idle = form_.BackColour;
        // The cells a reset puts back to silence.  (On the Bus a drop line also
        // has a third cell beyond PathLength = 1; a reset leaves whatever it
        // last held, and the first tick overwrites it before anything reads it.)
        const int cells = std::min<int>(form_.PathLength, PathCells - 1);
        for (int k = n; k < StationRecords; ++k) {
            const Node& s = form_.NodeTable[k];
            ASSERT_EQ(s.Output, idle) << what << ": idle record " << k << " puts out a signal";
            ASSERT_EQ(s.QueueCount, 0) << what << ": idle record " << k;
            ASSERT_EQ(s.TxState, TxIdle) << what << ": idle record " << k;
            ASSERT_EQ(s.TxProgress, 0) << what << ": idle record " << k;
            for (int c = 0; c <= cells; ++c) {
                ASSERT_EQ(s.OutPath[c], idle) << what << ": idle record " << k << " cell " << c
                                              << " topology " << form_.Topology;
                ASSERT_EQ(s.InPath[c], idle) << what << ": idle record " << k << " cell " << c;
                ASSERT_EQ(s.CellShown[c], idle) << what << ": idle record " << k << " cell " << c;
            }
        }
    }

    Form1 form_;
    std::mt19937 choose_;
    std::array<QueueCopy, StationRecords> before_{};
    std::array<std::int64_t, StationRecords> leftBefore_{};
    std::int64_t totalQueuedBefore_ = 0;
    Long tickBefore_ = 0;
    std::array<std::int64_t, StationRecords> queued_{};
    std::array<std::int64_t, StationRecords> left_{};
    long long ticks_ = 0, startedTicks_ = 0, arrivals_ = 0, departures_ = 0;
    long long settledByCounter_ = 0, fullQueueSteps_ = 0;
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
