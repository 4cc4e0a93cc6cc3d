// What a station shows: the echo and fade of its shape, and its status labels.
#include "schemes/step_work.h"

namespace maclab {

namespace {
// The shape's border colour doubles as a fade counter: 2, 1 and 0 are
// near-black and step down one per silent tick.
constexpr Long FadeStart = 2;

const char* TxCaption(Long state) {
    switch (state) {
    case TxIdle:
        return "TxIdle";
    case TxWaitingForCTS:
        return "WaitingForCTS";
    case TxWaitingForACK:
        return "WaitingForACK";
    case TxWaitingForOK:
        return "WaitingForOK";
    case TxOK2Send:
        return "OK2Send";
    case TxSending:
        return "Sending";
    case TxSendingControl:
        return "SendingControl";
    case TxFinishing:
        return "Finishing";
    case TxFinished:
        return "Finished";
    case TxNetworkBusy:
        return "NetworkBusy";
    case TxCollided:
        return "Collided";
    default:
        return nullptr; // the acknowledgement states keep the caption
    }
}

const char* RxCaption(Long state) {
    switch (state) {
    case RxIdle:
        return "RxIdle";
    case RxReceiving:
        return "Receiving";
    case RxStripping:
        return "Stripping";
    case RxMonitoring:
        return "Monitoring";
    default:
        return nullptr;
    }
}
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
    if (const char* tx = TxCaption(s.TxState)) {
        std::string caption = tx;
        if (s.TxState == TxWaitingForCTS || s.TxState == TxWaitingForACK ||
            s.TxState == TxWaitingForOK)
            caption += Str(s.TxTimer);
        lblTxStatus[i].Caption = std::move(caption);
    }
    if (const char* rx = RxCaption(s.RxState)) lblRxStatus[i].Caption = rx;
    lblQueued[i].Caption = Str(s.QueueCount) + ":" + Str(s.ControlPending);
    // (A label that shows a new caption draws itself afresh in every front
    // end, so the labels need no hiding and showing again; a hidden label
    // stays hidden.)
}

} // namespace maclab
