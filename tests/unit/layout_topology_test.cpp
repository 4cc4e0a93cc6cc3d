// Placement of the stations and of the medium's drawing cells for every
// topology, checked against worked examples computed by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/form1.h"

namespace maclab {
namespace {

void Open(Form1& f, const char* topology, const char* nodes) {
    f.Form_Load();
    f.UserPick(f.cmbTopology, topology);
    f.UserPick(f.cmbNodes, nodes);
}

TEST(LayoutBus, SevenStationsSpreadAlongTheBusAboveAndBelow) {
    Form1 f;
    Open(f, "Bus", " 7");
    const int cells[7] = {3, 6, 9, 12, 16, 19, 22};
    const float lefts[7] = {1162, 2185, 3208, 4231, 5595, 6618, 7641};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE("station " + std::to_string(i));
        const bool upper = i % 2 == 0;
        const float top = upper ? 3580 : 5360;
        EXPECT_EQ(f.NodeTable[i].BusCell, cells[i]);
        EXPECT_EQ(f.shpNode[i].Left, lefts[i]);
        EXPECT_EQ(f.shpNode[i].Top, top);
        EXPECT_TRUE(f.shpNode[i].Visible);
        // The drop line stands beside the tapped bus cell.
        const float dropX = 499 + 341 * cells[i];
        EXPECT_EQ(f.lneDrop[i].X1, dropX);
        EXPECT_EQ(f.lneDrop[i].X2, dropX);
        EXPECT_EQ(f.lneDrop[i].Y1, upper ? 4230 : 4830);
        EXPECT_EQ(f.lneDrop[i].Y2, upper ? 4790 : 5390);
        EXPECT_TRUE(f.lneDrop[i].Visible);
        EXPECT_EQ(f.cmdNode[i].Left, lefts[i] + 180);
        EXPECT_EQ(f.cmdNode[i].Top, top + 130);
        EXPECT_EQ(f.cmdNode[i].BackColor, f.NodeTable[i].AddressColour);
        EXPECT_TRUE(f.cmdNode[i].Visible);
        EXPECT_EQ(f.NodeTable[i].CellX[0], static_cast<Long>(lefts[i]) + 350);
        EXPECT_EQ(f.NodeTable[i].CellY[0], upper ? 4390 : 5150);
        EXPECT_EQ(f.NodeTable[i].CellSize[0], 11);
        // Labels above the upper stations, below the lower ones.
        EXPECT_EQ(f.lblTxStatus[i].Top, upper ? top - 1080 : top + 720);
        EXPECT_EQ(f.lblRxStatus[i].Top, upper ? top - 720 : top + 1080);
        EXPECT_EQ(f.lblQueued[i].Top, upper ? top - 360 : top + 1440);
        EXPECT_EQ(f.lblQueued[i].Left, lefts[i]);
    }
    EXPECT_EQ(f.PathLength, 1);
    EXPECT_TRUE(f.Line1.Visible);
    EXPECT_TRUE(f.Shape4[0].Visible);
    EXPECT_TRUE(f.Shape4[1].Visible);
    EXPECT_FALSE(f.Shape1.Visible);
    for (int i = 7; i < 24; ++i) EXPECT_FALSE(f.shpNode[i].Visible) << i;
}

TEST(LayoutBus, BusCellPositions) {
    Form1 f;
    Open(f, "Bus", " 7");
    EXPECT_EQ(f.BusX[0], 480);
    EXPECT_EQ(f.BusX[1], 820);
    EXPECT_EQ(f.BusX[2], 1161);
    EXPECT_EQ(f.BusX[25], 9000);
    EXPECT_EQ(f.BusX[26], 9340);
    for (int k = 1; k <= 26; ++k) {
        const Long step = f.BusX[k] - f.BusX[k - 1];
        EXPECT_TRUE(step == 340 || step == 341) << k;
    }
}

TEST(LayoutBus, FullAndSmallestBus) {
    Form1 f;
    Open(f, "Bus", " 24");
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(f.NodeTable[i].BusCell, i + 1) << i;
        EXPECT_TRUE(f.cmdNode[i].Visible) << i;
    }
    EXPECT_EQ(f.shpNode[0].Left, 480);
    EXPECT_EQ(f.shpNode[23].Left, 8323);
    f.UserPick(f.cmbNodes, " 2");
    EXPECT_EQ(f.NodeTable[0].BusCell, 7);
    EXPECT_EQ(f.NodeTable[1].BusCell, 18);
    for (int i = 2; i < 24; ++i) {
        EXPECT_FALSE(f.shpNode[i].Visible) << i;
        EXPECT_FALSE(f.cmdNode[i].Visible) << i;
        EXPECT_FALSE(f.lneDrop[i].Visible) << i;
    }
}

