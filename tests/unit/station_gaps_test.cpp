// Rules that one wrong bound or one lost line would break quietly: polling at
// the edge of the master's reach, a reset in the middle of a backoff, the
// ends of a full bus and its drawing kept while nobody looks, the collision
// count, the acknowledgement from "WaitingForOK", the wait for a CTS and the
// Ring's hold-off.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/medium_driver.h"
#include "support/recording_surface.h"
#include "support/station_harness.h"

namespace maclab::testing {
namespace {

// ---------------------------------------------------------------- Polling

// The stations that hear station 0 at all, found by letting one symbol of it
// spread over the medium.
std::vector<int> InReachOfStationZero(const char* topology, int n) {
    Form1 f;
    Open(f, topology, Str(n).c_str());
    std::vector<bool> heard(n, false);
    for (int k = 0; k <= f.PathLength + 1; ++k) {
        if (k == 0)
            Step(f, {{0, f.NodeTable[0].AddressColour}});
        else
            Step(f);
        for (int i = 1; i < n; ++i) heard[i] = heard[i] || f.NodeTable[i].Heard != f.BackColour;
    }
    std::vector<int> reach;
    for (int i = 1; i < n; ++i)
        if (heard[i]) reach.push_back(i);
    return reach;
}

// A master that polled a station at the very edge of its reach would wait for
// ever for the poll to come back, and nothing would be delivered after that.
TEST(StationPolling, WideSpaceDeliversFromEveryStationTheMasterReaches) {
    for (const int n : {9, 24}) {
        const std::vector<int> reach = InReachOfStationZero("Wide Space", n);
        ASSERT_FALSE(reach.empty()) << n;
        ASSERT_LT(static_cast<int>(reach.size()), n - 1) << n; // some are out of reach
        Station s;
        s.Topology("Wide Space");
        s.Nodes(n);
        s.Scheme("Polling");
        for (const int i : reach) s.Queue(i, 0);
        s.Queue(0, reach.back());
        const auto expected = static_cast<std::int64_t>(reach.size() + 1);
        s.RunUntil([&] { return s.form().TotalReceived == expected; }, 20000);
        EXPECT_EQ(s.form().TotalReceived, expected) << n;
        for (const int i : reach) EXPECT_EQ(s.node(i).QueueCount, 0) << n << " station " << i;
    }
}

// ---------------------------------------------------------------- CSMA/CD + R

// Runs until station i starts a data frame and makes it collide at once.
void CollideNextFrame(Station& s, int i) {
    ASSERT_GT(s.RunUntil([&] { return s.node(i).TxState == TxSending; }, 2000), 0);
    s.node(i).Heard = CollisionColour;
    s.Tick();
    ASSERT_EQ(s.node(i).TxState, TxCollided);
}

// A station on the Star with two packets queued, backing off at random with
// every random number 0.99 (so the backoff after k collisions is 1 + 32 x
// (2^k - 1) ticks, for k up to 10).
void BackingOffOnTheStar(Station& s) {
    s.Scheme("CSMA/CD + R");
    s.Random(true);
    s.Randoms({0.99f});
    s.Queue(2, 4);
    s.Queue(2, 4);
}

TEST(StationCsmaCdR, TheCollisionCountStartsAgainWithEachPacket) {
    Station s;
    BackingOffOnTheStar(s);
    CollideNextFrame(s, 2);
    CollideNextFrame(s, 2);
    ASSERT_EQ(s.node(2).CollisionCount, 2);
    // The third try goes through; the packet leaves the queue.
    ASSERT_GT(s.RunUntil([&] { return s.node(2).QueueCount == 1; }, 2000), 0);
    CollideNextFrame(s, 2);
    EXPECT_EQ(s.node(2).CollisionCount, 1);
    EXPECT_EQ(s.node(2).TxTimer, 1 + 32);
}

TEST(StationCsmaCdR, AResetDuringABackoffLeavesNoCollisionCountBehind) {
    Station s;
    BackingOffOnTheStar(s);
    for (int k = 0; k < 3; ++k) CollideNextFrame(s, 2);
    s.Tick(5);
    ASSERT_EQ(s.node(2).TxState, TxCollided); // still backing off
    s.form().cmdStart_Click(1);               // Reset
    s.Queue(2, 4);
    CollideNextFrame(s, 2);
    EXPECT_EQ(s.node(2).CollisionCount, 1);
    EXPECT_EQ(s.node(2).TxTimer, 1 + 32);
}

// Two stations far apart on the Bus start together and, backing off by the
// same constant time, collide again at every try: the sixteenth collision
// gives the packet up.
TEST(StationCsmaCdR, TheSixteenthCollisionDropsThePacket) {
    Station s;
    s.Topology("Bus");
    s.Scheme("CSMA/CD + R");
    s.Random(false);
    s.Queue(0, 1, 50);
    s.Queue(6, 5, 50);
    int starts = 0;
    Integer most = 0;
    for (int k = 0; k < 5000 && s.node(0).QueueCount > 0; ++k) {
        s.Tick();
        if (s.node(0).TxState == TxSending && s.node(0).TxProgress == 1) ++starts;
        if (s.node(0).CollisionCount > most) most = s.node(0).CollisionCount;
    }
    ASSERT_EQ(s.node(0).QueueCount, 0);
    EXPECT_EQ(starts, 16);
    EXPECT_EQ(most, 15);
    // Given up in this very step: no backoff, the count back at 0.
    EXPECT_EQ(s.node(0).TxState, TxIdle);
    EXPECT_EQ(s.node(0).CollisionCount, 0);
    EXPECT_EQ(s.form().TotalSent, 0);
}

// ---------------------------------------------------------------- RTS/CTS

// The addressee of a data frame, still deferring after its own CTS, answers
// at once from "WaitingForOK" and then waits out the rest of its count.
TEST(StationRtsCts, TheAcknowledgementGoesOutFromWaitingForOK) {
    Station s;
    s.Topology("Bus");
    s.Scheme("RTS/CTS");
    s.Reliable(true);
    s.Random(false);
    s.Queue(2, 3);
    ASSERT_GT(s.RunUntil([&] { return s.node(3).RxCount == 1; }, 300), 0);
    EXPECT_EQ(s.Symbol(s.node(3).Output), "A2");
    std::vector<Long> states{s.node(3).TxState};
    for (int k = 0; k < 100; ++k) {
        s.Tick();
        if (s.node(3).TxState != states.back()) states.push_back(s.node(3).TxState);
    }
    EXPECT_EQ(states,
              (std::vector<Long>{TxSendingAck, TxAckSent1, TxAckSent2, TxWaitingForACK, TxIdle}));
    EXPECT_EQ(s.node(2).QueueCount, 0);
    EXPECT_EQ(s.form().TotalSent, 1);
}

TEST(StationRtsCts, TheWaitForACtsCountsDownOnlyInSilence) {
    Station s;
    s.Scheme("RTS/CTS");
    s.Queue(2, 4);
    Node& asker = s.node(2);
    asker.TxState = TxWaitingForCTS;
    asker.TxTimer = 12;
    for (int k = 0; k < 5; ++k) {
        asker.Heard = s.node(6).DataColour;
        s.Tick();
    }
    EXPECT_EQ(asker.TxTimer, 12);
    s.Tick(5);
    EXPECT_EQ(asker.TxTimer, 7);
    asker.Heard = EndMarker;
    s.Tick();
    EXPECT_EQ(asker.TxTimer, 7);
    // At 0 the request goes out again.
    s.Tick(7);
    EXPECT_EQ(asker.TxState, TxSendingControl);
    EXPECT_EQ(s.Symbol(asker.Output), "W");
}

// ---------------------------------------------------------------- Ring

// An RTS from station 2 to station 3 comes round, and right behind it a data
// frame of station 6: both the sender and the addressee take the six symbols
// of the RTS off the ring, and pass the data frame on whole.
TEST(StationRing, ARequestIsTakenOffForSixSteps) {
    for (const int who : {2, 3}) {
        Station s;
        s.Topology("Ring");
        Form1& f = s.form();
        const std::vector<Long> heard{f.BackColour,
                                      f.ColourWhite,
                                      s.node(2).AddressColour,
                                      s.node(3).AddressColour,
                                      f.ColourGrey192,
                                      EndMarker,
                                      EndMarker,
                                      s.node(5).AddressColour,
                                      s.node(6).AddressColour,
                                      s.node(6).DataColour,
                                      s.node(6).DataColour,
                                      EndMarker};
        std::vector<std::string> passed;
        for (const Long h : heard) {
            s.node(who).Heard = h;
            s.Tick();
            passed.push_back(s.Symbol(s.node(who).Output));
        }
        s.Tick();
        passed.push_back(s.Symbol(s.node(who).Output));
        s.Tick();
        passed.push_back(s.Symbol(s.node(who).Output));
        // A silent ring station passes on what it heard two steps before.
        EXPECT_EQ(Join(passed), ". . . . . . . . . A5 A6 d6 d6 E") << who;
    }
}

// ---------------------------------------------------------------- Bus drawing

// What was drawn on every bus cell, tick by tick, while a network ran.
struct BusRings {
    std::vector<std::vector<std::string>> colours =
        std::vector<std::vector<std::string>>(LastBusCell);
    std::vector<long> firstTick = std::vector<long>(LastBusCell, -1);
};

BusRings WatchBus(Station& s, const RecordingSurface& rec, int ticks) {
    BusRings rings;
    for (int t = 1; t <= ticks; ++t) {
        const std::size_t from = rec.calls.size();
        s.Tick();
        for (std::size_t k = from; k < rec.calls.size(); ++k)
            for (int c = 0; c < LastBusCell; ++c)
                if (rec.calls[k].IsRingAt(s.form().BusX[c], 4800)) {
                    if (rings.firstTick[c] < 0) rings.firstTick[c] = t;
                    rings.colours[c].push_back(s.Symbol(rec.calls[k].colour));
                }
    }
    return rings;
}

// On a full bus the first and the last station tap the cells next to the
// ends: a frame of either reaches both ends of the bus, one cell per tick,
// and both taps are lit and put out again.
TEST(DrawingBus, TheEndStationsOfAFullBusReachBothEnds) {
    Station s;
    RecordingSurface rec;
    s.form().SetSurface(&rec);
    s.Topology("Bus");
    s.Nodes(24);
    ASSERT_EQ(s.node(0).BusCell, 1);
    ASSERT_EQ(s.node(23).BusCell, LastBusCell - 2);
    for (const auto& [from, to] : {std::pair{0, 1}, std::pair{23, 22}}) {
        rec.Reset();
        s.Queue(from, to, 5);
        const BusRings rings = WatchBus(s, rec, 40);
        const std::string frame = "A" + std::to_string(to) + " A" + std::to_string(from) + " d" +
                                  std::to_string(from) + " E .";
        const int tap = s.node(from).BusCell;
        for (int c = 0; c < LastBusCell; ++c) {
            EXPECT_EQ(Join(rings.colours[c]), frame) << from << " cell " << c;
            EXPECT_EQ(rings.firstTick[c], 2 + std::abs(c - tap)) << from << " cell " << c;
        }
        EXPECT_EQ(rec.Count(RecordingSurface::Kind::BusSegment),
                  static_cast<std::size_t>(LastBusCell));
        EXPECT_EQ(rec.RepaintCount(RepaintTarget::EndPiece, 0), 1u) << from;
        EXPECT_EQ(rec.RepaintCount(RepaintTarget::EndPiece, 1), 1u) << from;
        for (const int i : {0, 23}) {
            const auto taps = rec.RingsAt(s.node(i).CellX[0], s.node(i).CellY[0]);
            ASSERT_GE(taps.size(), 2u) << from << " tap " << i;
            EXPECT_EQ(taps.back().colour, s.form().BackColour) << from << " tap " << i;
            EXPECT_GE(rec.RepaintCount(RepaintTarget::DropLine, i), 1u) << from << " tap " << i;
        }
    }
    s.form().SetSurface(nullptr);
}

// What every bus cell, then every tap, is recorded as showing.
std::string BusShownRecords(Station& s) {
    std::vector<std::string> shown;
    for (int c = 0; c < LastBusCell; ++c) shown.push_back(s.Symbol(s.form().BusShown[c]));
    shown.push_back("|");
    for (int i = 0; i < s.form().ActiveStations(); ++i)
        shown.push_back(s.Symbol(s.node(i).CellShown[0]));
    return Join(shown);
}

std::string CallText(const RecordingSurface::Call& c) {
    return std::to_string(static_cast<int>(c.kind)) + " " + std::to_string(c.x) + " " +
           std::to_string(c.y) + " " + std::to_string(c.colour) + " " +
           std::to_string(static_cast<int>(c.target)) + " " + std::to_string(c.index);
}

// While the surface draws nothing the bus still keeps its records of what each
// cell shows: after every tick, drawn or not, they equal those of a run that
// draws all the time, and once drawing resumes both draw exactly alike.
TEST(DrawingBus, RecordsKeptUnseenMatchAnAlwaysDrawnRunCellByCell) {
    for (const char* scheme : {"ALOHA", "CSMA/CD", "RTS/CTS"}) {
        Station seen, unseen;
        RecordingSurface always, sometimes;
        seen.form().SetSurface(&always);
        unseen.form().SetSurface(&sometimes);
        for (Station* s : {&seen, &unseen}) {
            s->Topology("Bus");
            s->Nodes(12);
            s->Scheme(scheme);
            s->Reliable(true);
            s->form().UserEdit(s->form().cmbOT, "0.6");
            s->form().cmdStart_Click(0);
        }
        std::mt19937 plan(11);
        for (int round = 0; round < 60; ++round) {
            sometimes.drawing = round % 2 == 1;
            always.Reset();
            sometimes.Reset();
            const int ticks = static_cast<int>(plan() % 40) + 1;
            for (int k = 0; k < ticks; ++k) {
                seen.Tick();
                unseen.Tick();
                ASSERT_EQ(BusShownRecords(seen), BusShownRecords(unseen))
                    << scheme << " round " << round << " tick " << k;
            }
            if (!sometimes.drawing) continue;
            ASSERT_EQ(always.calls.size(), sometimes.calls.size()) << scheme << " round " << round;
            for (std::size_t c = 0; c < always.calls.size(); ++c)
                ASSERT_EQ(CallText(always.calls[c]), CallText(sometimes.calls[c]))
                    << scheme << " round " << round << " call " << c;
        }
        seen.form().SetSurface(nullptr);
        unseen.form().SetSurface(nullptr);
    }
}

} // namespace
} // namespace maclab::testing
