// The common station machine: frame layouts, end markers, the receiver rules,
// the after-frame states, the node shape and the status labels.
#include <gtest/gtest.h>

#include "support/station_harness.h"

namespace maclab::testing {
namespace {

TEST(StationFrames, DataFramesAreAddressSourceDataAndOneEndMarker) {
    Station s; // Star, 7 stations, "ALOHA", "Unreliable"
    s.Queue(2, 4, 10);
    s.Queue(2, 3, 3);
    EXPECT_EQ(Join(s.Outputs(2, 17)), "A4 A2 d2 d2 d2 d2 d2 d2 d2 E . . A3 A2 E . .");
    EXPECT_EQ(s.form().TotalSent, 2);
    EXPECT_EQ(s.node(2).TxCount, 2);
    EXPECT_EQ(s.form().lblTotalTx.Caption, " 2");
    EXPECT_EQ(s.node(2).QueueCount, 0);
    EXPECT_EQ(s.node(2).QueueLeft[Node::LeftUnacknowledged], 2);
}

TEST(StationFrames, ControlFramesHoldTheirEndMarkerForTwoTicks) {
    {
        Station s;
        s.Scheme("Token Passing"); // station 0 starts with a token for station 1
        EXPECT_EQ(Join(s.Outputs(0, 5)), "A1 T E E .");
    }
    {
        Station s;
        s.Scheme("RTS/CTS");
        s.Queue(2, 4);
        EXPECT_EQ(Join(s.Outputs(2, 7)), "W A2 A4 R E E .");
        EXPECT_EQ(s.node(2).TxState, TxWaitingForCTS);
        // The answer: station 4 replies after its count of 5.
        std::vector<std::string> cts;
        for (int k = 0; k < 40 && cts.size() < 7; ++k) {
            s.Tick();
            if (!cts.empty() || s.node(4).Output != s.form().BackColour)
                cts.push_back(s.Symbol(s.node(4).Output));
        }
        EXPECT_EQ(Join(cts), "W A4 A2 C E E .");
    }
    {
        Station s;
        s.Reliable(true);
        s.Queue(2, 4);
        s.RunUntil([&] { return s.node(4).TxState == TxSendingControl; }, 100);
        std::vector<std::string> ack{s.Symbol(s.node(4).Output)};
        for (auto& x : s.Outputs(4, 5)) ack.push_back(x);
        EXPECT_EQ(Join(ack), "A2 A4 K E E .");
    }
}

TEST(StationFrames, AfterAFrameFinishingAndFinishedShowOneTickEach) {
    Station s;
    s.form().UserToggle(s.form().chkStatus);
    s.Queue(2, 4, 3);
    std::vector<std::string> captions;
    for (int k = 0; k < 6; ++k) {
        s.Tick();
        captions.push_back(s.form().lblTxStatus[2].Caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Sending", "Sending", "Finishing", "Finished",
                                                  "TxIdle", "TxIdle"}));
    EXPECT_EQ(s.form().shpNode[2].BorderColor, 0);
    EXPECT_EQ(s.form().lblQueued[2].Caption, " 0: 0");
    EXPECT_EQ(s.form().lblRxStatus[2].Caption, "RxIdle");
    EXPECT_TRUE(s.form().lblTxStatus[2].Visible);
    // A label that is hidden stays hidden through a tick.
    s.form().lblQueued[5].Visible = false;
    s.Tick();
    EXPECT_FALSE(s.form().lblQueued[5].Visible);
    EXPECT_TRUE(s.form().lblRxStatus[5].Visible);
}

TEST(StationFrames, StatusCaptionsShowTimersAndThePendingSlot) {
    Station s;
    s.form().UserToggle(s.form().chkStatus);
    s.Reliable(true);
    s.Random(false);
    s.Queue(2, 4);
    s.Queue(2, 4);
    s.Tick(10); // the end marker goes out: waiting for the acknowledgement
    EXPECT_EQ(s.form().lblTxStatus[2].Caption, "WaitingForACK 59");
    EXPECT_EQ(s.form().lblQueued[2].Caption, " 2: 0");
    s.RunUntil([&] { return s.node(4).ControlPending == 1; }, 100);
    EXPECT_EQ(s.form().lblQueued[4].Caption, " 0: 1");
    EXPECT_EQ(s.form().lblTxStatus[4].Caption, "SendingControl");
}

TEST(StationFrames, WithStatusOffNoCaptionChangesButTheShapeStillEchoes) {
    Station s;
    s.Queue(2, 4);
    bool echoed = false;
    for (int k = 0; k < 40; ++k) {
        s.Tick();
        echoed = echoed || s.form().shpNode[4].BorderColor == s.node(4).AddressColour;
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(s.form().lblTxStatus[i].Caption, "");
            EXPECT_FALSE(s.form().lblTxStatus[i].Visible);
        }
    }
    EXPECT_TRUE(echoed);
}

