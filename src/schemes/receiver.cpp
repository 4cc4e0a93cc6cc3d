// The receiver: who is talking, the acknowledgement marker, and the receiver
// rules, of which the first that matches is applied.
#include "schemes/step_work.h"

namespace maclab {

namespace {
void Silence(Node& s, Long back) {
    s.Heard = back;
    s.Heard1 = back;
    s.Heard2 = back;
}
} // namespace

void Form1::ReceiveSymbol(int i, StepWork& w) {
    Node& s = NodeTable[i];
    const Long own = s.AddressColour;
    const Long h0 = w.H0;
    const Long h1 = w.H1;

    // The symbol after the own address names the sender of the frame.
    if (s.RxProgress == 1 && h1 == own) s.RxPeer = StationWithAddress(s.Heard);

    // An acknowledgement marker as the third symbol of a frame addressed here.
    if (s.RxProgress == 2 && h0 == ColourGrey248) {
        w.AckHeard = true;
        w.LeftReason = Node::LeftAcknowledged;
        s.RxValid = VbFalse;
        s.TxState = TxIdle;
    }

    const bool grey =
        h1 == ColourGrey224 || h1 == ColourGrey240 || h1 == ColourGrey192 || h1 == ColourGrey248;
    // "Stripping" and, on the Star, "Monitoring" end the same way.
    const bool stripping = s.RxState == RxStripping || s.RxState == RxMonitoring;

    if (s.RxState == RxIdle && (h0 == own || h0 == ColourWhite) &&
        (h1 == EndMarker || h1 == BackColour || h1 == ColourGrey248)) {
        // 1: a frame for this station (or an RTS/CTS for anybody) opens.
        s.RxState = RxReceiving;
        s.RxProgress = 1;
        s.RxValid = VbTrue;
        s.RxOpenedOnOwn = h0 == own;
    } else if (s.RxState == RxIdle && h1 == own) {
        // 2: own address where no frame opened: normally the own frame back.
        s.RxState = Topology == TopoStar ? RxMonitoring : RxStripping;
        Silence(s, BackColour);
    } else if (s.RxState == RxReceiving && h0 == ColourGrey240 && h1 == own) {
        w.CtsForMe = true; // 3
        s.RxValid = VbFalse;
        s.RxProgress = s.RxProgress + 1;
    } else if (s.RxState == RxReceiving && h0 == ColourGrey240) {
        w.CtsForOther = true; // 4
        s.RxValid = VbFalse;
        s.RxProgress = s.RxProgress + 1;
    } else if (s.RxState == RxReceiving && h0 == ColourGrey192 && h1 == own) {
        w.RtsForMe = true; // 5
        s.RxValid = VbFalse;
        s.CtlPeer = StationWithAddress(s.Heard2);
        s.RxProgress = s.RxProgress + 1;
    } else if (s.RxState == RxReceiving && h0 == ColourGrey192) {
        w.RtsForOther = true; // 6
        s.RxValid = VbFalse;
        s.RxProgress = s.RxProgress + 1;
    } else if (s.RxState == RxReceiving && h0 == EndMarker && h1 == ColourGrey224) {
        // 7: a token or poll for this station.
        s.RxValid = VbFalse;
        s.HoldsToken = VbTrue;
        s.RxProgress = 0;
        s.RxState = RxIdle;
        if (s.QueueCount == 0) w.PassToken = true;
    } else if (s.RxState == RxReceiving && h0 == EndMarker) {
        // 8: frame complete.  Only a data frame that opened on the own address
        // and held no control marker is a delivery, and only that is answered.
        s.RxProgress = 0;
        s.RxState = RxIdle;
        const bool delivered = s.RxOpenedOnOwn && s.RxValid != VbFalse;
        if (delivered && !grey) {
            // In reliable mode a frame sent again after a lost acknowledgement
            // carries the number of one already delivered: it is answered
            // again but not counted twice.
            bool again = false;
            if (Settings.Reliable == 1 && s.RxPeer >= 0 && s.RxPeer < StationRecords) {
                const Long seq = NodeTable[s.RxPeer].FrameSeq;
                again = s.LastSeq[s.RxPeer] == seq;
                s.LastSeq[s.RxPeer] = seq;
            }
            if (again) {
                s.RxDuplicates = s.RxDuplicates + 1;
            } else {
                TotalReceived = TotalReceived + 1;
                s.RxCount = s.RxCount + 1;
                lblTotalRx.Caption = Str(TotalReceived);
            }
        }
        if (Settings.Reliable == 1 && delivered) {
            if (Topology == TopoRing)
                s.Heard = ColourGrey248; // the repeater passes the frame on acknowledged
            else
                QueueControl(CtlAck, static_cast<Integer>(i), s.RxPeer);
        }
    } else if (stripping && h0 == EndMarker) {
        s.RxState = RxIdle; // 9
        Silence(s, BackColour);
    } else if (stripping && h0 == ColourGrey248) {
        // 10: the own frame came back acknowledged.
        s.RxState = RxIdle;
        s.TxState = TxIdle;
        Silence(s, BackColour);
        w.AckHeard = true;
        w.LeftReason = Node::LeftAcknowledged;
    } else if (s.RxState == RxReceiving && h0 == CollisionColour) {
        s.RxProgress = 0; // 11: garbled
        s.RxState = RxIdle;
    } else if (s.RxState == RxReceiving && h0 == BackColour) {
        s.RxProgress = 0; // 12: carrier lost
        s.RxState = RxIdle;
    } else if (stripping && h0 == BackColour) {
        s.RxState = RxIdle; // 13
    } else if (s.RxState == RxReceiving) {
        s.RxProgress = s.RxProgress + 1; // 14
    }
}

} // namespace maclab
