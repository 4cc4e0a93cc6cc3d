// What the tick paints: rings only where a cell's colour changed, erased rings
// repaired underneath (bus bar, end pieces, drop lines, hub), and nothing at
// all on an idle network.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/form1.h"
#include "support/medium_driver.h"
#include "support/recording_surface.h"

namespace maclab {
namespace {

using testing::RecordingSurface;
using Kind = RecordingSurface::Kind;

using testing::Open;
using testing::Step;

// Station i sends a frame of `length` symbols: address, data, end marker.
std::vector<Long> Frame(const Form1& f, int i, int length) {
    std::vector<Long> frame{f.NodeTable[i].AddressColour};
    while (static_cast<int>(frame.size()) < length - 1) frame.push_back(f.NodeTable[i].DataColour);
    frame.push_back(EndMarker);
    return frame;
}

TEST(DrawingBus, APassingFrameLeavesNoTrace) {
    Form1 f;
    RecordingSurface surface;
    f.SetSurface(&surface);
    Open(f, "Bus", " 7");
    const Long shapeBack = f.Shape4[0].BackColor, shapeBorder = f.Shape4[0].BorderColor;
    surface.Reset();
    const auto frame = Frame(f, 3, 6);
    for (int tick = 0; tick < 60; ++tick)
        Step(f, tick < 6 ? std::vector<std::pair<int, Long>>{{3, frame[tick]}}
                         : std::vector<std::pair<int, Long>>{});
    const auto& calls = surface.calls;
    // Every bus cell was lit and is erased at the end.
    for (int c = 0; c <= 25; ++c) {
        const auto rings = surface.RingsAt(f.BusX[c], 4800);
        ASSERT_GE(rings.size(), 2u) << c;
        EXPECT_EQ(rings.back().colour, f.BackColour) << c;
        for (const auto& r : rings) EXPECT_EQ(r.size, 11);
        EXPECT_EQ(f.BusShown[c], f.BackColour);
    }
    // Each erasure of a bus cell is followed at once by the black bar under
    // it, and at the two end cells by a repaint of the end piece there.
    int endRepaints[2] = {0, 0};
    for (std::size_t k = 0; k < calls.size(); ++k) {
        const auto& c = calls[k];
        if (c.kind == Kind::Repaint && c.target == RepaintTarget::EndPiece) ++endRepaints[c.index];
        if (c.kind != Kind::Ring || c.y != 4800 || c.colour != f.BackColour) continue;
        ASSERT_LT(k + 1, calls.size());
        EXPECT_EQ(calls[k + 1].kind, Kind::BusSegment);
        EXPECT_EQ(calls[k + 1].x, c.x);
        EXPECT_EQ(calls[k + 1].y, 4800);
        if (c.x == f.BusX[0]) {
            EXPECT_TRUE(calls[k + 2].IsRepaint(RepaintTarget::EndPiece, 1));
        }
        if (c.x == f.BusX[25]) {
            EXPECT_TRUE(calls[k + 2].IsRepaint(RepaintTarget::EndPiece, 0));
        }
    }
    EXPECT_EQ(endRepaints[0], 1);
    EXPECT_EQ(endRepaints[1], 1);
    EXPECT_EQ(surface.Count(Kind::BusSegment), 26u); // once per cell: the frame went by once
    EXPECT_EQ(f.Shape4[0].BackColor, shapeBack);
    EXPECT_EQ(f.Shape4[1].BorderColor, shapeBorder);
    // Every tap ring was lit and is erased too, with its drop line repaired.
    for (int i = 0; i < 7; ++i) {
        const Node& s = f.NodeTable[i];
        const auto rings = surface.RingsAt(s.CellX[0], s.CellY[0]);
        ASSERT_FALSE(rings.empty()) << i;
        EXPECT_EQ(rings.back().colour, f.BackColour) << i;
        EXPECT_EQ(s.CellShown[0], f.BackColour) << i;
        EXPECT_GE(surface.RepaintCount(RepaintTarget::DropLine, i), 1u) << i;
    }
    for (const auto& c : calls) EXPECT_NE(c.colour, CollisionColour);
    // Nothing more is drawn once the bus is quiet.
    surface.Reset();
    for (int tick = 0; tick < 10; ++tick) Step(f);
    EXPECT_TRUE(surface.calls.empty());
}

TEST(DrawingBus, TheSenderTapShowsItsOwnSymbolsThenWhatComesBack) {
    Form1 f;
    RecordingSurface surface;
    f.SetSurface(&surface);
    Open(f, "Bus", " 7");
    const Node& s = f.NodeTable[3];
    const Long a3 = s.AddressColour, d3 = s.DataColour;
    surface.Reset();
    Step(f, {{3, a3}});
    auto rings = surface.RingsAt(s.CellX[0], s.CellY[0]);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].colour, a3);
    Step(f, {{3, a3}}); // already shown: nothing new
    EXPECT_EQ(surface.RingsAt(s.CellX[0], s.CellY[0]).size(), 1u);
    Step(f, {{3, d3}});
    Step(f, {{3, d3}}); // the address comes back from the bus now: rule 5
    rings = surface.RingsAt(s.CellX[0], s.CellY[0]);
    ASSERT_EQ(rings.size(), 3u);
    EXPECT_EQ(rings[1].colour, d3);
    EXPECT_EQ(rings[2].colour, a3);
    // An end marker two cells down the drop line clears the tap ring.
    Step(f, {{3, EndMarker}});
    Step(f);
    surface.Reset();
    Step(f);
    rings = surface.RingsAt(s.CellX[0], s.CellY[0]);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].colour, f.BackColour);
    EXPECT_EQ(surface.RepaintCount(RepaintTarget::DropLine, 3), 1u);
}

