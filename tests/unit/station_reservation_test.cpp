// The reserving schemes: RTS/CTS, Token Passing and Polling.
#include <gtest/gtest.h>

#include "support/station_harness.h"

namespace maclab::testing {
namespace {

// Runs until station `who` has been deferring for a while; returns the timer
// values it was given on entering "WaitingForOK" (one per overheard frame).
std::vector<Long> DeferTimers(Station& s, int who, int ticks) {
    std::vector<Long> timers;
    Long last = 0;
    for (int k = 0; k < ticks; ++k) {
        s.Tick();
        const Node& n = s.node(who);
        if (n.TxState == TxWaitingForOK && n.TxTimer > last) timers.push_back(n.TxTimer);
        last = n.TxState == TxWaitingForOK ? n.TxTimer : 0;
    }
    return timers;
}

TEST(StationRtsCts, OverhearingStationsDeferForTheExchange) {
    for (const bool reliable : {false, true}) {
        Station s;
        s.Scheme("RTS/CTS");
        s.Random(false); // exact waits
        s.Reliable(reliable);
        s.Queue(2, 4);
        const Long extra = reliable ? 10 : 0;
        // The RTS, then the CTS: 10 + 40 and 10 + 30 ticks under "Constant Backoff".
        EXPECT_EQ(DeferTimers(s, 0, 60), (std::vector<Long>{50 + extra, 40 + extra}));
        // The deferral ends in "TxIdle" with its timer run out.
        EXPECT_GT(s.RunUntil([&] { return s.node(0).TxState == TxIdle; }, 200), 0);
        EXPECT_EQ(s.node(0).TxTimer, 0);
        s.Tick(200);
        EXPECT_EQ(s.form().TotalReceived, 1);
        EXPECT_EQ(s.node(2).QueueCount, 0);
    }
}

TEST(StationRtsCts, ExactDeferralLength) {
    Station s;
    s.Scheme("RTS/CTS");
    s.Random(false); // exact waits
    s.Queue(2, 4);
    // Overhearing the CTS restarts the deferral at 40.
    Long last = 0;
    s.RunUntil(
        [&] {
            const bool restarted = s.node(0).TxTimer == 40 && last < 40;
            last = s.node(0).TxTimer;
            return restarted;
        },
        80);
    ASSERT_EQ(s.node(0).TxState, TxWaitingForOK);
    long ticks = 0;
    while (s.node(0).TxState == TxWaitingForOK && ticks < 100) {
        s.Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 40);
}

TEST(StationRtsCts, RandomBackoffAddsUpToNineteenTicks) {
    Station s;
    s.Scheme("RTS/CTS");
    s.Random(true);
    s.Randoms({0.99f});
    s.Queue(2, 4);
    EXPECT_EQ(DeferTimers(s, 0, 60), (std::vector<Long>{50 + 19, 40 + 19}));
}

TEST(StationRtsCts, AStationAskedWhileItHasPacketsAnswersFirst) {
    Station s;
    s.Scheme("RTS/CTS");
    s.Queue(2, 4);
    s.RunUntil([&] { return s.node(4).ControlPending == 1; }, 60);
    ASSERT_EQ(s.node(4).ControlKind[0], CtlCTS);
    s.Queue(4, 5);
    s.RunUntil([&] { return s.node(4).TxState == TxSendingControl; }, 20);
    EXPECT_EQ(s.node(4).ControlKind[0], CtlCTS);
    EXPECT_EQ(s.Symbol(s.node(4).Output), "W");
    s.RunUntil([&] { return s.form().TotalReceived == 2; }, 2000);
    EXPECT_EQ(s.form().TotalReceived, 2);
}

TEST(StationRtsCts, ClearedToSendWithNothingLeftReturnsToIdle) {
    Station s;
    s.Scheme("RTS/CTS");
    s.Random(false); // exact waits
    s.node(3).TxState = TxOK2Send;
    s.Tick();
    EXPECT_EQ(s.node(3).TxState, TxIdle);
    // A request whose timer is already out is made again at once, whatever is heard.
    s.Queue(3, 4);
    s.node(3).TxState = TxWaitingForCTS;
    s.node(3).TxTimer = 0;
    s.node(3).Heard = s.node(6).DataColour;
    s.Tick();
    EXPECT_EQ(s.node(3).TxState, TxSendingControl);
    EXPECT_EQ(s.Symbol(s.node(3).Output), "W");
    EXPECT_EQ(s.node(3).TxTimer, 40);
}

TEST(StationRtsCts, AnAbandonedControlFrameIsNeverCountedAsData) {
    // A station whose CTS is on the air overhears an RTS for another: the CTS
    // is dropped and the half-sent frame stops without an end marker.
    Station s;
    s.Scheme("RTS/CTS");
    s.Queue(4, 3, 3); // a short packet: a bogus frame would end at once
    s.node(4).TxState = TxIdle;
    s.form().QueueControl(CtlCTS, 4, 2);
    s.node(4).TxTimer = 0;
    s.Tick(); // the CTS starts (W)
    ASSERT_EQ(s.node(4).TxState, TxSendingControl);
    s.node(4).RxState = RxReceiving;
    s.node(4).RxProgress = 3;
    s.node(4).Heard = s.form().ColourGrey192; // an RTS marker for somebody else
    s.node(4).Heard1 = s.node(1).AddressColour;
    s.Tick();
    EXPECT_EQ(s.node(4).TxState, TxWaitingForOK);
    EXPECT_EQ(s.node(4).ControlPending, 0);
    EXPECT_EQ(s.Symbol(s.node(4).Output), ".");
    EXPECT_EQ(s.node(4).TxProgress, 0);
    s.Tick(5);
    EXPECT_EQ(s.form().TotalSent, 0);
}

TEST(StationRtsCts, TheRingTakesRequestsAndAnswersOff) {
    Station s;
    s.Topology("Ring");
    s.Scheme("RTS/CTS");
    s.Reliable(true);
    s.Queue(2, 3);
    s.RunUntil([&] { return s.node(2).QueueCount == 0; }, 2000);
    EXPECT_EQ(s.form().TotalReceived, 1);
    s.Tick(300);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(s.node(i).Output, s.form().BackColour) << i;
    EXPECT_EQ(s.form().TotalReceived, 1);
    EXPECT_EQ(s.form().TotalSent, 1);
}

// The order in which stations start token or poll frames, as (sender, addressee).
std::vector<std::pair<int, int>> Passes(Station& s, int ticks) {
    std::vector<std::pair<int, int>> passes;
    for (int k = 0; k < ticks; ++k) {
        s.Tick();
        for (int i = 0; i < s.form().ActiveStations(); ++i) {
            const Node& n = s.node(i);
            if (n.TxState == TxSendingControl && n.TxProgress == 1 && n.ControlKind[0] == CtlToken)
                passes.emplace_back(i, n.ControlDest[0]);
        }
    }
    return passes;
}

TEST(StationTokenPassing, TheTokenGoesRoundInIndexOrder) {
    Station s;
    s.Scheme("Token Passing");
    s.Queue(0, 1);
    EXPECT_EQ(s.Outputs(0, 1)[0], "A1"); // the first pass comes before any data
    auto passes = Passes(s, 400);
    passes.insert(passes.begin(), {0, 1});
    ASSERT_GE(passes.size(), 9u);
    for (std::size_t k = 0; k < 9; ++k) {
        EXPECT_EQ(passes[k].first, static_cast<int>(k % 7));
        EXPECT_EQ(passes[k].second, static_cast<int>((k + 1) % 7));
    }
    EXPECT_EQ(s.form().TotalReceived, 1);
}

TEST(StationTokenPassing, AHolderSendsOneFramePerVisit) {
    Station s;
    s.Scheme("Token Passing");
    s.Queue(3, 4);
    s.Queue(3, 4);
    s.Queue(3, 4);
    const long first = s.RunUntil([&] { return s.form().TotalSent == 1; }, 500);
    const long second = s.RunUntil([&] { return s.form().TotalSent == 2; }, 500);
    // A whole round of the token lies between the two frames.
    EXPECT_GT(second - first, 7 * 4);
    EXPECT_EQ(s.node(3).QueueCount, 1);
}

TEST(StationPolling, TheMasterPollsInTurnAndTheRightComesBack) {
    Station s;
    s.Nodes(4);
    s.Scheme("Polling");
    const auto passes = Passes(s, 300);
    std::vector<int> polls;
    for (std::size_t k = 0; k < passes.size(); ++k) {
        if (k % 2 == 0) {
            EXPECT_EQ(passes[k].first, 0);
            polls.push_back(passes[k].second);
        } else {
            EXPECT_EQ(passes[k].second, 0); // back to the master
            EXPECT_EQ(passes[k].first, polls.back());
        }
    }
    ASSERT_GE(polls.size(), 7u);
    EXPECT_EQ(std::vector<int>(polls.begin(), polls.begin() + 7),
              (std::vector<int>{1, 1, 2, 3, 1, 2, 3}));
}

TEST(StationPolling, OverRadioTheMasterSkipsStationsOutOfRange) {
    Station s;
    s.Topology("Wide Space"); // 7 stations: 3 and 4 are beyond station 0's range
    s.Scheme("Polling");
    s.Queue(5, 4);
    const auto passes = Passes(s, 600);
    std::vector<int> polls;
    for (const auto& [from, to] : passes)
        if (from == 0) polls.push_back(to);
    ASSERT_GE(polls.size(), 9u);
    EXPECT_EQ(std::vector<int>(polls.begin(), polls.begin() + 9),
              (std::vector<int>{1, 1, 2, 5, 6, 1, 2, 5, 6}));
    EXPECT_EQ(s.form().TotalReceived, 1);
}

TEST(StationTokenPassing, OverRadioTheRightWaitsForSilence) {
    Station s;
    s.Topology("Space");
    s.Scheme("Token Passing");
    for (int i = 0; i < 7; ++i) {
        s.Queue(i, (i + 1) % 7);
        s.Queue(i, (i + 6) % 7);
    }
    s.RunUntil([&] { return s.form().TotalReceived == 14; }, 3000);
    EXPECT_EQ(s.form().TotalReceived, 14);
    EXPECT_EQ(s.form().TotalSent, 14);
}

} // namespace
} // namespace maclab::testing
