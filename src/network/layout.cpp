// Placing the stations and the medium for the current topology, and the
// geometry of every drawing cell that the tick animates.
#include <cmath>

#include "core/form1.h"

namespace maclab {

namespace {
constexpr double PiApprox = 3.1415926; // the layout's own value of pi

void PlaceButton(Control& button, const Control& shape, Long colour) {
    button.Left = Sng(shape.Left + 420.0 - 240.0);
    button.Top = Sng(shape.Top + 130.0);
    button.BackColor = colour;
    button.Visible = true;
}
} // namespace

void Form1::LayoutNetwork() {
    const double N = NodeCount;
    // Loops run over the stations that have controls; a count outside 0..24
    // never reaches here.
    int last = CInt(N - 1);
    if (last > StationControls - 1) last = StationControls - 1;
    const bool statusOn = chkStatus.Value == 1;
    const auto showLabels = [&](int i) {
        if (statusOn) {
            lblTxStatus[i].Visible = true;
            lblRxStatus[i].Visible = true;
            lblQueued[i].Visible = true;
        }
    };
    const auto placeLabelsRight = [&](int i) {
        const Control& shape = shpNode[i];
        lblTxStatus[i].Top = shape.Top;
        lblTxStatus[i].Left = Sng(shape.Left + 1200.0);
        lblRxStatus[i].Top = Sng(shape.Top + 360.0);
        lblRxStatus[i].Left = Sng(shape.Left + 1200.0);
        lblQueued[i].Top = Sng(shape.Top + 720.0);
        lblQueued[i].Left = Sng(shape.Left + 1200.0);
        showLabels(i);
    };

    if (Topology == TopoBus) {
        for (int k = 0; k <= 26; ++k) {
            BusX[k] = static_cast<Long>(Int(k * 8520.0 / 25 + 480));
            BusRight[k] = BackColour;
            BusLeft[k] = BackColour;
            BusShown[k] = BackColour;
        }
        for (int i = 0; i <= last; ++i) {
            Node& s = NodeTable[i];
            const int row = static_cast<int>(Mod(i, 2));
            Control& shape = shpNode[i];
            shape.Top = Sng(3580.0 + 1780.0 * row);
            shape.Visible = true;
            s.BusCell = CInt(Int((i + 0.5) * (7838 / N) / 341 + 0.5) + 1);
            const double x0 = (s.BusCell - 1) * 341.0;
            shape.Left = Sng(x0 + 480);
            Control& drop = lneDrop[i];
            drop.Visible = true;
            drop.X1 = Sng(x0 + 840);
            drop.X2 = Sng(x0 + 840);
            drop.Y1 = Sng(4230.0 + 600.0 * row);
            drop.Y2 = Sng(4790.0 + 600.0 * row);
            PlaceButton(cmdNode[i], shape, s.AddressColour);
            s.CellX[0] = CLng(shape.Left + 590.0 - 240.0);
            s.CellY[0] = CLng(shape.Top - 210.0 + 1020.0 * Mod(i + 1, 2));
            s.CellSize[0] = 11;
            if (shape.Top < Line1.Y1) {
                lblTxStatus[i].Top = Sng(shape.Top - 1080.0);
                lblRxStatus[i].Top = Sng(shape.Top - 720.0);
                lblQueued[i].Top = Sng(shape.Top - 360.0);
            } else {
                lblTxStatus[i].Top = Sng(shape.Top + 720.0);
                lblRxStatus[i].Top = Sng(shape.Top + 1080.0);
                lblQueued[i].Top = Sng(shape.Top + 1440.0);
            }
            lblTxStatus[i].Left = shape.Left;
            lblRxStatus[i].Left = shape.Left;
            lblQueued[i].Left = shape.Left;
            showLabels(i);
        }
        Shape1.Visible = false;
        Shape4[0].Visible = true;
        Shape4[1].Visible = true;
        Line1.Visible = true;
        PathLength = 1;
    } else if (Topology >= TopoStar && Topology <= TopoWideSpace) {
        // Common circle placement.
        for (int i = 0; i <= last; ++i) {
            const double theta = 2 * i * PiApprox / N;
            Control& shape = shpNode[i];
            shape.Left = Sng(4280 + 3840 * std::sin(theta));
            shape.Top = Sng(4540 - 3840 * std::cos(theta));
            PlaceButton(cmdNode[i], shape, NodeTable[i].AddressColour);
            shape.Visible = true;
        }
        if (Topology == TopoStar) {
            PathLength = 8;
            for (int i = 0; i <= last; ++i) {
                Node& s = NodeTable[i];
                const double theta = 2 * i * PiApprox / N;
                const double sn = std::sin(theta), cs = std::cos(theta);
                Control& drop = lneDrop[i];
                drop.Visible = true;
                drop.X1 = Sng(4620 + 460 * sn);
                drop.X2 = Sng(4620 + 3500 * sn);
                drop.Y1 = Sng(4860 - 460 * cs);
                drop.Y2 = Sng(4860 - 3500 * cs);
                const Control& shape = shpNode[i];
                for (int j = 0; j < PathLength; ++j) {
                    const double d = 3320.0 / PathLength * (j + 1);
                    s.CellX[j] = CLng(shape.Left + 360.0 - d * sn);
                    s.CellY[j] = CLng(d * cs + (shape.Top + 300.0));
                    s.CellSize[j] = 11;
                }
                placeLabelsRight(i);
            }
            HubColour = BackColour;
        }
        if (Topology == TopoSpace || Topology == TopoWideSpace) {
            PathLength = 9;
            const double r1 = Topology == TopoSpace ? 1000 : 2000;
            const double r2 = Topology == TopoSpace ? 2200 : 3200;
            for (int i = 0; i <= last; ++i) {
                Node& s = NodeTable[i];
                const double theta = 2 * i * PiApprox / N;
                const double sn = std::sin(theta), cs = std::cos(theta);
                lneDrop[i].Visible = false;
                Control& shape = shpNode[i];
                shape.Left = Sng(4280 + r1 * sn);
                shape.Top = Sng(4540 - r1 * cs);
                PlaceButton(cmdNode[i], shape, s.AddressColour);
                shape.Visible = true;
                for (int j = 0; j <= 8; ++j) {
                    s.CellX[j] = CLng(shape.Left + 600.0 - 240.0);
                    s.CellY[j] = CLng(shape.Top + 300.0);
                    s.CellSize[j] = static_cast<Integer>(30 + 20 * j);
                }
                lblTxStatus[i].Top = Sng(4540 - r2 * cs);
                lblTxStatus[i].Left = Sng(4140 + r2 * sn);
                lblRxStatus[i].Top = Sng(lblTxStatus[i].Top + 360.0);
                lblRxStatus[i].Left = lblTxStatus[i].Left;
                lblQueued[i].Top = Sng(lblTxStatus[i].Top + 720.0);
                lblQueued[i].Left = lblTxStatus[i].Left;
                showLabels(i);
            }
            Shape1.Visible = false;
            Line1.Visible = false;
            Shape4[0].Visible = false;
            Shape4[1].Visible = false;
        }
        if (Topology == TopoRing) {
            if (N < 6)
                PathLength = 7;
            else if (N < 8)
                PathLength = 6;
            else if (N < 10)
                PathLength = 5;
            else if (N < 12)
                PathLength = 4;
            else if (N < 15)
                PathLength = 3;
            else if (N < 18)
                PathLength = 2;
            else
                PathLength = 1;
            for (int i = 0; i <= last; ++i) {
                Node& s = NodeTable[i];
                const int next = CInt(static_cast<double>(Mod(i + 1, N)));
                const double phi = next == 0 ? (i + N) * PiApprox / N : (next + i) * PiApprox / N;
                const double cp = std::cos(phi), sp = std::sin(phi);
                const Control& shape = shpNode[i];
                const Control& nextShape = shpNode[next < StationControls ? next : 0];
                Control& link = lneDrop[i];
                link.Visible = true;
                link.X1 = Sng(shape.Left + 360.0 + 300 * cp);
                link.X2 = Sng(nextShape.Left + 360.0 - 300 * cp);
                link.Y1 = Sng(shape.Top + 300.0 + 300 * sp);
                link.Y2 = Sng(nextShape.Top + 300.0 - 300 * sp);
                const double dx = static_cast<double>(shape.Left) - nextShape.Left;
                const double dy = static_cast<double>(shape.Top) - nextShape.Top;
                const double L = CInt(std::sqrt(dx * dx + dy * dy) - 600);
                for (int j = 0; j < PathLength; ++j) {
                    s.CellX[j] = CLng(L / PathLength * (j + 1) * cp + (shape.Left + 360.0));
                    s.CellY[j] = CLng(L / PathLength * (j + 1) * sp + (shape.Top + 300.0));
                    s.CellSize[j] = 11;
                }
                for (int j = PathLength; j <= 24; ++j) {
                    s.CellX[j] = -300;
                    s.CellY[j] = -300;
                }
                placeLabelsRight(i);
            }
        }
        if (Topology == TopoStar || Topology == TopoRing) {
            Shape1.Visible = true;
            Shape4[0].Visible = false;
            Shape4[1].Visible = false;
            Line1.Visible = false;
        }
    }

    // Final pass, every topology.
    int first = CInt(N);
    if (first < 0) first = 0;
    for (int i = first; i <= StationControls - 1; ++i) {
        shpNode[i].Visible = false;
        lneDrop[i].Visible = false;
        cmdNode[i].Visible = false;
        lblTxStatus[i].Visible = false;
        lblRxStatus[i].Visible = false;
        lblQueued[i].Visible = false;
    }
    for (int i = 0; i < StationControls; ++i) {
        shpNode[i].BorderColor = NodeTable[i].DarkColour;
        shpNode[i].FillColor = NodeTable[i].AddressColour;
    }
}

} // namespace maclab
