// The work a tick leaves out must change nothing that can be seen: a network
// at rest, drawing that nobody sees, and the radio table worked out once.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "core/form1.h"
#include "support/recording_surface.h"

namespace maclab {
namespace {

using testing::RecordingSurface;

std::unique_ptr<Form1> Opened(std::string_view topology, std::string_view scheme, int nodes) {
    auto f = std::make_unique<Form1>();
    f->Form_Load();
    f->UserPick(f->cmbTopology, std::string(topology));
    f->UserEdit(f->cmbNodes, std::to_string(nodes));
    f->UserEdit(f->cmbScheme, std::string(scheme));
    return f;
}

// Everything a tick can change, as text.
std::string StateOf(Form1& f) {
    std::string text = std::to_string(f.TickCount) + " " + std::to_string(f.TotalQueued) + " " +
                       std::to_string(f.TotalSent) + " " + std::to_string(f.TotalReceived) + " " +
                       f.lblUtilisation.Caption + f.lblEfficiency.Caption;
    for (int i = 0; i < StationRecords; ++i) {
        const Node& s = f.NodeTable[i];
        for (const long long v :
             {(long long)s.TxState, (long long)s.RxState, (long long)s.QueueCount,
              (long long)s.ControlPending, (long long)s.TxProgress, (long long)s.RxProgress,
              (long long)s.TxTimer, (long long)s.Heard, (long long)s.Heard1, (long long)s.Heard2,
              (long long)s.Output, (long long)s.HoldsToken, (long long)s.RingHoldOff})
            text += " " + std::to_string(v);
        for (int k = 0; k < PathCells; ++k)
            text += " " + std::to_string(s.OutPath[k]) + "/" + std::to_string(s.InPath[k]);
        if (i < StationControls)
            text += " " + std::to_string(f.shpNode[i].BorderColor) + f.lblTxStatus[i].Caption;
    }
    return text + " " + std::to_string(f.Rnd());
}

// Busy, then draining, then idle with clicks, stops and starts: with and
// without the shortcut at rest, every scheme on every topology ends alike.
TEST(TickShortcuts, ANetworkAtRestTicksAsIfEveryStepRan) {
    for (const TopologyInfo& t : Topologies)
        for (const SchemeName& scheme : SchemeNames) {
            auto fast = Opened(t.Name, scheme.Text, 6);
            auto full = Opened(t.Name, scheme.Text, 6);
            full->RestShortcut = false;
            std::mt19937 plan(static_cast<unsigned>(t.Code) * 31 + scheme.Text.size());
            const auto both = [&](auto&& act) {
                act(*fast);
                act(*full);
            };
            both([](Form1& f) {
                f.UserToggle(f.chkStatus);
                f.UserEdit(f.cmbOT, "0.5");
                f.cmdStart_Click(0);
            });
            bool rested = false;
            for (int phase = 0; phase < 12; ++phase) {
                const int ticks = static_cast<int>(plan() % 600) + 1;
                both([&](Form1& f) {
                    for (int k = 0; k < ticks; ++k) f.Timer1_Timer();
                });
                rested = rested || fast->AtRestNow();
                ASSERT_EQ(StateOf(*fast), StateOf(*full)) << t.Name << " " << scheme.Text;
                const unsigned what = plan() % 4;
                const int station = static_cast<int>(plan() % 6);
                both([&](Form1& f) {
                    if (phase == 1) f.UserEdit(f.cmbOT, "0");
                    if (what == 0) f.cmdNode_Click(station);
                    if (what == 1) f.cmdStart_Click(0);
                });
            }
            // Without arrivals the queues drain (unless hidden stations keep
            // asking in vain); a token or poll goes round for ever.
            both([](Form1& f) {
                f.UserEdit(f.cmbOT, "0");
                for (int k = 0; k < 15000; ++k) f.Timer1_Timer();
            });
            rested = rested || fast->AtRestNow();
            both([](Form1& f) {
                f.cmdNode_Click(2);
                for (int k = 0; k < 700; ++k) f.Timer1_Timer();
            });
            ASSERT_EQ(StateOf(*fast), StateOf(*full)) << t.Name << " " << scheme.Text;
            int waiting = 0;
            for (const Node& s : full->NodeTable) waiting += s.QueueCount;
            if (scheme.Code != Scheme::TokenPassing && scheme.Code != Scheme::Polling &&
                waiting == 0) {
                EXPECT_TRUE(rested) << t.Name << " " << scheme.Text;
            }
        }
}

// Drawing left out while the surface draws nothing resumes exactly as if it
// had gone on all the time.
TEST(TickShortcuts, DrawingResumesWhereItWouldHaveBeen) {
    for (const TopologyInfo& t : Topologies) {
        auto seen = Opened(t.Name, "ALOHA", 8);
        auto hidden = Opened(t.Name, "ALOHA", 8);
        RecordingSurface always, sometimes;
        seen->SetSurface(&always);
        hidden->SetSurface(&sometimes);
        for (Form1* f : {seen.get(), hidden.get()}) {
            f->UserEdit(f->cmbOT, "1.0");
            f->cmdStart_Click(0);
        }
        for (int round = 0; round < 6; ++round) {
            sometimes.drawing = false;
            for (int k = 0; k < 37 * (round + 1); ++k) {
                seen->Timer1_Timer();
                hidden->Timer1_Timer();
            }
            sometimes.drawing = true;
            always.Reset();
            sometimes.Reset();
            for (int k = 0; k < 25; ++k) {
                seen->Timer1_Timer();
                hidden->Timer1_Timer();
            }
            ASSERT_EQ(always.calls.size(), sometimes.calls.size()) << t.Name << " " << round;
            for (std::size_t c = 0; c < always.calls.size(); ++c) {
                const auto &a = always.calls[c], &b = sometimes.calls[c];
                ASSERT_TRUE(a.kind == b.kind && a.x == b.x && a.y == b.y && a.colour == b.colour &&
                            a.index == b.index)
                    << t.Name << " call " << c;
            }
        }
        seen->SetSurface(nullptr);
        hidden->SetSurface(nullptr);
    }
}

// The radio table follows the stations wherever they are put.
TEST(TickShortcuts, RadioDelaysFollowAMovedStation) {
    auto f = Opened("Space", "ALOHA", 3);
    f->NodeTable[0].Output = f->NodeTable[0].DataColour;
    for (int k = 0; k < f->PathLength; ++k) f->MediumStep();
    EXPECT_EQ(f->NodeTable[1].Heard, f->NodeTable[0].DataColour);
    f->NodeTable[1].CellX[0] += 400 * f->PathLength; // out of range now
    f->MediumStep();
    EXPECT_EQ(f->NodeTable[1].Heard, f->BackColour);
}

TEST(TickShortcuts, OwnGeneratorMatchesTheStandardOneAndSkipsExactly) {
    Mt19937 own, skipped;
    std::mt19937 standard;
    for (int k = 0; k < 5000; ++k) ASSERT_EQ(own(), standard()) << k;
    for (const unsigned count : {1u, 623u, 624u, 625u, 7000u}) {
        for (unsigned k = 0; k < count; ++k) own();
        skipped.Skip(count);
    }
    skipped.Skip(5000);
    EXPECT_EQ(own(), skipped());
}

} // namespace
} // namespace maclab