TEST(LayoutStar, FourStationsAndTheirSpokes) {
    Form1 f;
    Open(f, "Star", " 4");
    const float left[4] = {4280, 8120, 4280, 440};
    const float top[4] = {700, 4540, 8380, 4540};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(f.shpNode[i].Left, left[i], 0.001) << i;
        EXPECT_NEAR(f.shpNode[i].Top, top[i], 0.001) << i;
        EXPECT_TRUE(f.lneDrop[i].Visible);
        EXPECT_EQ(f.lblTxStatus[i].Left, f.shpNode[i].Left + 1200);
        EXPECT_EQ(f.lblRxStatus[i].Top, f.shpNode[i].Top + 360);
        EXPECT_EQ(f.lblQueued[i].Top, f.shpNode[i].Top + 720);
    }
    EXPECT_EQ(f.PathLength, 8);
    // Station 0's spoke runs straight down toward the hub, 415 twips a cell.
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(f.NodeTable[0].CellX[j], 4640) << j;
        EXPECT_EQ(f.NodeTable[0].CellY[j], 1000 + 415 * (j + 1)) << j;
        EXPECT_EQ(f.NodeTable[0].CellSize[j], 11);
    }
    EXPECT_EQ(f.NodeTable[0].CellY[7], 4320);
    // Station 1's runs left toward the hub.
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(f.NodeTable[1].CellX[j], 8480 - 415 * (j + 1)) << j;
        EXPECT_EQ(f.NodeTable[1].CellY[j], 4840) << j;
    }
    EXPECT_NEAR(f.lneDrop[1].X1, 5080, 0.01);
    EXPECT_NEAR(f.lneDrop[1].X2, 8120, 0.01);
    EXPECT_NEAR(f.lneDrop[0].Y1, 4400, 0.01);
    EXPECT_NEAR(f.lneDrop[0].Y2, 1360, 0.01);
    EXPECT_TRUE(f.Shape1.Visible);
    EXPECT_FALSE(f.Line1.Visible);
    EXPECT_FALSE(f.Shape4[0].Visible);
    EXPECT_EQ(f.HubColour, f.BackColour);
}