TEST(DrawingBus, RedArrivingAtATapIsShownOnceAndWins) {
    Form1 f;
    RecordingSurface surface;
    f.SetSurface(&surface);
    Open(f, "Bus", " 7");
    const Long a0 = f.NodeTable[0].AddressColour, a2 = f.NodeTable[2].AddressColour;
    const Node& mid = f.NodeTable[1];
    surface.Reset();
    for (int tick = 0; tick < 12; ++tick) Step(f, {{0, a0}, {2, a2}, {1, mid.AddressColour}});
    const auto rings = surface.RingsAt(mid.CellX[0], mid.CellY[0]);
    int red = 0;
    for (const auto& r : rings) red += r.colour == CollisionColour;
    EXPECT_EQ(red, 1);
    EXPECT_EQ(rings.back().colour, CollisionColour);
    EXPECT_EQ(mid.CellShown[0], CollisionColour);
}

TEST(DrawingStar, SpokesShowTheSignalBothWaysAndRedWhereTheyPass) {
    Form1 f;
    RecordingSurface surface;
    f.SetSurface(&surface);
    Open(f, "Star", " 4");
    const Node& s2 = f.NodeTable[2];
    const Long a0 = f.NodeTable[0].AddressColour, a2 = s2.AddressColour;
    surface.Reset();
    std::vector<int> firstRedTick(8, 0);
    for (int tick = 1; tick <= 60; ++tick) {
        std::vector<std::pair<int, Long>> out;
        if (tick <= 30) out.emplace_back(0, a0);
        if (tick >= 12 && tick <= 21) out.emplace_back(2, a2);
        Step(f, out);
        for (int k = 0; k < 8; ++k)
            if (!firstRedTick[k] && s2.CellShown[k] == CollisionColour) firstRedTick[k] = tick;
        if (tick == 11) {
            // Station 0's signal coming out of the hub fills cells 7..5 of
            // station 2's spoke; its own spoke shows its own signal.
            for (int k = 0; k < 8; ++k) {
                EXPECT_EQ(s2.CellShown[k], k >= 5 ? a0 : f.BackColour) << k;
                EXPECT_EQ(f.NodeTable[0].CellShown[k], a0) << k;
            }
        }
        if (tick == 13) {
            EXPECT_EQ(s2.CellShown[0], a2);
            EXPECT_EQ(s2.CellShown[1], a2);
            EXPECT_EQ(s2.CellShown[2], f.BackColour);
            EXPECT_EQ(s2.CellShown[3], a0);
        }
    }
    // Outgoing cells 0..k and incoming cells k..7 meet in cell 2 in tick 14,
    // then overlap further out and further in.
    EXPECT_EQ(firstRedTick[2], 14);
    EXPECT_EQ(firstRedTick[1], 15);
    EXPECT_EQ(firstRedTick[3], 15);
    const auto red = surface.RingsAt(s2.CellX[2], s2.CellY[2]);
    bool drewRed = false;
    for (const auto& r : red) drewRed |= r.colour == CollisionColour && r.size == s2.CellSize[2];
    EXPECT_TRUE(drewRed);
    // All quiet again: every spoke cell was erased.
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(f.NodeTable[i].CellShown[k], f.BackColour) << i << " " << k;
            const auto rings = surface.RingsAt(f.NodeTable[i].CellX[k], f.NodeTable[i].CellY[k]);
            ASSERT_FALSE(rings.empty()) << i << " " << k;
            EXPECT_EQ(rings.back().colour, f.BackColour) << i << " " << k;
        }
}

