// Every packet counted once: a frame received again after a lost
// acknowledgement, and an acknowledgement sent in the middle of a backoff.
#include <gtest/gtest.h>

#include "support/station_harness.h"

namespace maclab::testing {
namespace {

// The acknowledgement of a delivered frame is lost: the sender times out and
// sends the same packet again; the receiver answers again but counts it once.
// The next packet carries a new number and counts.
TEST(StationCounts, AFrameSentAgainAfterALostAcknowledgementIsAnsweredButNotCounted) {
    Station s;
    s.Reliable(true);
    s.Queue(2, 4);
    ASSERT_GT(s.RunUntil([&] { return s.node(4).ControlPending == 1; }, 100), 0);
    EXPECT_EQ(s.form().TotalReceived, 1);
    // The acknowledgement starts in the step that delivers; it is lost
    // after its first symbol.
    ASSERT_EQ(s.node(4).TxState, TxSendingControl);
    s.form().CancelControl(4);
    s.node(4).TxState = TxIdle;
    s.node(4).TxProgress = 0;
    s.node(4).ControlOnAir = false;
    s.node(4).Output = s.form().BackColour;
    // The time-out: the same packet again, delivered again and answered.
    ASSERT_GT(s.RunUntil([&] { return s.node(4).ControlPending == 1; }, 400), 0);
    EXPECT_EQ(s.form().TotalSent, 2);
    EXPECT_EQ(s.form().TotalReceived, 1);
    EXPECT_EQ(s.form().lblTotalRx.Caption, " 1");
    EXPECT_EQ(s.node(4).RxCount, 1);
    EXPECT_EQ(s.node(4).RxDuplicates, 1);
    ASSERT_GT(s.RunUntil([&] { return s.node(2).QueueCount == 0; }, 200), 0);
    EXPECT_EQ(s.node(2).QueueLeft[Node::LeftAcknowledged], 1);

    s.Queue(2, 4);
    ASSERT_GT(s.RunUntil([&] { return s.node(2).QueueCount == 0; }, 200), 0);
    EXPECT_EQ(s.form().TotalReceived, 2);
    EXPECT_EQ(s.node(4).RxDuplicates, 1);
    // A reset forgets the numbers: the first packet after it counts.
    s.form().cmdStart_Click(1);
    s.Queue(2, 4);
    ASSERT_GT(s.RunUntil([&] { return s.node(2).QueueCount == 0; }, 200), 0);
    EXPECT_EQ(s.form().TotalReceived, 1);
}

// A station backing off after a collision answers a frame addressed to it at
// once; its backoff stands still while the acknowledgement is on the air and
// goes on from there afterwards.
TEST(StationCounts, AnAcknowledgementDuringACollisionBackoffReturnsToTheBackoff) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA/CD + R");
    s.Reliable(true);
    s.node(3).TxState = TxCollided;
    s.node(3).TxTimer = 500;
    s.Queue(2, 3);
    ASSERT_GT(s.RunUntil([&] { return s.node(3).TxState == TxSendingControl; }, 100), 0);
    const Long stood = s.node(3).TxTimer;
    EXPECT_GT(stood, 400);
    ASSERT_GT(s.RunUntil([&] { return s.node(3).TxState != TxSendingControl; }, 20), 0);
    EXPECT_EQ(s.node(3).TxState, TxCollided);
    EXPECT_EQ(s.node(3).TxTimer, stood);
    s.Tick();
    EXPECT_EQ(s.node(3).TxTimer, stood - 1);
    // The sender heard the acknowledgement: no time-out, no second copy.
    ASSERT_GT(s.RunUntil([&] { return s.node(2).QueueCount == 0; }, 200), 0);
    EXPECT_EQ(s.form().TotalSent, 1);
    EXPECT_EQ(s.node(2).QueueLeft[Node::LeftAcknowledged], 1);

    // With its backoff over by the end, it finishes as after any acknowledgement.
    Station t;
    t.Topology("Bus");
    t.Scheme("CSMA/CD + R");
    t.Reliable(true);
    t.Queue(2, 3);
    ASSERT_GT(t.RunUntil([&] { return t.node(3).ControlPending == 1; }, 100), 0);
    t.node(3).TxState = TxCollided;
    t.node(3).TxTimer = 1;
    ASSERT_GT(t.RunUntil([&] { return t.node(3).TxState == TxSendingControl; }, 20), 0);
    ASSERT_GT(t.RunUntil([&] { return t.node(3).TxState != TxSendingControl; }, 20), 0);
    EXPECT_EQ(t.node(3).TxState, TxFinishing);
}

} // namespace
} // namespace maclab::testing
