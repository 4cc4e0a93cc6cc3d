// Signal timing on every medium: who hears which symbol in which tick, and
// where overlapping signals turn red.  The medium step is driven directly,
// with each station's Output set by the test, so the station machine plays
// no part.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/form1.h"
#include "support/medium_driver.h"

namespace maclab {
namespace {

using testing::Open;
using testing::Step;

// A frame of distinct symbols, so that every symbol's arrival can be told apart.
std::vector<Long> Frame(const Form1& f, int sender) {
    const Node& s = f.NodeTable[sender];
    return {s.AddressColour, s.DataColour, f.ColourGrey224, f.ColourWhite, EndMarker};
}

// Symbol k of a frame whose first symbol went out in tick 1, as it should be
// seen `delay` ticks after it went out, in tick `tick`.
Long Expected(const Form1& f, const std::vector<Long>& frame, int tick, int delay) {
    const int k = tick - 1 - delay;
    return k >= 0 && k < static_cast<int>(frame.size()) ? frame[k] : f.BackColour;
}

// ---------------------------------------------------------------- Bus

TEST(MediumBus, LoneFrameReachesEveryCellAndStationAtItsDistance) {
    Form1 f;
    Open(f, "Bus", " 7");
    for (int sender = 0; sender < 7; ++sender) {
        f.ResetNetwork();
        const auto frame = Frame(f, sender);
        const int home = f.NodeTable[sender].BusCell;
        for (int tick = 1; tick <= 40; ++tick) {
            const int k = tick - 1;
            Step(f, k < static_cast<int>(frame.size())
                        ? std::vector<std::pair<int, Long>>{{sender, frame[k]}}
                        : std::vector<std::pair<int, Long>>{});
            for (int c = 0; c <= 25; ++c) {
                const int d = std::abs(c - home);
                ASSERT_EQ(f.BusShown[c], Expected(f, frame, tick, 1 + d))
                    << "sender " << sender << " cell " << c << " tick " << tick;
            }
            for (int j = 0; j < 7; ++j) {
                const int d = std::abs(f.NodeTable[j].BusCell - home);
                ASSERT_EQ(f.NodeTable[j].InPath[0], Expected(f, frame, tick, 2 + d))
                    << "sender " << sender << " station " << j << " tick " << tick;
                ASSERT_EQ(f.NodeTable[j].Heard, Expected(f, frame, tick, 3 + d))
                    << "sender " << sender << " station " << j << " tick " << tick;
            }
        }
    }
}

TEST(MediumBus, RightLaneTakesTheSymbolFirstAndTheLeftLaneOneTickLater) {
    Form1 f;
    Open(f, "Bus", " 7");
    const int c = f.NodeTable[3].BusCell;
    const Long a3 = f.NodeTable[3].AddressColour;
    Step(f, {{3, a3}});
    EXPECT_EQ(f.BusRight[c], f.BackColour);
    EXPECT_EQ(f.BusLeft[c - 1], f.BackColour);
    Step(f);
    EXPECT_EQ(f.BusRight[c], a3);
    EXPECT_EQ(f.BusLeft[c - 1], f.BackColour);
    Step(f);
    EXPECT_EQ(f.BusRight[c + 1], a3);
    EXPECT_EQ(f.BusLeft[c - 1], a3);
    EXPECT_EQ(f.BusRight[c], f.BackColour);
}

// One character per bus cell 0..25: '.' silence, 'X' red, 'a' station 0's
// address, 'b' station 2's address, '?' anything else.
std::string BusRow(const Form1& f) {
    std::string row;
    for (int c = 0; c <= 25; ++c) {
        const Long v = f.BusShown[c];
        row += v == f.BackColour                   ? '.'
               : v == CollisionColour              ? 'X'
               : v == f.NodeTable[0].AddressColour ? 'a'
               : v == f.NodeTable[2].AddressColour ? 'b'
                                                   : '?';
    }
    return row;
}

TEST(MediumBus, TwoSendersOverlapInRedAndTheirSignalsTurnRedBeyondEachOther) {
    Form1 f;
    Open(f, "Bus", " 7");
    ASSERT_EQ(f.NodeTable[0].BusCell, 3);
    ASSERT_EQ(f.NodeTable[1].BusCell, 6);
    ASSERT_EQ(f.NodeTable[2].BusCell, 9);
    const Long a0 = f.NodeTable[0].AddressColour, a2 = f.NodeTable[2].AddressColour;
    std::vector<std::string> rows;
    std::vector<Long> heardBetween;
    for (int tick = 1; tick <= 12; ++tick) {
        Step(f, {{0, a0}, {2, a2}});
        rows.push_back(BusRow(f));
        heardBetween.push_back(f.NodeTable[1].Heard);
    }
    // Station 0 (cell 3) and station 2 (cell 9) both send from tick 1 on.
    EXPECT_EQ(rows[4 - 1], ".aaaaa.bbbbb.............."); // tick 4: the lanes do not meet yet
    EXPECT_EQ(rows[5 - 1], "aaaaaaXbbbbbb............."); // tick 5: they meet at cell 6
    EXPECT_EQ(rows[8 - 1],
              "aaaXXXXXXXbbbbbb.........."); // tick 8: station 0's signal is red past cell 9
    EXPECT_EQ(rows[10 - 1], "aXXXXXXXXXXXbbbbbb........"); // tick 10: and station 2's past cell 2
    EXPECT_EQ(f.BusRight[9], CollisionColour);             // injected into an occupied lane cell
    EXPECT_EQ(f.BusLeft[2], CollisionColour);
    EXPECT_EQ(f.BusRight[8], a0); // the lanes themselves carry on unchanged
    EXPECT_EQ(f.BusLeft[3], a2);
    // Station 1 sits midway (cell 6): silence until both reach it, then red.
    for (int tick = 1; tick <= 6; ++tick) EXPECT_EQ(heardBetween[tick - 1], f.BackColour) << tick;
    for (int tick = 7; tick <= 12; ++tick)
        EXPECT_EQ(heardBetween[tick - 1], CollisionColour) << tick;
}

TEST(MediumBus, SignalsFallOffBothEndsAndTheBusFallsSilent) {
    Form1 f;
    Open(f, "Bus", " 24");
    std::vector<std::pair<int, Long>> all;
    for (int i = 0; i < 24; ++i) all.emplace_back(i, f.NodeTable[i].AddressColour);
    for (int tick = 0; tick < 5; ++tick) Step(f, all);
    for (int tick = 0; tick < 40; ++tick) Step(f);
    for (int c = 0; c <= 26; ++c) {
        EXPECT_EQ(f.BusLeft[c], f.BackColour) << c;
        EXPECT_EQ(f.BusRight[c], f.BackColour) << c;
    }
    for (int c = 0; c <= 25; ++c) EXPECT_EQ(f.BusShown[c], f.BackColour) << c;
    for (int i = 0; i < 24; ++i) EXPECT_EQ(f.NodeTable[i].Heard, f.BackColour) << i;
}

// ---------------------------------------------------------------- Star

TEST(MediumStar, LoneFrameReachesEveryOtherStationAfterTwiceThePathAndNeverItsSender) {
    Form1 f;
    Open(f, "Star", " 5");
    const int L = f.PathLength;
    ASSERT_EQ(L, 8);
    for (int sender = 0; sender < 5; ++sender) {
        f.ResetNetwork();
        const auto frame = Frame(f, sender);
        for (int tick = 1; tick <= 30; ++tick) {
            const int k = tick - 1;
            Step(f, k < static_cast<int>(frame.size())
                        ? std::vector<std::pair<int, Long>>{{sender, frame[k]}}
                        : std::vector<std::pair<int, Long>>{});
            ASSERT_EQ(f.HubColour, Expected(f, frame, tick, L)) << "tick " << tick;
            for (int j = 0; j < 5; ++j) {
                const Long want = j == sender ? f.BackColour : Expected(f, frame, tick, 2 * L);
                ASSERT_EQ(f.NodeTable[j].Heard, want)
                    << "sender " << sender << " station " << j << " tick " << tick;
            }
        }
    }
}

TEST(MediumStar, SymbolsMeetingAtTheHubReachEveryoneAsRed) {
    Form1 f;
    Open(f, "Star", " 4");
    const int L = f.PathLength;
    Step(f, {{0, f.NodeTable[0].AddressColour}, {2, f.NodeTable[2].AddressColour}});
    for (int tick = 2; tick <= 3 * L; ++tick) {
        Step(f);
        if (tick == L + 1) {
            EXPECT_EQ(f.HubColour, CollisionColour);
            EXPECT_EQ(f.HubSource, -1);
        }
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(f.NodeTable[j].Heard, tick == 2 * L + 1 ? CollisionColour : f.BackColour)
                << "station " << j << " tick " << tick;
    }
}

TEST(MediumStar, SymbolsReachingTheHubInSuccessiveTicksStayApart) {
    Form1 f;
    Open(f, "Star", " 4");
    const int L = f.PathLength;
    const Long a0 = f.NodeTable[0].AddressColour, a2 = f.NodeTable[2].AddressColour;
    std::vector<std::vector<Long>> heard(4);
    Step(f, {{0, a0}});
    for (int j = 0; j < 4; ++j) heard[j].push_back(f.NodeTable[j].Heard);
    Step(f, {{2, a2}});
    for (int tick = 2; tick <= 3 * L; ++tick) {
        if (tick > 2) Step(f);
        for (int j = 0; j < 4; ++j) heard[j].push_back(f.NodeTable[j].Heard);
    }
    const auto at = [&](int j, int tick) { return heard[j][tick - 1]; };
    // Station 0's symbol (tick 1) reaches 1, 2 and 3 in tick 17; station 2's
    // (tick 2) reaches 0, 1 and 3 in tick 18; no red anywhere.
    EXPECT_EQ(at(1, 2 * L + 1), a0);
    EXPECT_EQ(at(2, 2 * L + 1), a0);
    EXPECT_EQ(at(3, 2 * L + 1), a0);
    EXPECT_EQ(at(0, 2 * L + 1), f.BackColour);
    EXPECT_EQ(at(0, 2 * L + 2), a2);
    EXPECT_EQ(at(1, 2 * L + 2), a2);
    EXPECT_EQ(at(3, 2 * L + 2), a2);
    EXPECT_EQ(at(2, 2 * L + 2), f.BackColour);
    for (int j = 0; j < 4; ++j)
        for (Long h : heard[j]) EXPECT_NE(h, CollisionColour);
}

// ---------------------------------------------------------------- Ring

TEST(MediumRing, TwoStationsHearEachOtherAfterThePathLength) {
    Form1 f;
    Open(f, "Ring", " 2");
    const int L = f.PathLength;
    ASSERT_EQ(L, 7);
    const auto frame0 = Frame(f, 0), frame1 = Frame(f, 1);
    for (int tick = 1; tick <= 20; ++tick) {
        const int k = tick - 1;
        if (k < 5)
            Step(f, {{0, frame0[k]}, {1, frame1[k]}});
        else
            Step(f);
        ASSERT_EQ(f.NodeTable[1].Heard, Expected(f, frame0, tick, L)) << tick;
        ASSERT_EQ(f.NodeTable[0].Heard, Expected(f, frame1, tick, L)) << tick;
    }
}

TEST(MediumRing, EachStationHearsOnlyItsPredecessor) {
    for (const char* nodes : {" 5", " 12", " 24"}) {
        Form1 f;
        Open(f, "Ring", nodes);
        const int n = f.ActiveStations(), L = f.PathLength;
        std::vector<std::pair<int, Long>> all;
        for (int i = 0; i < n; ++i) all.emplace_back(i, f.NodeTable[i].AddressColour);
        Step(f, all);
        for (int tick = 2; tick <= L + 2; ++tick) {
            Step(f);
            for (int i = 0; i < n; ++i) {
                const int prev = (i + n - 1) % n;
                EXPECT_EQ(f.NodeTable[i].Heard,
                          tick == L + 1 ? f.NodeTable[prev].AddressColour : f.BackColour)
                    << nodes << " station " << i << " tick " << tick;
            }
        }
        EXPECT_EQ(f.RingNext, 0);
    }
}

// ---------------------------------------------------------------- Space

TEST(MediumSpace, StationsHearEachOtherAfterTheirRadioDelay) {
    Form1 f;
    Open(f, "Space", " 4");
    // Four stations on a circle of radius 1000: neighbours 1414 twips apart
    // (delay 3), opposite ones 2000 apart (delay 5).
    const int delay[4] = {0, 3, 5, 3};
    const auto frame = Frame(f, 0);
    for (int tick = 1; tick <= 20; ++tick) {
        const int k = tick - 1;
        Step(f, k < 5 ? std::vector<std::pair<int, Long>>{{0, frame[k]}}
                      : std::vector<std::pair<int, Long>>{});
        EXPECT_EQ(f.NodeTable[0].Heard, f.BackColour) << tick; // never itself
        for (int j = 1; j < 4; ++j)
            ASSERT_EQ(f.NodeTable[j].Heard, Expected(f, frame, tick, delay[j]))
                << "station " << j << " tick " << tick;
    }
}

TEST(MediumSpace, ASendingStationHearsAnyArrivingSignalAsRed) {
    Form1 f;
    Open(f, "Space", " 4");
    const Long a0 = f.NodeTable[0].AddressColour, a1 = f.NodeTable[1].AddressColour;
    std::vector<Long> heard[4];
    for (int tick = 1; tick <= 14; ++tick) {
        std::vector<std::pair<int, Long>> out{{0, a0}};
        if (tick == 6) out.emplace_back(1, a1);
        Step(f, out);
        for (int j = 0; j < 4; ++j) heard[j].push_back(f.NodeTable[j].Heard);
    }
    const auto at = [&](int j, int tick) { return heard[j][tick - 1]; };
    EXPECT_EQ(at(1, 3), f.BackColour);
    EXPECT_EQ(at(1, 4), a0);
    EXPECT_EQ(at(1, 5), a0);
    EXPECT_EQ(at(1, 6), CollisionColour); // sending while station 0's signal arrives
    EXPECT_EQ(at(1, 7), a0);
    // Station 0 is itself sending when station 1's symbol reaches it (delay 3).
    for (int tick = 1; tick <= 14; ++tick)
        EXPECT_EQ(at(0, tick), tick == 9 ? CollisionColour : f.BackColour) << tick;
    // Station 2 hears both at once in tick 9 (delays 3 and 5), station 3 in tick 11.
    EXPECT_EQ(at(2, 8), a0);
    EXPECT_EQ(at(2, 9), CollisionColour);
    EXPECT_EQ(at(2, 10), a0);
    EXPECT_EQ(at(3, 9), a0);
    EXPECT_EQ(at(3, 11), CollisionColour);
}

TEST(MediumSpace, WideSpaceHidesOppositeStationsFromEachOther) {
    Form1 f;
    Open(f, "Wide Space", " 4");
    const Long a0 = f.NodeTable[0].AddressColour, a2 = f.NodeTable[2].AddressColour;
    for (int tick = 1; tick <= 20; ++tick) {
        Step(f, {{0, a0}, {2, a2}});
        // 4000 twips apart: out of range, so neither hears anything at all,
        // although both are sending.
        EXPECT_EQ(f.NodeTable[0].Heard, f.BackColour) << tick;
        EXPECT_EQ(f.NodeTable[2].Heard, f.BackColour) << tick;
        // Stations 1 and 3 are 2828 twips from each sender (delay 7).
        for (int j : {1, 3})
            EXPECT_EQ(f.NodeTable[j].Heard, tick >= 8 ? CollisionColour : f.BackColour)
                << "station " << j << " tick " << tick;
    }
}

TEST(MediumSpace, TwoSilentStationsOutOfRangeHearNothing) {
    Form1 f;
    Open(f, "Wide Space", " 4");
    const Long a0 = f.NodeTable[0].AddressColour;
    for (int tick = 1; tick <= 20; ++tick) {
        Step(f, {{0, a0}});
        EXPECT_EQ(f.NodeTable[2].Heard, f.BackColour) << tick;
        EXPECT_EQ(f.NodeTable[1].Heard, tick >= 8 ? a0 : f.BackColour) << tick;
    }
}

} // namespace
} // namespace maclab