TEST(LayoutRing, TwoStationsAreJoinedBothWays) {
    Form1 f;
    Open(f, "Ring", " 2");
    EXPECT_EQ(f.PathLength, 7);
    // Station 0 at the top, station 1 at the bottom; each link runs from one
    // centre toward the other, 300 twips clear of each.
    EXPECT_NEAR(f.lneDrop[0].X1, 4640, 0.01);
    EXPECT_NEAR(f.lneDrop[0].Y1, 1300, 0.01);
    EXPECT_NEAR(f.lneDrop[0].X2, 4640, 0.01);
    EXPECT_NEAR(f.lneDrop[0].Y2, 8380, 0.01);
    EXPECT_NEAR(f.lneDrop[1].X1, 4640, 0.01);
    EXPECT_NEAR(f.lneDrop[1].Y1, 8380, 0.01);
    EXPECT_NEAR(f.lneDrop[1].X2, 4640, 0.01);
    EXPECT_NEAR(f.lneDrop[1].Y2, 1300, 0.01);
    // The cells: the link is 7680 - 600 = 7080 twips long, cut into seven.
    for (int j = 0; j < 7; ++j) {
        EXPECT_EQ(f.NodeTable[0].CellX[j], 4640) << j;
        EXPECT_EQ(f.NodeTable[0].CellY[j], CLng(1000 + 7080.0 / 7 * (j + 1))) << j;
        EXPECT_EQ(f.NodeTable[1].CellY[j], CLng(8680 - 7080.0 / 7 * (j + 1))) << j;
    }
    EXPECT_EQ(f.NodeTable[0].CellY[6], 8080); // 600 short of station 1's centre
    EXPECT_EQ(f.NodeTable[1].CellY[6], 1600);
    for (int j = 7; j <= 24; ++j) {
        EXPECT_EQ(f.NodeTable[0].CellX[j], -300);
        EXPECT_EQ(f.NodeTable[1].CellY[j], -300);
    }
    EXPECT_TRUE(f.Shape1.Visible);
}

TEST(LayoutRing, PathLengthByNodeCount) {
    Form1 f;
    Open(f, "Ring", " 2");
    const int expected[25] = {0, 0, 7, 7, 7, 7, 6, 6, 5, 5, 4, 4, 3,
                              3, 3, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1};
    for (int n = 2; n <= 24; ++n) {
        f.UserPick(f.cmbNodes, Str(n));
        EXPECT_EQ(f.PathLength, expected[n]) << n;
    }
    for (int n = 18; n <= 24; ++n) {
        f.UserPick(f.cmbNodes, Str(n));
        for (int i = 0; i < n; ++i)
            for (int j = 1; j <= 24; ++j) {
                ASSERT_EQ(f.NodeTable[i].CellX[j], -300) << n << " " << i << " " << j;
                ASSERT_EQ(f.NodeTable[i].CellY[j], -300) << n << " " << i << " " << j;
            }
    }
}

TEST(LayoutRing, LinksPointFromEachStationTowardTheNext) {
    Form1 f;
    Open(f, "Ring", " 9");
    for (int i = 0; i < 9; ++i) {
        const int next = (i + 1) % 9;
        const double cx = f.shpNode[i].Left + 360.0, cy = f.shpNode[i].Top + 300.0;
        const double nx = f.shpNode[next].Left + 360.0, ny = f.shpNode[next].Top + 300.0;
        const double len = std::hypot(nx - cx, ny - cy);
        // Both ends lie on the segment between the centres, 300 twips in.
        EXPECT_NEAR(f.lneDrop[i].X1, cx + (nx - cx) * 300 / len, 1.0) << i;
        EXPECT_NEAR(f.lneDrop[i].Y1, cy + (ny - cy) * 300 / len, 1.0) << i;
        EXPECT_NEAR(f.lneDrop[i].X2, nx - (nx - cx) * 300 / len, 1.0) << i;
        EXPECT_NEAR(f.lneDrop[i].Y2, ny - (ny - cy) * 300 / len, 1.0) << i;
        // The last cell is 600 twips short of the next station's centre.
        const int L = f.PathLength;
        const double lx = f.NodeTable[i].CellX[L - 1], ly = f.NodeTable[i].CellY[L - 1];
        EXPECT_NEAR(std::hypot(nx - lx, ny - ly), 600, 2.0) << i;
    }
}