TEST(StationFrames, TheShapeFadesOverThreeTicksAfterTheMediumFallsSilent) {
    Station s;
    s.Queue(2, 4, 3); // A4 A2 E: everyone else hears it 16 ticks later
    auto& shape = s.form().shpNode[0];
    s.RunUntil([&] { return s.node(0).Heard == s.node(4).AddressColour; }, 40);
    s.Tick();
    EXPECT_EQ(shape.BorderColor, s.node(4).AddressColour);
    s.Tick();
    EXPECT_EQ(shape.BorderColor, s.node(2).AddressColour);
    shape.FillColor = 12345; // so the restoring of the fill can be seen
    std::vector<Long> borders;
    for (int k = 0; k < 4; ++k) {
        s.Tick();
        borders.push_back(shape.BorderColor);
    }
    EXPECT_EQ(borders, (std::vector<Long>{2, 1, 0, 0})); // the end marker starts the fade
    EXPECT_EQ(shape.FillColor, s.node(0).AddressColour);
}

TEST(StationFrames, AnAcknowledgementHeardBlocksANewStartInThatTick) {
    Station s;
    s.Reliable(true);
    s.Queue(2, 4);
    s.Queue(2, 4);
    const long removed = s.RunUntil([&] { return s.node(2).QueueCount == 1; }, 200);
    ASSERT_GT(removed, 0);
    EXPECT_EQ(s.Symbol(s.node(2).Output), ".");
    EXPECT_EQ(s.node(2).TxState, TxIdle);
    s.Tick();
    EXPECT_EQ(s.Symbol(s.node(2).Output), "A4");
    EXPECT_EQ(s.node(2).TxState, TxSending);
    EXPECT_EQ(s.node(2).QueueLeft[Node::LeftAcknowledged], 1);
}

TEST(StationFrames, TimeOutsPerTopologyUnderConstantBackoff) {
    const std::pair<const char*, Long> cases[] = {
        {"Bus", 50}, {"Star", 60}, {"Ring", 70}, {"Space", 50}, {"Wide Space", 50}};
    for (const auto& [topology, timeout] : cases) {
        Station s;
        s.Topology(topology);
        s.Reliable(true);
        s.Random(false);
        s.Queue(2, 3, 3);
        s.Tick(3); // the end marker goes out in the third tick
        ASSERT_EQ(s.node(2).TxState, TxWaitingForACK) << topology;
        // The step that set the time-out has already counted it once.
        EXPECT_EQ(s.node(2).TxTimer, timeout - 1) << topology;
    }
}

