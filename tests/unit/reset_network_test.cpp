// Starting a run afresh: every station idle, every cell silent, the totals
// zeroed, the token handed out for the token schemes, the timer running.
#include <gtest/gtest.h>

#include "core/form1.h"
#include "support/recording_surface.h"

namespace maclab {
namespace {

using testing::RecordingSurface;

// Leaves something in every field a reset must clear, in all 25 records.
void Dirty(Form1& f) {
    for (int i = 0; i < StationRecords; ++i) {
        Node& s = f.NodeTable[i];
        s.TxTimer = 17;
        s.RxState = RxReceiving;
        s.TxState = TxWaitingForACK;
        s.QueueCount = 5;
        s.ControlPending = 1;
        s.TxProgress = 4;
        s.RxProgress = 6;
        s.RxValid = VbTrue;
        for (int k = 0; k < PathCells; ++k) {
            s.OutPath[k] = CollisionColour;
            s.InPath[k] = CollisionColour;
            s.CellShown[k] = CollisionColour;
        }
        s.Heard = s.Heard1 = s.Heard2 = s.Output = CollisionColour;
        s.TxCount = 9;
        s.RxCount = 8;
        s.HoldsToken = VbTrue;
    }
    for (int c = 0; c <= 26; ++c) f.BusLeft[c] = f.BusRight[c] = f.BusShown[c] = CollisionColour;
    f.HubSource = 2;
    f.TickCount = 1234;
    f.RingNext = 3;
    f.TotalQueued = 11;
    f.TotalReceived = 7;
    f.TotalSent = 8;
}

void ExpectIdle(const Form1& f, int cellsUpTo) {
    for (int i = 0; i < StationRecords; ++i) {
        SCOPED_TRACE("station " + std::to_string(i));
        const Node& s = f.NodeTable[i];
        EXPECT_EQ(s.TxTimer, 0);
        EXPECT_EQ(s.RxState, RxIdle);
        EXPECT_EQ(s.TxState, TxIdle);
        EXPECT_EQ(s.QueueCount, 0);
        EXPECT_EQ(s.TxProgress, 0);
        EXPECT_EQ(s.RxProgress, 0);
        EXPECT_EQ(s.RxValid, VbFalse);
        for (int k = 0; k <= cellsUpTo; ++k) {
            EXPECT_EQ(s.OutPath[k], f.BackColour) << k;
            EXPECT_EQ(s.InPath[k], f.BackColour) << k;
            EXPECT_EQ(s.CellShown[k], f.BackColour) << k;
        }
        EXPECT_EQ(s.Heard, f.BackColour);
        EXPECT_EQ(s.Heard1, f.BackColour);
        EXPECT_EQ(s.Heard2, f.BackColour);
        EXPECT_EQ(s.Output, f.BackColour);
    }
    for (int c = 0; c <= 25; ++c) {
        EXPECT_EQ(f.BusLeft[c], f.BackColour) << c;
        EXPECT_EQ(f.BusRight[c], f.BackColour) << c;
        EXPECT_EQ(f.BusShown[c], f.BackColour) << c;
    }
}

TEST(ResetNetwork, EveryRecordAndCellIsIdleAfterwards) {
    for (const char* topo : {"Star", "Space", "Ring", "Bus"}) {
        SCOPED_TRACE(topo);
        Form1 f;
        f.Form_Load();
        f.UserPick(f.cmbTopology, topo);
        Dirty(f);
        f.cmdStart_Click(1);
        // Every cell, also those past the topology's own path (the Bus drop
        // line has three outgoing cells with a path length of 1).
        ExpectIdle(f, PathCells - 1);
        for (int i = 0; i < StationRecords; ++i) EXPECT_EQ(f.NodeTable[i].ControlPending, 0) << i;
        for (int i = 0; i < StationControls; ++i) {
            EXPECT_EQ(f.NodeTable[i].TxCount, 0) << i;
            EXPECT_EQ(f.NodeTable[i].RxCount, 0) << i;
            EXPECT_EQ(f.NodeTable[i].HoldsToken, VbFalse) << i;
        }
        EXPECT_EQ(f.TickCount, 0);
        EXPECT_EQ(f.RingNext, 0);
        EXPECT_EQ(f.HubSource, -1);
        EXPECT_EQ(f.TotalQueued, 0);
        EXPECT_EQ(f.TotalReceived, 0);
        EXPECT_EQ(f.TotalSent, 0);
    }
}

TEST(ResetNetwork, AfterStartUpTheFirstNineCellsOfEveryPathAreSilent) {
    Form1 f;
    f.Form_Load();
    ExpectIdle(f, 8);
}

TEST(ResetNetwork, CaptionsTimerAndRunning) {
    Form1 f;
    f.Form_Load();
    f.cmdStart_Click(0);
    f.TotalQueued = 3;
    for (int t = 0; t < 30; ++t) f.Timer1_Timer();
    f.lblTotalQueued.Caption = " 3";
    f.lblTotalTx.Caption = " 2";
    f.lblTotalRx.Caption = " 1";
    f.cmdPause_Click();
    ASSERT_FALSE(f.Timer1.Enabled);
    ASSERT_EQ(f.cmdPause.Caption, "Cont");
    ASSERT_EQ(f.cmdStart[0].Caption, "Stop");
    f.cmdStart_Click(1); // Reset while running and paused
    EXPECT_FALSE(f.Running);
    EXPECT_TRUE(f.Timer1.Enabled);
    EXPECT_EQ(f.cmdStart[0].Caption, "Start");
    EXPECT_EQ(f.cmdPause.Caption, "Pause");
    EXPECT_EQ(f.lblUtilisation.Caption, " 0");
    EXPECT_EQ(f.lblEfficiency.Caption, " 0");
    EXPECT_EQ(f.lblTotalQueued.Caption, "0");
    EXPECT_EQ(f.lblTotalTx.Caption, "0");
    EXPECT_EQ(f.lblTotalRx.Caption, "0");
    // No random arrivals follow until the next Start.
    for (int t = 0; t < 2000; ++t) f.Timer1_Timer();
    EXPECT_EQ(f.TotalQueued, 0);
}

TEST(ResetNetwork, TokenSchemesHandTheTokenToStationZero) {
    for (const char* scheme : {"Token Passing", "Polling"}) {
        SCOPED_TRACE(scheme);
        Form1 f;
        f.Form_Load();
        f.PollNext = 4;
        f.UserPick(f.cmbScheme, scheme);
        EXPECT_EQ(f.NodeTable[0].HoldsToken, VbTrue);
        EXPECT_EQ(f.NodeTable[0].ControlPending, 1);
        EXPECT_EQ(f.NodeTable[0].ControlKind[0], CtlToken);
        EXPECT_EQ(f.NodeTable[0].ControlDest[0], 1);
        EXPECT_EQ(f.PollNext, 1);
        for (int i = 1; i < StationRecords; ++i) {
            EXPECT_EQ(f.NodeTable[i].HoldsToken, VbFalse) << i;
            EXPECT_EQ(f.NodeTable[i].ControlPending, 0) << i;
        }
        // A reset under another scheme takes the token back.
        f.UserPick(f.cmbScheme, "CSMA");
        EXPECT_EQ(f.NodeTable[0].HoldsToken, VbFalse);
        EXPECT_EQ(f.NodeTable[0].ControlPending, 0);
    }
}

TEST(ResetNetwork, OnlyTheExactSchemeTextsAreTokenSchemes) {
    for (const char* scheme : {"ALOHA", "RTS/CTS", "CSMA/CD + R", "token passing", "POLLING",
                               "Polling ", " Token Passing", "Token"}) {
        SCOPED_TRACE(scheme);
        Form1 f;
        f.Form_Load();
        f.PollNext = 4;
        f.UserEdit(f.cmbScheme, scheme);
        for (int i = 0; i < StationRecords; ++i) {
            EXPECT_EQ(f.NodeTable[i].HoldsToken, VbFalse) << i;
            EXPECT_EQ(f.NodeTable[i].ControlPending, 0) << i;
        }
        EXPECT_EQ(f.PollNext, 4); // left alone
    }
}

TEST(ResetNetwork, ShrinkingLeavesTheDroppedStationsIdle) {
    Form1 f;
    f.Form_Load();
    f.UserPick(f.cmbNodes, " 10");
    Dirty(f);
    f.UserPick(f.cmbNodes, " 7");
    for (int i = 7; i <= 9; ++i) {
        EXPECT_FALSE(f.shpNode[i].Visible) << i;
        EXPECT_EQ(f.NodeTable[i].TxState, TxIdle) << i;
        EXPECT_EQ(f.NodeTable[i].RxState, RxIdle) << i;
        EXPECT_EQ(f.NodeTable[i].TxCount, 0) << i;
        EXPECT_EQ(f.NodeTable[i].RxCount, 0) << i;
        EXPECT_EQ(f.NodeTable[i].QueueCount, 0) << i;
    }
}

TEST(ResetNetwork, ClearsTheDrawingBeforeLayingOut) {
    Form1 f;
    RecordingSurface surface;
    f.SetSurface(&surface);
    f.Form_Load();
    f.UserPick(f.cmbTopology, "Bus");
    surface.Reset();
    f.cmdStart_Click(1);
    ASSERT_FALSE(surface.calls.empty());
    EXPECT_EQ(surface.calls.back().kind, RecordingSurface::Kind::Clear);
    EXPECT_EQ(surface.Count(RecordingSurface::Kind::Ring), 0u);
}

} // namespace
} // namespace maclab

