// Start, Stop, Reset, Pause, speed, status display and the station buttons.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/form1.h"

using namespace maclab;

namespace {

class RunControls : public ::testing::Test {
  protected:
    void SetUp() override { form->Form_Load(); }

    // From here on every random draw returns these values in turn.
    void Draws(std::vector<float> values) {
        form->SetRandomSource(std::make_unique<CyclicSource>(std::move(values)));
    }
    void Ticks(int n) {
        for (int t = 0; t < n; ++t)
            if (form->Timer1.Enabled) form->Timer1_Timer();
    }

    std::unique_ptr<Form1> form = std::make_unique<Form1>();
};

} // namespace

TEST_F(RunControls, StartResetsAndTurnsTrafficOnStopTurnsItOff) {
    form->cmdNode_Click(2);
    Ticks(5);
    form->cmdStart_Click(0);
    EXPECT_EQ(form->cmdStart[0].Caption, "Stop");
    EXPECT_EQ(form->cmdPause.Caption, "Pause");
    EXPECT_EQ(form->Running, VbTrue);
    EXPECT_EQ(form->TickCount, 0);
    EXPECT_EQ(form->NodeTable[2].QueueCount, 0);
    EXPECT_EQ(form->TotalQueued, 0);

    Ticks(3);
    form->cmdNode_Click(4);
    form->cmdStart_Click(0); // Stop: no reset
    EXPECT_EQ(form->cmdStart[0].Caption, "Start");
    EXPECT_EQ(form->Running, VbFalse);
    EXPECT_EQ(form->TickCount, 3);
    EXPECT_EQ(form->TotalQueued, 1);
    EXPECT_TRUE(form->Timer1.Enabled);
}

TEST_F(RunControls, ResetEndsARunAndKeepsTheSettings) {
    form->UserToggle(form->chkSpeed);
    form->cmdStart_Click(0);
    Ticks(4);
    form->cmdStart_Click(1);
    EXPECT_EQ(form->cmdStart[0].Caption, "Start");
    EXPECT_EQ(form->Running, VbFalse);
    EXPECT_EQ(form->TickCount, 0);
    EXPECT_EQ(form->Timer1.Interval, 10);
    EXPECT_EQ(form->chkSpeed.Caption, "Fast");
    // Reset with the caption reading "Start" does not start anything.
    form->cmdStart_Click(1);
    EXPECT_EQ(form->Running, VbFalse);
    EXPECT_EQ(form->cmdStart[0].Caption, "Start");
}

TEST_F(RunControls, PauseAndContSwitchTickingOnly) {
    form->cmdStart_Click(0);
    form->cmdPause_Click();
    EXPECT_EQ(form->cmdPause.Caption, "Cont");
    EXPECT_FALSE(form->Timer1.Enabled);
    EXPECT_EQ(form->Running, VbTrue);
    form->cmdPause_Click();
    EXPECT_EQ(form->cmdPause.Caption, "Pause");
    EXPECT_TRUE(form->Timer1.Enabled);
    EXPECT_EQ(form->Running, VbTrue);
}

// The Step button is shown exactly while the clock is paused, and runs one
// tick as the timer would.
TEST_F(RunControls, StepIsThereOnlyWhilePausedAndRunsOneTick) {
    EXPECT_FALSE(form->cmdStep.Visible);
    form->cmdStart_Click(0);
    form->cmdPause_Click();
    EXPECT_TRUE(form->cmdStep.Visible);
    const Long ticks = form->TickCount;
    form->UserClick(*form->FindControl("cmdStep"));
    EXPECT_EQ(form->TickCount, ticks + 1);
    EXPECT_FALSE(form->Timer1.Enabled);
    form->cmdPause_Click();
    EXPECT_FALSE(form->cmdStep.Visible);
    form->cmdPause_Click();
    form->cmdStart_Click(1); // a reset runs the clock again
    EXPECT_FALSE(form->cmdStep.Visible);
}