// Feeds one station what it hears, one symbol per tick, on a silent network.
struct Listener {
    Station s;
    int who = 5;
    void Hear(std::initializer_list<std::string> symbols) {
        for (const auto& sym : symbols) {
            s.node(who).Heard = Colour(sym);
            s.Tick();
        }
    }
    Long Colour(const std::string& sym) {
        Form1& f = s.form();
        if (sym == ".") return f.BackColour;
        if (sym == "E") return EndMarker;
        if (sym == "X") return CollisionColour;
        if (sym == "W") return f.ColourWhite;
        if (sym == "R") return f.ColourGrey192;
        if (sym == "C") return f.ColourGrey240;
        if (sym == "K") return f.ColourGrey248;
        if (sym == "T") return f.ColourGrey224;
        const int k = std::stoi(sym.substr(1));
        return sym[0] == 'A' ? s.node(k).AddressColour : s.node(k).DataColour;
    }
};

TEST(StationReceiver, AFrameOpenedOnTheOwnAddressIsDeliveredAndAnswered) {
    Listener l;
    l.s.Reliable(true);
    l.Hear({".", "A5", "A1", "d1", "d1"});
    EXPECT_EQ(l.s.node(5).RxState, RxReceiving);
    EXPECT_EQ(l.s.node(5).RxPeer, 1);
    l.Hear({"E"});
    EXPECT_EQ(l.s.form().TotalReceived, 1);
    EXPECT_EQ(l.s.form().lblTotalRx.Caption, " 1");
    EXPECT_EQ(l.s.node(5).RxCount, 1);
    // The acknowledgement starts in the same step.
    EXPECT_EQ(l.s.node(5).TxState, TxSendingControl);
    EXPECT_EQ(l.s.node(5).ControlDest[0], 1);
    EXPECT_EQ(l.s.Symbol(l.s.node(5).Output), "A1");
}

TEST(StationReceiver, AFrameOpenedOnWhiteIsNeverADelivery) {
    // An RTS cut short and followed at once by a data frame for this station.
    Listener l;
    l.s.Reliable(true);
    l.Hear({".", "W", "A1", "A5", "d1", "d1", "E"});
    EXPECT_EQ(l.s.form().TotalReceived, 0);
    EXPECT_EQ(l.s.node(5).ControlPending, 0);
    EXPECT_EQ(l.s.node(5).TxState, TxIdle);
}

TEST(StationReceiver, GarbledOrSilentFramesAreDropped) {
    Listener l;
    l.Hear({".", "A5", "A1", "d1", "X", "d1", "E"});
    l.Hear({".", "A5", "A1", "d1", ".", "d1", "E"});
    EXPECT_EQ(l.s.form().TotalReceived, 0);
    EXPECT_EQ(l.s.node(5).RxState, RxIdle);
    // Framed by an acknowledgement marker, a new frame still opens.
    l.Hear({"K", "A5", "A2", "E"});
    EXPECT_EQ(l.s.form().TotalReceived, 1);
}

TEST(StationReceiver, MonitoringOnTheStarEndsLikeStripping) {
    Listener l; // Star
    l.Hear({"d3", "A5", "d3"});
    EXPECT_EQ(l.s.node(5).RxState, RxMonitoring);
    l.Hear({"d3", "d3", "E"});
    EXPECT_EQ(l.s.node(5).RxState, RxIdle);
    l.Hear({".", "A5", "A1", "E"}); // and it receives again
    EXPECT_EQ(l.s.form().TotalReceived, 1);

    Listener bus;
    bus.s.Topology("Bus");
    bus.Hear({"d3", "A5", "d3"});
    EXPECT_EQ(bus.s.node(5).RxState, RxStripping);
    bus.Hear({"."});
    EXPECT_EQ(bus.s.node(5).RxState, RxIdle);
}

TEST(StationReceiver, ALateAcknowledgementOnAnEmptyQueueRemovesNothing) {
    Listener l;
    l.Hear({".", "A5", "A1", "K", "E", "E"});
    EXPECT_EQ(l.s.node(5).QueueCount, 0);
    EXPECT_EQ(l.s.node(5).TxState, TxIdle);
    EXPECT_EQ(l.s.form().TotalReceived, 0);
    long left = 0;
    for (Long n : l.s.node(5).QueueLeft) left += n;
    EXPECT_EQ(left, 0);
}

