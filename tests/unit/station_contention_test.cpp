// The contention schemes: ALOHA, Slotted ALOHA, CSMA, CSMA/CD and CSMA/CD + R.
#include <gtest/gtest.h>

#include "support/station_harness.h"

namespace maclab::testing {
namespace {

// Counts the draws of the program's random generator, returning a fixed value.
class CountingSource final : public RandomSource {
  public:
    explicit CountingSource(float value, long* count) : value_(value), count_(count) {}
    float Next() override {
        ++*count_;
        return value_;
    }

  private:
    float value_;
    long* count_;
};

// The ticks in which any station starts a data frame.
std::vector<long> StartTicks(Station& s, int ticks) {
    std::vector<long> starts;
    for (int k = 0; k < ticks; ++k) {
        s.Tick();
        for (int i = 0; i < s.form().ActiveStations(); ++i)
            if (s.node(i).TxState == TxSending && s.node(i).TxProgress == 1)
                starts.push_back(s.form().TickCount);
    }
    return starts;
}

TEST(StationAloha, TwoIdleStationsStartTogetherAndBackToBackFramesLeaveTwoSilentTicks) {
    Station s;
    s.Queue(2, 4);
    s.Queue(2, 4);
    s.Queue(5, 6);
    const auto out = s.Outputs(2, 13);
    EXPECT_EQ(s.Symbol(s.node(5).Output), "."); // its one frame ended in tick 10
    EXPECT_EQ(Join(out), "A4 A2 d2 d2 d2 d2 d2 d2 d2 E . . A4");
    EXPECT_EQ(s.form().TotalSent, 2); // the second frame of station 2 has just started
}

TEST(StationSlottedAloha, StartsOnlyAtSlotStarts) {
    {
        Station s; // Star: a slot is one packet length
        s.Scheme("Slotted ALOHA");
        s.Queue(2, 4);
        auto starts = StartTicks(s, 12);
        s.Queue(3, 4); // queued in tick 12, waits for tick 20
        s.Queue(2, 4); // station 2 still finishing its frame at tick 20
        for (long t : StartTicks(s, 30)) starts.push_back(t);
        EXPECT_EQ(starts, (std::vector<long>{10, 20, 30}));
    }
    {
        Station s; // Bus: a packet length plus 26
        s.Topology("Bus");
        s.Scheme("Slotted ALOHA");
        s.Queue(2, 4);
        s.Queue(5, 4);
        auto starts = StartTicks(s, 40);
        s.Queue(1, 0);
        for (long t : StartTicks(s, 80)) starts.push_back(t);
        EXPECT_EQ(starts, (std::vector<long>{36, 36, 72}));
    }
}

TEST(StationSlottedAloha, RingAndSpaceHaveSlotsToo) {
    {
        Station s;
        s.Topology("Ring");
        s.Scheme("Slotted ALOHA");
        s.Queue(2, 3);
        // Once around the ring: the packet length plus 7 stations of PathLength + 3.
        const long slot = 10 + 7 * (s.form().PathLength + 3);
        EXPECT_EQ(StartTicks(s, static_cast<int>(slot) + 5), (std::vector<long>{slot}));
    }
    for (const char* radio : {"Space", "Wide Space"}) {
        Station s;
        s.Topology(radio);
        s.Scheme("Slotted ALOHA");
        s.Queue(2, 3);
        EXPECT_EQ(StartTicks(s, 25), (std::vector<long>{19})) << radio;
    }
    {
        Station s; // the slot follows the current packet-length setting
        s.Scheme("Slotted ALOHA");
        s.Length(" 6");
        s.Queue(2, 3, 10);
        EXPECT_EQ(StartTicks(s, 10), (std::vector<long>{6}));
    }
}

TEST(StationCsma, WaitsForSilenceAndRunsThroughACollision) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA");
    s.Queue(0, 1, 50);
    s.Queue(6, 5, 50);
    s.Tick(20);
    s.Queue(3, 4, 10); // hears the carrier: waits
    s.Tick(30);
    EXPECT_EQ(s.node(3).TxProgress, 0);
    EXPECT_EQ(s.node(3).QueueCount, 1);
    // Both long frames collided and still ran to their end markers.
    EXPECT_EQ(s.form().TotalSent, 2);
    s.RunUntil([&] { return s.node(3).TxProgress > 0; }, 100);
    s.Tick(30);
    EXPECT_EQ(s.form().TotalSent, 3);
    EXPECT_EQ(s.form().TotalReceived, 1);
}

TEST(StationCsmaCd, AbortsOnRedAndLosesThePacketWhenUnreliable) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA/CD");
    s.Queue(0, 1, 50);
    s.Queue(6, 5, 50);
    const long aborted = s.RunUntil([&] { return s.node(0).QueueCount == 0; }, 60);
    ASSERT_GT(aborted, 0);
    EXPECT_LT(aborted, 50); // long before its end marker
    EXPECT_EQ(s.node(0).QueueLeft[Node::LeftAborted], 1);
    s.Tick();
    EXPECT_EQ(s.Symbol(s.node(0).Output), "."); // no end marker follows
    s.Tick(100);
    EXPECT_EQ(s.node(6).QueueCount, 0);
    EXPECT_EQ(s.form().TotalSent, 0);
    EXPECT_EQ(s.form().TotalReceived, 0);
    // Both packets are counted as dropped, each once, and a reset forgets them.
    EXPECT_EQ(s.form().TotalDropped, 2);
    EXPECT_EQ(s.form().lblTotalDropped.Caption, " 2");
    s.form().cmdStart_Click(1);
    EXPECT_EQ(s.form().TotalDropped, 0);
    EXPECT_EQ(s.form().lblTotalDropped.Caption, "0");
}

