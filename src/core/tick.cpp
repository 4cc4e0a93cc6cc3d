// One tick of the simulation and the medium model of every topology.
#include <cmath>
#include <limits>

#include "core/form1.h"

namespace maclab {

void Form1::Timer1_Timer() {
    // The count stops at its largest value rather than wrapping (248 days at
    // the fastest speed); slots and refreshes then simply stay where they are.
    if (TickCount < std::numeric_limits<Long>::max()) TickCount = TickCount + 1;
    Label2.Caption = Running ? "True" : "False";
    if (Mod(TickCount, 10) == 0) RefreshStatistics();
    const int n = ActiveStations();
    for (int i = 0; i < n; ++i) StepNode(static_cast<Integer>(i));
    MediumStep();
    if (Running) RandomArrivals();
}

// The medium step of the current topology, drawing included.
void Form1::MediumStep() {
    switch (Topology) {
    case TopoBus:
        MediumBus();
        break;
    case TopoStar:
        MediumStar();
        break;
    case TopoRing:
        MediumRing();
        break;
    case TopoSpace:
    case TopoWideSpace:
        MediumSpace();
        break;
    default:
        break;
    }
}

// Two lanes of cells; each station's drop line feeds the right-going lane at its
// own cell and, one tick later, the left-going lane one cell to the left.
void Form1::MediumBus() {
    const int n = ActiveStations();
    for (int i = 0; i < n; ++i) {
        Node& s = NodeTable[i];
        s.OutPath[2] = s.OutPath[1];
        s.OutPath[1] = s.OutPath[0];
        s.OutPath[0] = s.Output;
    }
    for (int i = 0; i < n; ++i) {
        Node& s = NodeTable[i];
        s.Heard = s.InPath[0];
        s.InPath[0] = BusShown[s.BusCell];
    }
    for (int c = 0; c < LastBusCell; ++c) {
        BusLeft[c] = BusLeft[c + 1];
        BusRight[LastBusCell - c] = BusRight[LastBusCell - 1 - c];
    }
    for (int i = 0; i < n; ++i) {
        const Node& s = NodeTable[i];
        const int c = s.BusCell;
        if (s.OutPath[1] != BackColour)
            BusRight[c] = BusRight[c] == BackColour ? s.OutPath[1] : CollisionColour;
        if (s.OutPath[2] != BackColour && c >= 1)
            BusLeft[c - 1] = BusLeft[c - 1] == BackColour ? s.OutPath[2] : CollisionColour;
    }
    for (int c = 0; c < LastBusCell; ++c) {
        const bool left = BusLeft[c] != BackColour;
        const bool right = BusRight[c] != BackColour;
        Long shown = BackColour;
        if (left && right)
            shown = CollisionColour;
        else if (left)
            shown = BusLeft[c];
        else if (right)
            shown = BusRight[c];
        if (shown == BusShown[c]) continue;
        BusShown[c] = shown;
        DrawRing(BusX[c], 4800, 11, shown);
        if (shown == BackColour) {
            DrawBusSegment(BusX[c], 4800);
            if (c == 0) RepaintEndPiece(1);
            if (c == LastBusCell - 1) RepaintEndPiece(0);
        }
    }
    for (int i = 0; i < n; ++i) DrawBusTap(i);
}

// Each station has a spoke of PathLength cells to the hub, which forwards a
// lone arriving signal to every other spoke and red to all when several arrive.
void Form1::MediumStar() {
    const int n = ActiveStations();
    const int L = PathLength;
    if (L < 1) return;
    int count = 0;
    Long candidate = BackColour;
    Integer source = -1;
    for (int i = 0; i < n; ++i) {
        Node& s = NodeTable[i];
        s.InPath[L - 1] = (i == HubSource) ? BackColour : HubColour;
        if (s.OutPath[L - 1] != BackColour) {
            ++count;
            candidate = s.OutPath[L - 1];
            source = static_cast<Integer>(i);
        }
    }
    if (count >= 2) {
        HubColour = CollisionColour;
        HubSource = -1;
    } else {
        HubColour = candidate;
        HubSource = source;
    }
    if (HubColourPrev2 != BackColour && HubColourPrev == BackColour) RepaintHub();
    HubColourPrev2 = HubColourPrev;
    HubColourPrev = HubColour;
    for (int i = 0; i < n; ++i) {
        Node& s = NodeTable[i];
        for (int k = L - 1; k >= 1; --k) s.OutPath[k] = s.OutPath[k - 1];
        s.OutPath[0] = s.Output;
        s.Heard = s.InPath[0];
        for (int k = 0; k <= L - 2; ++k) s.InPath[k] = s.InPath[k + 1];
        if (i != HubSource) s.InPath[L - 1] = HubColour;
    }
    for (int i = 0; i < n; ++i) DrawStarSpokes(i);
}

namespace {
// Ring and radio paths: every symbol moves one cell out and the station's
// output enters cell 0; cell L holds what leaves the end.
void AdvancePath(Node& s, int L) {
    for (int k = L; k >= 1; --k) s.OutPath[k] = s.OutPath[k - 1];
    s.OutPath[0] = s.Output;
}
} // namespace

// Each station's output path is the link to the next station around the ring.
void Form1::MediumRing() {
    const int n = ActiveStations();
    const int L = PathLength;
    for (int i = 0; i < n; ++i) {
        Node& s = NodeTable[i];
        AdvancePath(s, L);
        RingNext = static_cast<Integer>(Mod(i + 1, n));
        NodeTable[RingNext].Heard = s.OutPath[L];
    }
    for (int i = 0; i < n; ++i) DrawPathCells(i);
}

// The radio delay in cells between two stations: their distance less 30
// twips, in steps of 400 twips, rounded.
long long Form1::RadioDelay(int a, int b) const {
    const double dx = static_cast<double>(NodeTable[a].CellX[0]) - NodeTable[b].CellX[0];
    const double dy = static_cast<double>(NodeTable[a].CellY[0]) - NodeTable[b].CellY[0];
    return static_cast<long long>(Int((std::sqrt(dx * dx + dy * dy) - 30) / 400 + 0.5));
}

// Radio: every signal spreads one cell per tick up to PathLength cells; a
// station hears every other one within range after a delay set by distance.
void Form1::MediumSpace() {
    const int n = ActiveStations();
    const int L = PathLength;
    for (int i = 0; i < n; ++i) AdvancePath(NodeTable[i], L);
    for (int i = 0; i < n; ++i) DrawPathCells(i);
    for (int d = 0; d < n; ++d) {
        Node& listener = NodeTable[d];
        int count = 0;
        listener.Heard = BackColour;
        for (int c = 0; c < n; ++c) {
            if (c == d) continue;
            const Node& talker = NodeTable[c];
            const long long delay = RadioDelay(c, d);
            if (delay < L && delay >= 0 && talker.OutPath[delay] != BackColour) {
                ++count;
                listener.Heard = talker.OutPath[delay];
            }
        }
        if (count >= 2) listener.Heard = CollisionColour;
        if (listener.Output != BackColour && count == 1) listener.Heard = CollisionColour;
    }
}

} // namespace maclab
