// "CSMA/CD" and "CSMA/CD + R": the carrier rule, the collision abort and the
// backoff of the retransmitting variant.
#include "schemes/step_work.h"

namespace maclab {

void Form1::CarrierRule(int i, StepWork& w) {
    Node& s = NodeTable[i];
    if (w.scheme == Scheme::CsmaCdR && s.TxState == TxCollided) {
        // Backing off after a collision: count down instead of sensing.
        if (s.TxTimer > 0) s.TxTimer = s.TxTimer - 1;
        if (s.TxTimer <= 0) s.TxState = TxIdle;
        return;
    }
    switch (s.TxState) {
    case TxSendingControl:
    case TxSendingAck:
        return; // a control frame is sent whole
    case TxWaitingForACK:
    case TxAckSent1:
    case TxAckSent2:
        return; // waiting for the acknowledgement ends only by its own rules
    default:
        break;
    }
    if (s.Heard != BackColour) {
        s.TxState = TxNetworkBusy;
        s.TxTimer = CInt(Int(static_cast<double>(Rnd()) * 50) + 10);
    } else {
        s.TxState = TxIdle;
    }
}

void Form1::CollisionAbort(int i, StepWork& w) {
    Node& s = NodeTable[i];
    if (s.Heard != CollisionColour || s.TxProgress <= 0) return;
    w.FrameEnded = true;
    w.Aborted = true;
    if (w.scheme == Scheme::CsmaCdR && !s.ControlOnAir) s.TxState = TxCollided;
}

} // namespace maclab
