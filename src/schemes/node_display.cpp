// What a station shows: the echo and fade of its shape, and its status labels.
#include "schemes/step_work.h"

namespace maclab {

namespace {
// The shape's border colour doubles as a fade counter: 2, 1 and 0 are
// near-black and step down one per silent tick.
constexpr Long FadeStart = 2;

} // namespace

void Form1::NodeShapeEcho(int i) {
    if (i >= StationControls) return;
    Node& s = NodeTable[i];
    Control& shape = shpNode[i];
    if (shape.BorderColor == FadeStart) {
        shape.BorderColor = 1;
    } else if (shape.BorderColor == 1) {
        shape.BorderColor = 0;
        shape.FillColor = s.AddressColour;
    }
    if (s.Heard == BackColour && shape.BorderColor > FadeStart) {
        shape.BorderColor = FadeStart;
        shape.FillColor = s.AddressColour;
    } else if (shape.BorderColor != s.Heard && s.Heard != BackColour) {
        shape.BorderColor = s.Heard == EndMarker ? FadeStart : s.Heard;
    }
}

void Form1::ShowStatus(int i) {
    if (i >= StationControls) return;
    const Node& s = NodeTable[i];
    if (const std::string_view tx = TxStateCaption(s.TxState); !tx.empty()) {
        std::string caption(tx);
        if (s.TxState == TxWaitingForCTS || s.TxState == TxWaitingForACK ||
            s.TxState == TxWaitingForOK)
            caption += Str(s.TxTimer);
        lblTxStatus[i].Caption = std::move(caption);
    }
    if (const std::string_view rx = RxStateCaption(s.RxState); !rx.empty())
        lblRxStatus[i].Caption = rx;
    lblQueued[i].Caption = Str(s.QueueCount) + ":" + Str(s.ControlPending);
    // (A label that shows a new caption draws itself afresh in every front
    // end, so the labels need no hiding and showing again; a hidden label
    // stays hidden.)
}

} // namespace maclab