TEST(LayoutSpace, ConcentricCellsAroundEachStation) {
    for (const char* topo : {"Space", "Wide Space"}) {
        SCOPED_TRACE(topo);
        Form1 f;
        Open(f, topo, " 4");
        const double r1 = std::string(topo) == "Space" ? 1000 : 2000;
        const double r2 = std::string(topo) == "Space" ? 2200 : 3200;
        EXPECT_EQ(f.PathLength, 9);
        const float left[4] = {4280, static_cast<float>(4280 + r1), 4280,
                               static_cast<float>(4280 - r1)};
        const float top[4] = {static_cast<float>(4540 - r1), 4540, static_cast<float>(4540 + r1),
                              4540};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(f.shpNode[i].Left, left[i], 0.001) << i;
            EXPECT_NEAR(f.shpNode[i].Top, top[i], 0.001) << i;
            EXPECT_FALSE(f.lneDrop[i].Visible);
            EXPECT_TRUE(f.cmdNode[i].Visible);
            EXPECT_NEAR(f.cmdNode[i].Left, left[i] + 180, 0.001);
            for (int j = 0; j <= 8; ++j) {
                EXPECT_EQ(f.NodeTable[i].CellX[j], CLng(left[i] + 360.0)) << j;
                EXPECT_EQ(f.NodeTable[i].CellY[j], CLng(top[i] + 300.0)) << j;
                EXPECT_EQ(f.NodeTable[i].CellSize[j], 30 + 20 * j) << j;
            }
        }
        EXPECT_NEAR(f.lblTxStatus[0].Top, 4540 - r2, 0.001);
        EXPECT_NEAR(f.lblTxStatus[0].Left, 4140, 0.001);
        EXPECT_NEAR(f.lblTxStatus[1].Left, 4140 + r2, 0.001);
        EXPECT_NEAR(f.lblRxStatus[1].Top, 4540 + 360, 0.001);
        EXPECT_NEAR(f.lblQueued[1].Top, 4540 + 720, 0.001);
        EXPECT_FALSE(f.Shape1.Visible);
        EXPECT_FALSE(f.Line1.Visible);
        EXPECT_FALSE(f.Shape4[0].Visible);
        EXPECT_FALSE(f.Shape4[1].Visible);
    }
}

TEST(LayoutCommon, ShrinkingTheNetworkHidesTheStationsLeftOver) {
    Form1 f;
    Open(f, "Ring", " 10");
    f.UserToggle(f.chkStatus);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(f.lblTxStatus[i].Visible) << i;
    f.UserPick(f.cmbNodes, " 7");
    for (int i = 7; i < 10; ++i) {
        EXPECT_FALSE(f.shpNode[i].Visible) << i;
        EXPECT_FALSE(f.lneDrop[i].Visible) << i;
        EXPECT_FALSE(f.cmdNode[i].Visible) << i;
        EXPECT_FALSE(f.lblTxStatus[i].Visible) << i;
        EXPECT_FALSE(f.lblRxStatus[i].Visible) << i;
        EXPECT_FALSE(f.lblQueued[i].Visible) << i;
    }
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(f.lblQueued[i].Visible) << i;
}

TEST(LayoutCommon, LabelsOfNewStationsFollowTheStatusToggle) {
    Form1 f;
    Open(f, "Star", " 4");
    f.UserPick(f.cmbNodes, " 8");
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(f.lblTxStatus[i].Visible) << i;
    f.UserToggle(f.chkStatus);
    f.UserPick(f.cmbNodes, " 12");
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(f.lblRxStatus[i].Visible) << i;
    // Shapes take their palette colours in every layout.
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(f.shpNode[i].FillColor, f.NodeTable[i].AddressColour) << i;
        EXPECT_EQ(f.shpNode[i].BorderColor, f.NodeTable[i].DarkColour) << i;
    }
}

TEST(LayoutCommon, EmptyNetworkLaysOutNoStation) {
    Form1 f;
    Open(f, "Ring", " 5");
    f.UserEdit(f.cmbNodes, "");
    EXPECT_EQ(f.NodeCount, 0);
    EXPECT_EQ(f.PathLength, 7);
    for (int i = 0; i < 24; ++i) EXPECT_FALSE(f.shpNode[i].Visible) << i;
    f.Timer1_Timer(); // nothing to step, nothing to move
    EXPECT_EQ(f.TickCount, 1);
}

} // namespace
} // namespace maclab