TEST(StationCsmaCd, ReliableAbortWaitsForTheTimeOutAndTheEchoDoesNotEndTheWait) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA/CD");
    s.Reliable(true);
    s.form().UserToggle(s.form().chkStatus);
    s.Queue(0, 1, 50);
    s.Queue(6, 5, 50);
    s.RunUntil([&] { return s.node(0).TxProgress == 0; }, 60);
    EXPECT_EQ(s.node(0).TxState, TxWaitingForACK);
    EXPECT_EQ(s.node(0).QueueCount, 1);
    // Still waiting while the medium carries the tail of the collision.
    s.Tick(5);
    EXPECT_EQ(s.node(0).TxState, TxWaitingForACK);
    EXPECT_EQ(s.form().lblTxStatus[0].Caption.rfind("WaitingForACK ", 0), 0u);
    // A lone frame: the sender hears its own echo while waiting and yet sends
    // only once; the acknowledgement frame goes out whole and removes it.
    Station one;
    one.Topology("Bus");
    one.Scheme("CSMA/CD");
    one.Reliable(true);
    one.Queue(2, 3);
    one.RunUntil([&] { return one.node(2).QueueCount == 0; }, 300);
    EXPECT_EQ(one.form().TotalSent, 1);
    EXPECT_EQ(one.form().TotalReceived, 1);
    EXPECT_EQ(one.node(2).QueueLeft[Node::LeftAcknowledged], 1);
}

TEST(StationCsmaCd, EveryBusyCarrierRuleDrawsOneRandomNumber) {
    Station s;
    s.Scheme("CSMA/CD");
    long draws = 0;
    s.form().SetRandomSource(std::make_unique<CountingSource>(0.5f, &draws));
    s.Queue(2, 4);
    long expected = 0;
    bool busy = false;
    for (int k = 0; k < 40; ++k) {
        for (int i = 0; i < 7; ++i) {
            const Node& n = s.node(i);
            const bool waiting = n.TxState == TxWaitingForACK || n.TxState == TxAckSent1 ||
                                 n.TxState == TxAckSent2 || n.TxState == TxSendingControl ||
                                 n.TxState == TxSendingAck;
            if (n.Heard != s.form().BackColour && !waiting) ++expected;
        }
        s.Tick();
        busy = busy || s.node(0).TxState == TxNetworkBusy;
    }
    EXPECT_TRUE(busy);
    EXPECT_EQ(draws, expected);
    EXPECT_GT(draws, 0);
    // The busy timer is 10..59.
    EXPECT_EQ(s.node(0).TxTimer, CInt(Int(0.5 * 50) + 10));
}

