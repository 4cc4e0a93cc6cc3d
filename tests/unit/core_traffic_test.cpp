// Packets entering the queues: QueuePacket, the destination rule and the
// random arrivals, with the random numbers scripted where it matters.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/form1.h"

namespace maclab {
namespace {

// Returns the given values in turn and counts how many were drawn.
class CountingSource final : public RandomSource {
  public:
    explicit CountingSource(std::vector<float> values, std::size_t* draws)
        : values_(std::move(values)), draws_(draws) {}
    float Next() override {
        const float v = values_[*draws_ % values_.size()];
        ++*draws_;
        return v;
    }
    std::size_t Period() const override { return values_.size(); }

  private:
    std::vector<float> values_;
    std::size_t* draws_;
};

void Script(Form1& f, std::vector<float> values, std::size_t* draws) {
    f.SetRandomSource(std::make_unique<CountingSource>(std::move(values), draws));
}

void Open(Form1& f, const char* nodes) {
    f.Form_Load();
    f.UserPick(f.cmbNodes, nodes);
}

TEST(QueuePacket, AppendsAndCountsUpToAHundredAndOnePackets) {
    Form1 f;
    Open(f, " 7");
    for (int k = 0; k < 101; ++k)
        f.QueuePacket(static_cast<Integer>(10 + k), 2, static_cast<Integer>(k % 2 ? 3 : 4));
    const Node& s = f.NodeTable[2];
    EXPECT_EQ(s.QueueCount, 101);
    EXPECT_EQ(s.QueueLength[0], 10);
    EXPECT_EQ(s.QueueDest[0], 4);
    EXPECT_EQ(s.QueueLength[100], 110);
    EXPECT_EQ(s.QueueDest[99], 3);
    EXPECT_EQ(f.TotalQueued, 101);
    EXPECT_EQ(f.lblTotalQueued.Caption, " 101");
    // The 102nd is refused and not counted.
    f.QueuePacket(10, 2, 3);
    EXPECT_EQ(s.QueueCount, 101);
    EXPECT_EQ(f.TotalQueued, 101);
    EXPECT_EQ(f.lblTotalQueued.Caption, " 101");
    // Another station's queue is unaffected.
    f.QueuePacket(10, 3, 2);
    EXPECT_EQ(f.NodeTable[3].QueueCount, 1);
    EXPECT_EQ(f.lblTotalQueued.Caption, " 102");
}

TEST(QueuePacket, DropsPacketsForOrFromStationsNotLaidOut) {
    Form1 f;
    Open(f, " 7");
    f.QueuePacket(10, 7, 1);
    f.QueuePacket(10, 1, 7);
    f.QueuePacket(10, 24, 1);
    f.QueuePacket(10, 1, 24);
    EXPECT_EQ(f.TotalQueued, 0);
    EXPECT_EQ(f.lblTotalQueued.Caption, "0");
    for (int i = 0; i < StationRecords; ++i) EXPECT_EQ(f.NodeTable[i].QueueCount, 0) << i;
    f.QueuePacket(10, 6, 6); // the same station is not QueuePacket's concern
    EXPECT_EQ(f.NodeTable[6].QueueCount, 1);
}

TEST(Destination, OneOfTheTwoNearestOnEitherSideWrappingAround) {
    Form1 f;
    Open(f, " 7");
    std::size_t draws = 0;
    // r = 0, 0.2, 0.6, 0.8 give offsets -2, -1, +1, +2.
    Script(f, {0.0f, 0.2f, 0.6f, 0.8f}, &draws);
    EXPECT_EQ(f.PickDestination(3), 1);
    EXPECT_EQ(f.PickDestination(3), 2);
    EXPECT_EQ(f.PickDestination(3), 4);
    EXPECT_EQ(f.PickDestination(3), 5);
    EXPECT_EQ(f.PickDestination(0), 5);
    EXPECT_EQ(f.PickDestination(0), 6);
    EXPECT_EQ(f.PickDestination(6), 0);
    EXPECT_EQ(f.PickDestination(6), 1);
    EXPECT_EQ(draws, 8u);
}

TEST(Destination, OffsetZeroIsDrawnAgain) {
    Form1 f;
    Open(f, " 7");
    std::size_t draws = 0;
    Script(f, {0.4f, 0.5f, 0.99f, 0.3f}, &draws);
    EXPECT_EQ(f.PickDestination(3), 5); // 0.4 and 0.5 give the source itself
    EXPECT_EQ(draws, 3u);
    EXPECT_EQ(f.PickDestination(3), 2); // 0.3
    EXPECT_EQ(draws, 4u);
}

TEST(Destination, TheOffsetIsRoundedToSinglePrecisionOnce) {
    Form1 f;
    Open(f, " 24");
    std::size_t draws = 0;
    // Just below 0.6: 5r - 2 + 20 is 20.99999982 in double but 21 in single,
    // so the destination is 21 rather than the source (a redraw).
    const float r = std::nextafter(0.6f, 0.0f);
    Script(f, {r, 0.0f}, &draws);
    EXPECT_EQ(f.PickDestination(20), 21);
    EXPECT_EQ(draws, 1u);
}

TEST(Destination, TwoStationsAlwaysPickTheOther) {
    Form1 f;
    Open(f, " 2");
    for (int k = 0; k < 500; ++k) {
        EXPECT_EQ(f.PickDestination(0), 1);
        EXPECT_EQ(f.PickDestination(1), 0);
    }
    std::size_t draws = 0;
    Script(f, {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.99f}, &draws);
    for (int k = 0; k < 22; ++k) {
        EXPECT_EQ(f.PickDestination(0), 1);
        EXPECT_EQ(f.PickDestination(1), 0);
    }
}

TEST(Destination, ASequenceThatNeverLeavesTheSourceIsReported) {
    Form1 f;
    Open(f, " 7");
    std::size_t draws = 0;
    Script(f, {0.4f, 0.5f}, &draws);
    EXPECT_THROW(f.PickDestination(3), EndlessRedraw);
}

TEST(Arrivals, EachStationDrawsOnceAgainstTheArrivalProbability) {
    Form1 f;
    Open(f, " 7");
    f.UserPick(f.cmbOT, "0.1");
    const float p = static_cast<float>(0.1 / 10 / 7);
    const float below = std::nextafter(p, 0.0f);
    std::size_t draws = 0;
    // Station 3 draws just below p (an arrival; its destination then takes
    // 0.6 -> station 4); every other station draws exactly p (no arrival).
    Script(f, {p, p, p, below, 0.6f, p, p, p}, &draws);
    f.RandomArrivals();
    EXPECT_EQ(draws, 8u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(f.NodeTable[i].QueueCount, i == 3 ? 1 : 0) << i;
    EXPECT_EQ(f.NodeTable[3].QueueDest[0], 4);
    EXPECT_EQ(f.NodeTable[3].QueueLength[0], 10);
    EXPECT_EQ(f.TotalQueued, 1);
    EXPECT_EQ(f.lblTotalQueued.Caption, " 1");
}

TEST(Arrivals, PacketLengthIsRoundedHalfToEven) {
    for (const auto& [text, length] :
         {std::pair{"12.5", 12}, std::pair{"13.5", 14}, std::pair{"3.4", 3}}) {
        Form1 f;
        Open(f, " 2");
        f.UserEdit(f.cmbLength, text);
        f.UserEdit(f.cmbOT, "1000000");
        f.RandomArrivals();
        EXPECT_EQ(f.NodeTable[0].QueueLength[0], length) << text;
        EXPECT_EQ(f.NodeTable[1].QueueLength[0], length) << text;
    }
}

TEST(Arrivals, OfferedTrafficIsReadAfreshAndClamped) {
    Form1 f;
    Open(f, " 7");
    std::size_t draws = 0;
    Script(f, {0.999f}, &draws);
    f.UserEdit(f.cmbOT, "1e400"); // beyond any double: one arrival per station
    f.RandomArrivals();
    EXPECT_EQ(f.TotalQueued, 7);
    f.UserEdit(f.cmbOT, "-5"); // below zero: none, but still one draw each
    draws = 0;
    f.RandomArrivals();
    EXPECT_EQ(f.TotalQueued, 7);
    EXPECT_EQ(draws, 7u);
    f.UserEdit(f.cmbOT, "0");
    Script(f, {0.0f}, &draws);
    draws = 0;
    f.RandomArrivals(); // nothing is below a draw of 0, yet every station draws
    EXPECT_EQ(f.TotalQueued, 7);
    EXPECT_EQ(draws, 7u);
}

TEST(Arrivals, OnlyWhileRunning) {
    Form1 f;
    Open(f, " 4");
    std::size_t draws = 0;
    Script(f, {0.0f, 0.6f}, &draws); // every draw an arrival if one were made
    f.UserEdit(f.cmbOT, "2.0");
    for (int t = 0; t < 50; ++t) f.Timer1_Timer();
    EXPECT_EQ(f.TotalQueued, 0);
    f.cmdStart_Click(0);
    f.Timer1_Timer();
    EXPECT_EQ(f.TotalQueued, 4);
    f.cmdStart_Click(0); // Stop
    for (int t = 0; t < 50; ++t) f.Timer1_Timer();
    EXPECT_EQ(f.TotalQueued, 4);
}

TEST(Arrivals, RateFollowsTheOfferedTraffic) {
    Form1 f;
    Open(f, " 8");
    f.UserEdit(f.cmbOT, "0.8");
    const int calls = 20000;
    for (int t = 0; t < calls; ++t) {
        f.RandomArrivals();
        for (int i = 0; i < 8; ++i) f.NodeTable[i].QueueCount = 0; // never full
    }
    // Expected 0.8 / 10 per call over all stations: 1600 packets, give or
    // take well under five standard deviations (about 40 each).
    EXPECT_NEAR(static_cast<double>(f.TotalQueued), 1600.0, 200.0);
}

} // namespace
} // namespace maclab
