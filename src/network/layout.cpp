// Placing the stations and the medium for the current topology, and the
// geometry of every drawing cell that the tick animates.
#include <cmath>

#include "core/form1.h"
#include "core/view_colours.h"

namespace maclab {

namespace {
constexpr double PiApprox = 3.1415926; // the layout's own value of pi

void PlaceButton(Control& button, const Control& shape, Long colour) {
    button.Left = Sng(shape.Left + 420.0 - 240.0);
    button.Top = Sng(shape.Top + 130.0);
    button.BackColor = colour;
    button.ForeColor = ReadableOn(colour); // the station's number on it
    button.Visible = true;
}

// The status labels of a station are shown with it while status display is on.
void ShowLabelsIfOn(Form1& f, int i) {
    if (f.Settings.StatusShown != 1) return;
    for (Control* label : f.StatusLabels(i)) label->Visible = true;
}

// The three status labels stacked from `top`, 360 twips apart, at `left`.
void StackLabels(Form1& f, int i, double left, double top) {
    double y = top;
    for (Control* label : f.StatusLabels(i)) {
        label->Left = Sng(left);
        label->Top = Sng(y);
        y += 360.0;
    }
}

// Star and Ring: the stations on a circle around the centre of the picture.
void PlaceOnCircle(Form1& f, int last) {
    for (int i = 0; i <= last; ++i) {
        const double theta = 2 * i * PiApprox / f.NodeCount;
        Control& shape = f.shpNode[i];
        shape.Left = Sng(4280 + 3840 * std::sin(theta));
        shape.Top = Sng(4540 - 3840 * std::cos(theta));
        PlaceButton(f.cmdNode[i], shape, f.NodeTable[i].AddressColour);
        shape.Visible = true;
    }
}

// The labels to the right of the station's shape.
void LabelsRight(Form1& f, int i) {
    const Control& shape = f.shpNode[i];
    StackLabels(f, i, shape.Left + 1200.0, shape.Top);
    ShowLabelsIfOn(f, i);
}

void ShowDecorations(Form1& f, bool bus, bool hub) {
    f.Line1.Visible = bus;
    f.Shape4[0].Visible = bus;
    f.Shape4[1].Visible = bus;
    f.Shape1.Visible = hub;
}
} // namespace

void Form1::LayoutNetwork() {
    Resting = false;
    // Loops run over the stations that have controls; a count outside 0..24
    // never reaches here.
    int last = CInt(NodeCount - 1);
    if (last > StationControls - 1) last = StationControls - 1;
    switch (Topology) {
    case TopoBus:
        LayoutBus(last);
        break;
    case TopoStar:
        LayoutStar(last);
        break;
    case TopoRing:
        LayoutRing(last);
        break;
    case TopoSpace:
    case TopoWideSpace:
        LayoutSpace(last);
        break;
    default:
        break;
    }

    // Final pass, every topology.
    int first = CInt(NodeCount);
    if (first < 0) first = 0;
    for (int i = first; i <= StationControls - 1; ++i) {
        shpNode[i].Visible = false;
        lneDrop[i].Visible = false;
        cmdNode[i].Visible = false;
        for (Control* label : StatusLabels(i)) label->Visible = false;
    }
    for (int i = 0; i < StationControls; ++i) {
        shpNode[i].BorderColor = NodeTable[i].DarkColour;
        shpNode[i].FillColor = NodeTable[i].AddressColour;
    }
}

// Stations in two rows on either side of the bus, each tapping its own cell.
void Form1::LayoutBus(int last) {
    const double N = NodeCount;
    for (int k = 0; k < BusCells; ++k) {
        BusX[k] = static_cast<Long>(Int(k * 8520.0 / (LastBusCell - 1) + 480));
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
        // Above the bus the labels stand over the station, below it under it.
        StackLabels(*this, i, shape.Left,
                    shape.Top < Line1.Y1 ? shape.Top - 1080.0 : shape.Top + 720.0);
        ShowLabelsIfOn(*this, i);
    }
    ShowDecorations(*this, true, false);
    PathLength = 1;
}

// A spoke of PathLength cells from every station to the hub in the middle.
void Form1::LayoutStar(int last) {
    PlaceOnCircle(*this, last);
    PathLength = 8;
    for (int i = 0; i <= last; ++i) {
        Node& s = NodeTable[i];
        const double theta = 2 * i * PiApprox / NodeCount;
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
        LabelsRight(*this, i);
    }
    HubColour = BackColour;
    ShowDecorations(*this, false, true);
}

// A link of PathLength cells from every station to the next one around.
void Form1::LayoutRing(int last) {
    const double N = NodeCount;
    PlaceOnCircle(*this, last);
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
        // Cells past the link are parked off the picture.
        for (int j = PathLength; j < PathCells; ++j) {
            s.CellX[j] = -300;
            s.CellY[j] = -300;
        }
        LabelsRight(*this, i);
    }
    ShowDecorations(*this, false, true);
}

// Space and Wide Space: stations on a circle (a wider one for Wide Space),
// each a radio whose signal spreads in growing rings of nine cells.
void Form1::LayoutSpace(int last) {
    PathLength = 9;
    const double r1 = Topology == TopoSpace ? 1000 : 2000;
    const double r2 = Topology == TopoSpace ? 2200 : 3200;
    for (int i = 0; i <= last; ++i) {
        Node& s = NodeTable[i];
        const double theta = 2 * i * PiApprox / NodeCount;
        const double sn = std::sin(theta), cs = std::cos(theta);
        lneDrop[i].Visible = false;
        Control& shape = shpNode[i];
        shape.Left = Sng(4280 + r1 * sn);
        shape.Top = Sng(4540 - r1 * cs);
        PlaceButton(cmdNode[i], shape, s.AddressColour);
        shape.Visible = true;
        for (int j = 0; j < PathLength; ++j) {
            s.CellX[j] = CLng(shape.Left + 600.0 - 240.0);
            s.CellY[j] = CLng(shape.Top + 300.0);
            s.CellSize[j] = static_cast<Integer>(30 + 20 * j);
        }
        StackLabels(*this, i, 4140 + r2 * sn, Sng(4540 - r2 * cs));
        ShowLabelsIfOn(*this, i);
    }
    ShowDecorations(*this, false, false);
}

} // namespace maclab