TEST(DrawingStar, HubIsRepaintedTwoTicksAfterItFallsSilent) {
    Form1 f;
    RecordingSurface surface;
    f.SetSurface(&surface);
    Open(f, "Star", " 4");
    for (int tick = 0; tick < 5; ++tick) Step(f); // the hub's history is silence
    surface.Reset();
    std::vector<int> repaintTicks;
    for (int tick = 1; tick <= 20; ++tick) {
        const std::size_t before = surface.RepaintCount(RepaintTarget::Hub, 0);
        Step(f, tick <= 3 ? std::vector<std::pair<int, Long>>{{1, f.NodeTable[1].AddressColour}}
                          : std::vector<std::pair<int, Long>>{});
        if (surface.RepaintCount(RepaintTarget::Hub, 0) > before) repaintTicks.push_back(tick);
    }
    // The hub carries the three symbols in ticks 9..11 and is silent from 12.
    EXPECT_EQ(repaintTicks, std::vector<int>{13});
    EXPECT_EQ(f.Shape1.BorderColor, 0);
}

TEST(DrawingRingAndSpace, CellsFollowThePathAndTheLastCellIsNeverDrawn) {
    for (const char* topo : {"Ring", "Space", "Wide Space"}) {
        SCOPED_TRACE(topo);
        Form1 f;
        RecordingSurface surface;
        f.SetSurface(&surface);
        Open(f, topo, " 5");
        const Node& s = f.NodeTable[1];
        const int L = f.PathLength;
        surface.Reset();
        std::vector<std::vector<std::pair<int, Long>>> perTick;
        for (int tick = 1; tick <= L + 5; ++tick) {
            const std::size_t before = surface.calls.size();
            Step(f, tick == 1 ? std::vector<std::pair<int, Long>>{{1, s.AddressColour}}
                              : std::vector<std::pair<int, Long>>{});
            // In tick t the symbol is drawn in cell t - 1 and erased from cell t - 2.
            std::vector<std::pair<int, Long>> drawn;
            for (std::size_t k = before; k < surface.calls.size(); ++k) {
                const auto& c = surface.calls[k];
                ASSERT_EQ(c.kind, Kind::Ring);
                int cell = -1;
                for (int j = 0; j < L; ++j)
                    if (c.x == s.CellX[j] && c.y == s.CellY[j] && c.size == s.CellSize[j]) cell = j;
                ASSERT_GE(cell, 0) << "ring outside station 1's cells";
                drawn.emplace_back(cell, c.colour);
            }
            std::vector<std::pair<int, Long>> want;
            if (tick - 2 >= 0 && tick - 2 < L) want.emplace_back(tick - 2, f.BackColour);
            if (tick - 1 < L) want.emplace_back(tick - 1, s.AddressColour);
            std::sort(drawn.begin(), drawn.end());
            EXPECT_EQ(drawn, want) << "tick " << tick;
        }
    }
}

TEST(DrawingIdle, AnIdleNetworkDrawsNothing) {
    for (const char* topo : {"Bus", "Star", "Ring", "Space", "Wide Space"}) {
        SCOPED_TRACE(topo);
        Form1 f;
        RecordingSurface surface;
        f.SetSurface(&surface);
        Open(f, topo, " 9");
        for (int t = 0; t < 3; ++t) f.Timer1_Timer();
        surface.Reset();
        for (int t = 0; t < 200; ++t) f.Timer1_Timer();
        EXPECT_TRUE(surface.calls.empty()) << surface.calls.size() << " calls";
    }
}

} // namespace
} // namespace maclab
