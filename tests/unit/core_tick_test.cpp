// Whole ticks: the stations step and the medium moves whether or not the run
// is started, so a packet queued by a click is carried to its destination on
// every topology.
#include <gtest/gtest.h>

#include <limits>

#include "core/form1.h"

namespace maclab {
namespace {

TEST(Tick, AClickedPacketIsDeliveredOnEveryTopologyWithoutStart) {
    for (const char* topo : {"Bus", "Star", "Ring", "Space", "Wide Space"}) {
        for (int sender : {0, 3, 6}) {
            SCOPED_TRACE(std::string(topo) + " station " + std::to_string(sender));
            Form1 f;
            f.Form_Load();
            f.UserPick(f.cmbTopology, topo);
            f.cmdNode_Click(sender);
            ASSERT_EQ(f.TotalQueued, 1);
            const Integer dest = f.NodeTable[sender].QueueDest[0];
            for (int t = 0; t < 300; ++t) f.Timer1_Timer();
            EXPECT_FALSE(f.Running);
            EXPECT_EQ(f.TickCount, 300);
            EXPECT_EQ(f.TotalQueued, 1);
            EXPECT_EQ(f.TotalSent, 1);
            EXPECT_EQ(f.TotalReceived, 1);
            EXPECT_EQ(f.NodeTable[dest].RxCount, 1);
            EXPECT_EQ(f.Label2.Caption, "False");
            // The medium is quiet again.
            for (int i = 0; i < 7; ++i) {
                EXPECT_EQ(f.NodeTable[i].Output, f.BackColour) << i;
                EXPECT_EQ(f.NodeTable[i].Heard, f.BackColour) << i;
            }
        }
    }
}

TEST(Tick, StatisticsAreRefreshedBeforeTheStationsStep) {
    // A delivery in tick 10 itself shows in the efficiency only in tick 20.
    Form1 f;
    f.Form_Load();
    f.UserPick(f.cmbTopology, "Ring");
    f.UserPick(f.cmbNodes, " 2");
    f.cmdNode_Click(0);
    Long deliveredIn = 0;
    while (f.TickCount < 100 && !deliveredIn) {
        f.Timer1_Timer();
        if (f.TotalReceived == 1) deliveredIn = f.TickCount;
    }
    ASSERT_GT(deliveredIn, 0);
    // Replay with the delivery falling in a tick that refreshes the figures.
    Form1 g;
    g.Form_Load();
    g.UserPick(g.cmbTopology, "Ring");
    g.UserPick(g.cmbNodes, " 2");
    const Long shift = (10 - deliveredIn % 10) % 10; // idle ticks first
    for (Long t = 0; t < shift; ++t) g.Timer1_Timer();
    g.cmdNode_Click(0);
    while (g.TickCount < deliveredIn + shift) g.Timer1_Timer();
    ASSERT_EQ(g.TotalReceived, 1);
    ASSERT_EQ(g.TickCount % 10, 0);
    EXPECT_EQ(g.lblEfficiency.Caption, "0");
    while (g.TickCount % 10 != 0 || g.TickCount == deliveredIn + shift) g.Timer1_Timer();
    EXPECT_EQ(g.lblEfficiency.Caption, "100");
}

TEST(Tick, TheTickCountStopsAtItsLargestValueInsteadOfWrapping) {
    Form1 f;
    f.Form_Load();
    f.UserPick(f.cmbScheme, "Slotted ALOHA");
    f.TickCount = std::numeric_limits<Long>::max() - 1;
    f.Timer1_Timer();
    EXPECT_EQ(f.TickCount, std::numeric_limits<Long>::max());
    f.Timer1_Timer();
    f.Timer1_Timer();
    EXPECT_EQ(f.TickCount, std::numeric_limits<Long>::max());
}

} // namespace
} // namespace maclab