TEST(StationCsmaCdR, CollidedStationsBackOffAndRetry) {
    for (const bool random : {false, true}) {
        Station s;
        s.Topology("Bus");
        s.Scheme("CSMA/CD + R");
        s.Random(random);
        s.form().UserToggle(s.form().chkStatus);
        s.Randoms({0.3f});
        s.Queue(0, 1, 50);
        s.Queue(6, 5, 50);
        s.RunUntil([&] { return s.node(0).TxState == TxCollided; }, 60);
        EXPECT_EQ(s.form().lblTxStatus[0].Caption, "Collided");
        EXPECT_EQ(s.node(0).CollisionCount, 1);
        EXPECT_EQ(s.node(0).QueueCount, 1); // kept for the retry, also when unreliable
        // 1 + 52 * Int(0.3 * 2) with "Random Backoff", 1 + 52 with "Constant Backoff".
        EXPECT_EQ(s.node(0).TxTimer, random ? 1 : 53);
        const long start = s.form().TickCount;
        const long retry = s.RunUntil([&] { return s.node(0).TxState == TxSending; }, 200);
        EXPECT_GE(retry - start, random ? 1 : 53);
    }
}

TEST(StationCsmaCdR, ConstantBackoffCollidesInStepUntilThePacketIsDropped) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA/CD + R");
    s.Random(false);
    s.Queue(0, 1, 50);
    s.Queue(6, 5, 50);
    const long dropped = s.RunUntil([&] { return s.node(0).QueueCount == 0; }, 5000);
    ASSERT_GT(dropped, 0);
    EXPECT_EQ(s.node(0).QueueLeft[Node::LeftDropped], 1);
    EXPECT_EQ(s.node(6).QueueLeft[Node::LeftDropped], 1);
    EXPECT_EQ(s.node(0).CollisionCount, 0);
    EXPECT_EQ(s.form().TotalSent, 0);
    EXPECT_EQ(s.form().TotalDropped, 2);
    EXPECT_EQ(s.form().lblTotalDropped.Caption, " 2");
}

TEST(StationCsmaCdR, RandomBackoffSeparatesTheStationsAndDelivers) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA/CD + R");
    s.Random(true);
    s.Reliable(true);
    s.Queue(0, 1, 50);
    s.Queue(6, 5, 50);
    s.RunUntil([&] { return s.form().TotalReceived == 2; }, 5000);
    EXPECT_EQ(s.form().TotalReceived, 2);
    s.Tick(400);
    EXPECT_EQ(s.node(0).QueueCount + s.node(6).QueueCount, 0);
}

} // namespace
} // namespace maclab::testing

namespace maclab::testing {
namespace {

TEST(StationRandomDraws, ConstantBackoffDrawsAsOftenAsRandomBackoff) {
    // One reliable ALOHA frame: one draw for its time-out.
    // One RTS/CTS exchange on the star: one draw per RTS or CTS started, and
    // one per overheard RTS or CTS at each of the five other stations.
    const std::pair<const char*, long> cases[] = {{"ALOHA", 1}, {"RTS/CTS", 2 + 5 * 2}};
    for (const auto& [scheme, expected] : cases) {
        for (const bool random : {false, true}) {
            Station s;
            s.Scheme(scheme);
            s.Reliable(std::string(scheme) == "ALOHA");
            s.Random(random);
            long draws = 0;
            s.form().SetRandomSource(std::make_unique<CountingSource>(0.25f, &draws));
            s.Queue(2, 4);
            s.RunUntil([&] { return s.node(2).QueueCount == 0; }, 300);
            s.Tick(100);
            EXPECT_EQ(draws, expected) << scheme << (random ? " random" : " constant");
        }
    }
}

TEST(StationCsmaCdR, AnEndMarkerSentAsTheAbortFiresCountsButTheFrameIsAborted) {
    Station s;
    s.Scheme("CSMA/CD + R");
    s.Queue(2, 4, 10);
    s.Tick(9); // the data symbols are on the air; the end marker is next
    ASSERT_EQ(s.node(2).TxProgress, 9);
    s.node(2).Heard = CollisionColour;
    s.Tick();
    EXPECT_EQ(s.form().TotalSent, 1);
    EXPECT_EQ(s.node(2).TxState, TxCollided);
    EXPECT_EQ(s.node(2).CollisionCount, 1);
    EXPECT_EQ(s.node(2).QueueCount, 1);
    EXPECT_EQ(s.form().TotalDropped, 0); // tried again, not given up

    // Plain CSMA/CD, unreliable: the same frame is counted sent and dropped.
    Station u;
    u.Scheme("CSMA/CD");
    u.Queue(2, 4, 10);
    u.Tick(9);
    u.node(2).Heard = CollisionColour;
    u.Tick();
    EXPECT_EQ(u.form().TotalSent, 1);
    EXPECT_EQ(u.node(2).QueueCount, 0);
    EXPECT_EQ(u.form().TotalDropped, 1);
}

} // namespace
} // namespace maclab::testing