namespace maclab {
namespace {

// After a busy run in every scheme, a reset leaves every station record equal,
// as a whole, to the record of a program that has never run with the same
// settings: no count, number, flag or cell of the run outlives it.
TEST(ResetNetwork, EveryRecordEqualsOneThatNeverRanWhole) {
    for (const int topology : {TopoBus, TopoStar, TopoRing, TopoWideSpace})
        for (int scheme = 0; scheme < 8; ++scheme) {
            SCOPED_TRACE(std::to_string(topology) + " " + std::to_string(scheme));
            NetworkConfig c;
            c.Topology = topology;
            c.Stations = 12;
            c.SchemeIndex = scheme;
            c.OfferedTraffic = 1.0;
            c.Reliable = scheme % 2 == 0;
            Form1 used, fresh;
            for (Form1* f : {&used, &fresh}) {
                f->Form_Load();
                ASSERT_TRUE(f->Apply(c));
            }
            used.Do(Action::Click("cmdStart", 0));
            for (int k = 0; k < 3000; ++k) used.Do(Action::Interval());
            for (Form1* f : {&used, &fresh}) f->Do(Action::Click("cmdStart", 1));
            for (int i = 0; i < StationRecords; ++i)
                EXPECT_TRUE(used.NodeTable[i] == fresh.NodeTable[i]) << "station " << i;
            EXPECT_EQ(used.TotalDropped, 0);
        }
}

} // namespace
} // namespace maclab