TEST_F(RunControls, StopWhilePausedNeedsTwoClicksToResume) {
    form->cmdStart_Click(0);
    form->cmdPause_Click();
    form->cmdStart_Click(0); // Stop
    EXPECT_EQ(form->cmdPause.Caption, "Pause");
    EXPECT_FALSE(form->Timer1.Enabled);
    form->cmdPause_Click();
    EXPECT_EQ(form->cmdPause.Caption, "Cont");
    EXPECT_FALSE(form->Timer1.Enabled);
    form->cmdPause_Click();
    EXPECT_EQ(form->cmdPause.Caption, "Pause");
    EXPECT_TRUE(form->Timer1.Enabled);
}

TEST_F(RunControls, StartOrResetWhilePausedResumesTicking) {
    form->cmdPause_Click();
    form->cmdStart_Click(0);
    EXPECT_TRUE(form->Timer1.Enabled);
    EXPECT_EQ(form->cmdPause.Caption, "Pause");
    form->cmdPause_Click();
    form->cmdStart_Click(1);
    EXPECT_TRUE(form->Timer1.Enabled);
    EXPECT_EQ(form->cmdPause.Caption, "Pause");
}

TEST_F(RunControls, SpeedGoesFromOneHundredToTenToTwoHundred) {
    EXPECT_EQ(form->Timer1.Interval, 100);
    EXPECT_EQ(form->chkSpeed.Caption, "Slow");
    form->cmdPause_Click();
    form->UserToggle(form->chkSpeed);
    EXPECT_EQ(form->chkSpeed.Caption, "Fast");
    EXPECT_EQ(form->Timer1.Interval, 10);
    EXPECT_FALSE(form->Timer1.Enabled); // a paused run stays paused
    form->UserToggle(form->chkSpeed);
    EXPECT_EQ(form->chkSpeed.Caption, "Slow");
    EXPECT_EQ(form->Timer1.Interval, 200);
    EXPECT_FALSE(form->Timer1.Enabled);
}

TEST_F(RunControls, StatusLabelsFollowTheToggleUpToTheLastStation) {
    const auto shown = [&](int i) {
        const bool tx = form->lblTxStatus[i].Visible;
        EXPECT_EQ(form->lblRxStatus[i].Visible, tx);
        EXPECT_EQ(form->lblQueued[i].Visible, tx);
        return tx;
    };
    form->UserToggle(form->chkStatus);
    EXPECT_EQ(form->chkStatus.Caption, "Hide Status");
    for (int i = 0; i < StationControls; ++i) EXPECT_EQ(shown(i), i < 7) << i;

    // A reset keeps the choice, also for stations newly laid out.
    form->UserEdit(form->cmbNodes, "10");
    for (int i = 0; i < StationControls; ++i) EXPECT_EQ(shown(i), i < 10) << i;
    form->UserToggle(form->chkStatus);
    EXPECT_EQ(form->chkStatus.Caption, "Show Status");
    for (int i = 0; i < StationControls; ++i) EXPECT_FALSE(shown(i)) << i;

    // Hidden while the toggle is off, newly laid out stations stay hidden.
    form->UserEdit(form->cmbNodes, "12");
    for (int i = 0; i < StationControls; ++i) EXPECT_FALSE(shown(i)) << i;

    // The largest and the empty network: every control exists, none beyond.
    form->UserEdit(form->cmbNodes, "24");
    form->UserToggle(form->chkStatus);
    for (int i = 0; i < StationControls; ++i) EXPECT_TRUE(shown(i)) << i;
    form->UserToggle(form->chkStatus);
    form->UserEdit(form->cmbNodes, "");
    form->UserToggle(form->chkStatus);
    for (int i = 0; i < StationControls; ++i) EXPECT_FALSE(shown(i)) << i;
}

