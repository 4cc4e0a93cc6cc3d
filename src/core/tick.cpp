// One tick of the simulation and the medium model of every topology.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/form1.h"

namespace maclab {

void Form1::Timer1_Timer() {
    SessionTick = SessionTick + 1;
    // The count stops at its largest value rather than wrapping (248 days at
    // the fastest speed); slots and refreshes then simply stay where they are.
    if (TickCount < std::numeric_limits<Long>::max()) TickCount = TickCount + 1;
    if (const char* shown = Running ? "True" : "False"; Label2.Caption != shown)
        Label2.Caption = shown;
    if (Mod(TickCount, 10) == 0) RefreshStatistics();
    const int n = ActiveStations();
    if (Resting && Settings == RestingSettings && Running == RestingRunning) {
        // Nothing but the tick count and the figures can change: the station
        // steps and the medium step would leave everything as it is, and the
        // arrivals draw their numbers without any of them coming true.
        if (Running && n > 0) SkipRandom(static_cast<std::uint64_t>(n));
        return;
    }
    for (int i = 0; i < n; ++i) StepNode(static_cast<Integer>(i));
    MediumStep();
    if (Running) RandomArrivals();
    Resting = RestShortcut && AtRest(n);
    RestingSettings = Settings;
    RestingRunning = Running;
}

// Whether a whole tick would change nothing but the tick count and the
// figures: no packet can arrive, every station is idle with an empty queue
// and has heard only silence for three ticks, no timer or ring hold-off is
// counting, every shape has faded, and the medium is silent everywhere a
// tick looks.
bool Form1::AtRest(int n) const {
    if (Running && n > 0) {
        const float chance = Sng(Settings.OfferedTraffic / PacketLength / NodeCount);
        if (chance > 0) return false;
    }
    const Long B = BackColour;
    for (int i = 0; i < n; ++i) {
        const Node& s = NodeTable[i];
        if (s.TxState != TxIdle || s.RxState != RxIdle || s.QueueCount != 0 ||
            s.ControlPending != 0 || s.TxProgress != 0 || s.ControlOnAir || s.RingHoldOff != 0 ||
            s.RingCutIn)
            return false;
        // An idle station's timer counts only under RTS/CTS.
        if (s.TxTimer != 0 && Settings.CurrentScheme == Scheme::RtsCts) return false;
        if (s.Output != B || s.Heard != B || s.Heard1 != B || s.Heard2 != B) return false;
        if (i < StationControls && shpNode[i].BorderColor != 0) return false;
    }
    const int L = PathLength;
    const auto silent = [B](const auto& cells, int count) {
        for (int k = 0; k < count; ++k)
            if (cells[k] != B) return false;
        return true;
    };
    switch (Topology) {
    case TopoBus:
        // The left lane takes in its last cell; the right lane only hands its
        // last cell on.
        if (!silent(BusLeft, BusCells) || !silent(BusRight, LastBusCell) ||
            !silent(BusShown, LastBusCell))
            return false;
        for (int i = 0; i < n; ++i) {
            const Node& s = NodeTable[i];
            if (!silent(s.OutPath, 3) || s.InPath[0] != B || s.CellShown[0] != B) return false;
        }
        return true;
    case TopoStar:
        if (HubColour != B || HubSource != -1 || HubColourPrev != B || HubColourPrev2 != B)
            return false;
        for (int i = 0; i < n; ++i)
            if (!silent(NodeTable[i].OutPath, L) || !silent(NodeTable[i].InPath, L)) return false;
        return true;
    case TopoRing:
        if (n > 0 && RingNext != 0) return false;
        [[fallthrough]];
    case TopoSpace:
    case TopoWideSpace:
        for (int i = 0; i < n; ++i)
            if (!silent(NodeTable[i].OutPath, L + 1)) return false;
        return true;
    default:
        return true;
    }
}

// Drawing was left out for a while: every record of what a cell shows is
// brought to what the drawing would have left there.  On the Star, Ring and
// radio paths that depends only on what the cells hold now; the Bus keeps
// its records up to date all the time.
void Form1::CatchUpShownCells() {
    ShownBehind = false;
    const int n = ActiveStations();
    const int L = PathLength;
    const Long B = BackColour;
    for (int i = 0; i < n; ++i) {
        Node& s = NodeTable[i];
        if (Topology == TopoStar) {
            for (int k = 0; k < L; ++k) {
                const Long out = s.OutPath[k], in = s.InPath[k];
                s.CellShown[k] = out == B ? in : (in == B ? out : CollisionColour);
            }
        } else if (Topology != TopoBus) {
            for (int k = 0; k < L; ++k) s.CellShown[k] = s.OutPath[k];
        }
    }
}

// The medium step of the current topology, drawing included.
void Form1::MediumStep() {
    Resting = false;
    DrawsNow = Canvas->Draws();
    if (!DrawsNow)
        ShownBehind = true;
    else if (ShownBehind)
        CatchUpShownCells();
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
    // (Written as selections rather than branches: under load these
    // outcomes are as good as random.)
    const Long B = BackColour;
    for (int i = 0; i < n; ++i) {
        const Node& s = NodeTable[i];
        const int c = s.BusCell;
        const Long right = s.OutPath[1], there = BusRight[c];
        BusRight[c] = right == B ? there : (there == B ? right : CollisionColour);
        if (c >= 1) {
            const Long left = s.OutPath[2], beside = BusLeft[c - 1];
            BusLeft[c - 1] = left == B ? beside : (beside == B ? left : CollisionColour);
        }
    }
    for (int c = 0; c < LastBusCell; ++c) {
        const Long left = BusLeft[c], right = BusRight[c];
        const Long shown = left == B ? right : (right == B ? left : CollisionColour);
        if (!DrawsNow) {
            BusShown[c] = shown;
            continue;
        }
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
// Bit k alone, for each path cell k.
constexpr auto CellBit = [] {
    std::array<std::uint32_t, PathCells> bits{};
    for (int k = 0; k < PathCells; ++k) bits[k] = std::uint32_t{1} << k;
    return bits;
}();

// Ring and radio paths: every symbol moves one cell out and the station's
// output enters cell 0; cell L holds what leaves the end.
// (Each cell's old symbol is carried to the next in a register, so that no
// load waits for the store just made, and no library copy is called.)
void AdvancePath(Node& s, int L) {
    Long carry = s.Output;
    for (int k = 0; k <= L; ++k) {
        const Long next = s.OutPath[k];
        s.OutPath[k] = carry;
        carry = next;
    }
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

// Whether the table of who hears whom was worked out for these stations at
// their present places and this path length.
bool Form1::RadioLinksFit(int n, int L) const {
    if (n != RadioLinksFor.Stations || L != RadioLinksFor.Length) return false;
    for (int i = 0; i < n; ++i)
        if (NodeTable[i].CellX[0] != RadioLinksFor.X[i] ||
            NodeTable[i].CellY[0] != RadioLinksFor.Y[i])
            return false;
    return true;
}

// For every listener, the delay at which it hears each station within range,
// as one bit: what the radio step would otherwise work out for every pair in
// every tick, though the stations only move when the layout changes.
void Form1::FindRadioLinks(int n, int L) {
    RadioLinksFor.Stations = n;
    RadioLinksFor.Length = L;
    for (int i = 0; i < n; ++i) {
        RadioLinksFor.X[i] = NodeTable[i].CellX[0];
        RadioLinksFor.Y[i] = NodeTable[i].CellY[0];
    }
    RadioHears.fill(0);
    for (auto& row : RadioHearsAt) row.fill(0);
    for (int d = 0; d < n; ++d)
        for (int c = 0; c < n; ++c) {
            if (c == d) continue;
            const long long delay = RadioDelay(c, d);
            if (delay < L && delay >= 0) {
                RadioHears[d * StationRecords + c] = std::uint32_t{1} << delay;
                RadioHearsAt[delay][d] |= std::uint32_t{1} << c;
            }
        }
}

// Radio: every signal spreads one cell per tick up to PathLength cells; a
// station hears every other one within range after a delay set by distance.
void Form1::MediumSpace() {
    const int n = ActiveStations();
    const int L = PathLength;
    const Long B = BackColour;
    // Which stations have a symbol in each cell of their paths after this
    // step: bit c of entry k is set when station c's cell k will be busy.
    // It is read off the cells before they move (cell k - 1 moves to k, the
    // output enters cell 0), so that no load waits for the stores of the
    // move.  Entries from L on may be wrong, which does not matter: the radio
    // table hears no cell at or beyond the path's end.  (A fixed count of
    // cells, which the compiler turns into whole vectors.)
    static_assert(StationRecords <= RadioLanes && RadioLanes <= 32, "one bit a station");
    std::array<std::uint32_t, PathCells> busyAt{};
    for (int c = 0; c < n; ++c) {
        Node& talker = NodeTable[c];
        const std::uint32_t bit = std::uint32_t{1} << c;
        const auto busy = [bit, B](Long cell) {
            return bit & (0u - static_cast<std::uint32_t>(cell != B));
        };
        busyAt[0] |= busy(talker.Output);
        for (int k = 0; k < PathCells - 1; ++k) busyAt[k + 1] |= busy(talker.OutPath[k]);
        AdvancePath(talker, L);
    }
    for (int i = 0; i < n; ++i) DrawPathCells(i);
    if (!RadioLinksFit(n, L)) FindRadioLinks(n, L);
    // Every listener at once: the stations it hears now, one bit each.
    // (Each station reaches a listener at one delay at most, so a station
    // appears once, and the bits name exactly the stations heard.)
    std::array<std::uint32_t, RadioLanes> heard{};
    for (int k = 0; k < L; ++k) {
        const std::uint32_t talkers = busyAt[k];
        const auto& hears = RadioHearsAt[k];
        for (int d = 0; d < RadioLanes; ++d) heard[d] |= hears[d] & talkers;
    }
    for (int d = 0; d < n; ++d) {
        Node& listener = NodeTable[d];
        const std::uint32_t x = heard[d];
        const bool any = x != 0;
        const bool several = (x & (x - 1)) != 0;
        // (Selections, not branches: the outcome is as good as random.  The
        // lookup is made even when it is not used, at a cell that exists.)
        const int c = std::countr_zero(x | (std::uint32_t{1} << (StationRecords - 1)));
        const int delay =
            std::countr_zero(RadioHears[d * StationRecords + c] | CellBit[PathCells - 1]);
        const Long one = NodeTable[c].OutPath[delay];
        const bool garbled = several | (any & (listener.Output != B));
        listener.Heard = Select(garbled, CollisionColour, Select(any, one, B));
    }
}

} // namespace maclab
