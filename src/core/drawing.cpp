// Painting the medium: every cell is a ring in the colour it holds, redrawn
// only when that colour changes, and the controls that the rings overwrite are
// made to draw themselves again.
#include "core/form1.h"

namespace maclab {

// The ring at a station's tap on the bus.
void Form1::DrawBusTap(int i) {
    Node& s = NodeTable[i];
    const Long out0 = s.OutPath[0], out1 = s.OutPath[1], out2 = s.OutPath[2];
    const Long in0 = s.InPath[0];
    Long& shown = s.CellShown[0];
    if (!DrawsNow) {
        // What the rules below leave in the record, without their branches:
        // red while garbled; a sending station's own symbol, or what it hears
        // when it showed that already; otherwise silence just after an end
        // marker and what it hears.
        const Long B = BackColour;
        const bool endNear = out1 == EndMarker || (out1 == B && out2 == EndMarker);
        const Long sending = out0 != shown ? out0 : (in0 != B && in0 != shown ? in0 : shown);
        const Long quiet = endNear ? B : in0;
        shown = in0 == CollisionColour ? CollisionColour : (out0 != B ? sending : quiet);
        return;
    }
    const auto draw = [&](Long colour, bool repaintDrop) {
        shown = colour;
        if (!DrawsNow) return;
        DrawRing(s.CellX[0], s.CellY[0], 11, colour);
        if (repaintDrop) RepaintDropLine(i);
    };
    if (in0 == CollisionColour) {
        if (shown != CollisionColour) draw(CollisionColour, false);
    } else if (out0 != BackColour && out0 != shown) {
        draw(out0, false);
    } else if (out0 == BackColour && out1 == EndMarker) {
        draw(BackColour, true);
    } else if (out0 == BackColour && out1 == BackColour && out2 == EndMarker) {
        draw(BackColour, true);
    } else if (in0 != BackColour && in0 != shown) {
        draw(in0, false);
    } else if (out0 == BackColour && in0 == BackColour && shown != BackColour) {
        draw(BackColour, true);
    }
}

// The cells of a star spoke: the outgoing signal, the hub's broadcast, or red
// where the two pass each other.
void Form1::DrawStarSpokes(int i) {
    if (!DrawsNow) return;
    Node& s = NodeTable[i];
    for (int k = 0; k < PathLength; ++k) {
        const Long out = s.OutPath[k], in = s.InPath[k];
        Long& shown = s.CellShown[k];
        Long next = shown;
        if (out == BackColour && in != BackColour && in != shown)
            next = in;
        else if (out != BackColour && in == BackColour && out != shown)
            next = out;
        else if (out != BackColour && in != BackColour && shown != CollisionColour)
            next = CollisionColour;
        else if (out == BackColour && in == BackColour && shown != BackColour)
            next = BackColour;
        else
            continue;
        shown = next;
        DrawRing(s.CellX[k], s.CellY[k], s.CellSize[k], next);
    }
}

// Ring links and radio waves: each cell shows what the station's path holds.
void Form1::DrawPathCells(int i) {
    if (!DrawsNow) return;
    Node& s = NodeTable[i];
    for (int k = 0; k < PathLength; ++k) {
        if (s.OutPath[k] == s.CellShown[k]) continue;
        s.CellShown[k] = s.OutPath[k];
        DrawRing(s.CellX[k], s.CellY[k], s.CellSize[k], s.OutPath[k]);
    }
}

// The controls drawn over the rings are made to draw themselves again.  The
// surface does that; the controls keep their colours.
void Form1::RepaintEndPiece(int index) {
    Canvas->Repaint(RepaintTarget::EndPiece, index);
}

void Form1::RepaintHub() {
    // The hub's outline is black from its first repaint on.
    Shape1.BorderColor = 0;
    Canvas->Repaint(RepaintTarget::Hub, 0);
}

void Form1::RepaintDropLine(int i) {
    if (i >= StationControls) return;
    Canvas->Repaint(RepaintTarget::DropLine, i);
}

} // namespace maclab