TEST_F(RunControls, NodeButtonPicksANearbyDestination) {
    // Station 3 of 7: 0.5 gives x = 3.5 and lands on 3 itself, so it is drawn
    // again; 0.7 gives x = 4.5, floor(11.5) Mod 7 = 4.
    Draws({0.5f, 0.7f, 0.25f});
    form->cmdNode_Click(3);
    const Node& s = form->NodeTable[3];
    ASSERT_EQ(s.QueueCount, 1);
    EXPECT_EQ(s.QueueDest[0], 4);
    EXPECT_EQ(s.QueueLength[0], 10);
    EXPECT_EQ(form->TotalQueued, 1);
    EXPECT_EQ(form->lblTotalQueued.Caption, " 1");
    EXPECT_EQ(form->Rnd(), 0.25f); // exactly two draws were used

    // Around the ends: station 0 with 0 reaches 5, station 6 with 0.99 reaches 1.
    Draws({0.0f});
    form->cmdNode_Click(0);
    EXPECT_EQ(form->NodeTable[0].QueueDest[0], 5);
    Draws({0.99f});
    form->cmdNode_Click(6);
    EXPECT_EQ(form->NodeTable[6].QueueDest[0], 1);
}

TEST_F(RunControls, TwoClicksQueueTwoPacketsEachWithItsOwnDestination) {
    // Station 2: 0.1 gives x = 0.5, floor(7.5) Mod 7 = 0; 0.9 gives x = 4.5, 11 Mod 7 = 4.
    Draws({0.1f, 0.9f});
    form->cmdNode_Click(2);
    form->cmdNode_Click(2);
    const Node& s = form->NodeTable[2];
    ASSERT_EQ(s.QueueCount, 2);
    EXPECT_EQ(s.QueueDest[0], 0);
    EXPECT_EQ(s.QueueDest[1], 4);
    EXPECT_EQ(form->TotalQueued, 2);
}

TEST_F(RunControls, WithTwoStationsTheOtherOneIsAlwaysChosen) {
    form->UserPick(form->cmbNodes, " 2");
    // Offsets of -2, 0 and 2 land on the clicked station and are drawn again
    // (0.3 is an offset of -1); every click ends at the other station.
    for (const float r : {0.0f, 0.3f, 0.5f, 0.79f, 0.99f}) {
        Draws({r, 0.3f});
        form->cmdNode_Click(0);
        form->cmdNode_Click(1);
    }
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(form->NodeTable[0].QueueDest[k], 1);
        EXPECT_EQ(form->NodeTable[1].QueueDest[k], 0);
    }
}

TEST_F(RunControls, ClicksQueueWhilePausedAndWithoutARun) {
    form->cmdPause_Click();
    form->cmdNode_Click(1);
    EXPECT_EQ(form->NodeTable[1].QueueCount, 1);
    EXPECT_EQ(form->Running, VbFalse);
}

TEST_F(RunControls, AFullQueueRefusesFurtherPackets) {
    form->cmdPause_Click();
    for (int k = 0; k < 150; ++k) form->cmdNode_Click(5);
    EXPECT_EQ(form->NodeTable[5].QueueCount, QueueSlots);
    EXPECT_EQ(form->TotalQueued, QueueSlots);
}

TEST_F(RunControls, ClickedPacketsTakeTheRoundedLength) {
    form->UserEdit(form->cmbLength, "7.5");
    form->cmdNode_Click(0);
    EXPECT_EQ(form->NodeTable[0].QueueLength[0], 8);
    form->UserEdit(form->cmbLength, "6.5");
    form->cmdNode_Click(0);
    EXPECT_EQ(form->NodeTable[0].QueueLength[1], 6);
}

TEST_F(RunControls, ButtonsOfStationsNotLaidOutDoNothing) {
    form->cmdNode_Click(7);
    form->cmdNode_Click(23);
    form->UserEdit(form->cmbNodes, "0");
    form->cmdNode_Click(0);
    EXPECT_EQ(form->TotalQueued, 0);
}