TEST(StationReceiver, AnAcknowledgementTakesTheHeadPacketOnly) {
    Listener l;
    l.s.Scheme("Polling"); // station 5 never gets the right: its queue just waits
    l.s.Queue(5, 4);
    l.s.Queue(5, 3);
    l.s.node(5).TxState = TxWaitingForACK;
    l.s.node(5).TxTimer = 40;
    l.Hear({".", "A5", "A4", "K"});
    EXPECT_EQ(l.s.node(5).QueueCount, 1);
    EXPECT_EQ(l.s.node(5).QueueDest[0], 3);
    EXPECT_EQ(l.s.node(5).TxState, TxIdle);
}

TEST(StationReceiver, ResetForgetsReceptionsInProgress) {
    Listener l;
    l.Hear({".", "A5", "A1"});
    ASSERT_EQ(l.s.node(5).RxProgress, 2);
    l.s.form().cmdStart_Click(1);
    EXPECT_EQ(l.s.node(5).RxProgress, 0);
    EXPECT_EQ(l.s.node(5).RxValid, VbFalse);
    // An acknowledgement marker right after the reset is no longer taken as one.
    l.s.Queue(5, 4);
    l.s.node(5).TxState = TxWaitingForACK;
    l.Hear({"K"});
    EXPECT_EQ(l.s.node(5).QueueCount, 1);
}

} // namespace
} // namespace maclab::testing

namespace maclab::testing {
namespace {

TEST(StationReliable, EveryTopologyDeliversAndAcknowledges) {
    for (const char* topology : {"Bus", "Star", "Ring", "Space", "Wide Space"}) {
        SCOPED_TRACE(topology);
        Station s;
        s.Topology(topology);
        s.Reliable(true);
        s.Queue(2, 3);
        bool ackFrame = false, ackMarker = false;
        for (int k = 0; k < 300 && s.node(2).QueueCount > 0; ++k) {
            s.Tick();
            ackFrame = ackFrame || s.node(3).TxState == TxSendingControl;
            ackMarker = ackMarker || s.node(3).Output == s.form().ColourGrey248;
        }
        EXPECT_EQ(s.node(2).QueueCount, 0);
        EXPECT_EQ(s.node(2).QueueLeft[Node::LeftAcknowledged], 1);
        EXPECT_EQ(s.form().TotalSent, 1);
        EXPECT_EQ(s.form().TotalReceived, 1);
        EXPECT_TRUE(ackMarker);
        // On the ring the acknowledgement rides on the returning frame instead
        // of being a frame of its own.
        EXPECT_EQ(ackFrame, std::string(topology) != "Ring");
        s.Tick(200);
        EXPECT_EQ(s.form().TotalSent, 1);
        for (int i = 0; i < 7; ++i) EXPECT_EQ(s.node(i).Output, s.form().BackColour);
    }
}

TEST(StationCounters, CountsAndTimersAreThirtyTwoBits) {
    Station s;
    s.form().TotalSent = 32767;
    s.Queue(2, 4, 3);
    s.Tick(3);
    EXPECT_EQ(s.form().TotalSent, 32768);
    EXPECT_EQ(s.form().lblTotalTx.Caption, " 32768");

    // The tenth collision in a row under "CSMA/CD + R" backs off up to 1023 slots.
    Station r;
    r.Topology("Bus");
    r.Scheme("CSMA/CD + R");
    r.Random(true);
    r.Randoms({0.999f});
    r.Queue(0, 1, 50);
    r.Queue(6, 5, 50);
    r.node(0).CollisionCount = 9;
    r.RunUntil([&] { return r.node(0).TxState == TxCollided; }, 60);
    EXPECT_EQ(r.node(0).CollisionCount, 10);
    EXPECT_EQ(r.node(0).TxTimer, 1 + 52 * 1022);
}

} // namespace
} // namespace maclab::testing
