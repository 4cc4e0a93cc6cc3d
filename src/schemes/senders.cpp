// The transmitter: the control-frame sender, the send decision of every
// scheme, the data-frame sender, the after-frame states, the end of a frame
// with its acknowledgement time-out, and the removal of the head packet.
#include <algorithm>

#include "schemes/step_work.h"

namespace maclab {

namespace {
// The last row of a control frame: the end marker stays on the medium while
// the frame is closed.
enum : Long { TokenLast = 3, AckLast = 4, RequestLast = 5 };
} // namespace

void Form1::SendControlFrame(int i, StepWork& w) {
    Node& s = NodeTable[i];
    const Long kind = s.ControlKind[0];
    const Integer dest = s.ControlDest[0];
    const Long dst =
        dest >= 0 && dest < StationRecords ? NodeTable[dest].AddressColour : CollisionColour;
    const Long tp = s.TxProgress;
    const Long tx = s.TxState;
    const bool sending = tx == TxSendingControl || tx == TxSendingAck;
    bool acted = true;

    if (kind == CtlToken) {
        // Over radio a token or poll waits for a silent medium, so it never
        // lands on top of the frame still spreading from the last holder.
        if (tp == 0 && tx == TxIdle && (!IsRadio(Topology) || s.Heard == BackColour)) {
            s.Output = dst;
            s.TxState = TxSendingControl;
            s.TxProgress = 1;
            s.HoldsToken = VbFalse;
            s.ControlOnAir = true;
        } else if (tp == 1 && tx == TxSendingControl) {
            s.Output = ColourGrey224;
            s.TxProgress = 2;
        } else if (tp == 2 && tx == TxSendingControl) {
            s.Output = EndMarker;
            s.TxProgress = 3;
        } else if (tp == TokenLast && tx == TxSendingControl) {
            w.FrameEnded = true;
        } else {
            acted = false;
        }
    } else if (kind == CtlAck) {
        // An acknowledgement may also go out during a carrier-sense or
        // collision backoff; a collision backoff goes on after it.
        const bool fromBackoff = tx == TxNetworkBusy || tx == TxCollided;
        if (tp == 0 &&
            (tx == TxIdle || fromBackoff || tx == TxWaitingForACK || tx == TxWaitingForOK)) {
            s.Output = dst;
            s.TxState = tx == TxIdle || fromBackoff ? TxSendingControl : TxSendingAck;
            s.TxProgress = 1;
            s.ControlOnAir = true;
            s.AckFromBackoff = tx == TxCollided;
        } else if (tp == 1 && sending) {
            s.Output = s.AddressColour;
            s.TxProgress = 2;
        } else if (tp == 2 && sending) {
            s.Output = ColourGrey248;
            s.TxProgress = 3;
        } else if (tp == 3 && sending) {
            s.Output = EndMarker;
            s.TxProgress = 4;
        } else if (tp == AckLast && sending) {
            w.FrameEnded = true;
        } else {
            acted = false;
        }
    } else if (kind == CtlRTS || kind == CtlCTS) {
        if (tp == 0 && s.TxTimer == 0 && (tx == TxIdle || tx == TxWaitingForCTS)) {
            const double r = Rnd();
            s.TxState = TxSendingControl;
            s.TxTimer = CInt(Int(Settings.RandomBackoff * r * 30) + 40);
            s.Output = ColourWhite;
            s.TxProgress = 1;
            s.ControlOnAir = true;
        } else if (tp == 1 && tx == TxSendingControl) {
            s.Output = s.AddressColour;
            s.TxProgress = 2;
        } else if (tp == 2 && tx == TxSendingControl) {
            s.Output = dst;
            s.TxProgress = 3;
        } else if (tp == 3 && tx == TxSendingControl) {
            s.Output = kind == CtlCTS ? ColourGrey240 : ColourGrey192;
            s.TxProgress = 4;
        } else if (tp == 4 && tx == TxSendingControl) {
            s.Output = EndMarker;
            s.TxProgress = 5;
        } else if (tp == RequestLast && tx == TxSendingControl) {
            w.FrameEnded = true;
        } else {
            acted = false;
        }
    } else {
        acted = false;
    }
    w.ControlContinued = acted;
}

bool Form1::SendDecision(int i, const StepWork& w) {
    const Node& s = NodeTable[i];
    if (s.TxState != TxIdle && s.TxState != TxOK2Send) return false;
    switch (w.scheme) {
    case Scheme::Aloha:
        return true;
    case Scheme::SlottedAloha: {
        const TopologyInfo& medium = TopologyOf(Topology);
        double slot = PacketLength + medium.SlotExtra;
        if (medium.SlotGoesAround) slot += CInt(NodeCount) * (PathLength + 3.0);
        return Mod(TickCount, slot) == 0;
    }
    case Scheme::Csma:
    case Scheme::CsmaCd:
    case Scheme::CsmaCdR:
        return s.Heard == BackColour;
    case Scheme::TokenPassing:
    case Scheme::Polling:
        return s.HoldsToken != VbFalse && (!IsRadio(Topology) || s.Heard == BackColour);
    case Scheme::RtsCts:
        return s.TxState == TxOK2Send;
    case Scheme::Other:
        return false;
    }
    return false;
}

void Form1::SendDataFrame(int i, StepWork& w) {
    Node& s = NodeTable[i];
    if (s.ControlOnAir && s.TxProgress > 0 && !w.ControlContinued) {
        // A control frame whose sender no longer carries it on is abandoned
        // silently; it must not be finished as if it were the head packet.
        s.Output = BackColour;
        s.TxProgress = 0;
        s.ControlOnAir = false;
        return;
    }
    if (s.TxState == TxSendingControl || s.TxState == TxSendingAck) return;
    const Long length = s.QueueLength[0];
    if (w.MaySend && s.TxProgress == 0 && s.QueueCount > 0 && !w.AckHeard) {
        const Integer dest = s.QueueDest[0];
        s.Output =
            dest < 0 || dest >= StationRecords ? CollisionColour : NodeTable[dest].AddressColour;
        s.TxState = TxSending;
        s.TxProgress = 1;
        s.ControlOnAir = false;
        s.FrameSeq = s.TxSeq;
    } else if (length > 0 && s.TxProgress == 1) {
        s.Output = s.AddressColour;
        s.TxProgress = 2;
    } else if (s.TxProgress == length - 1 && s.TxProgress > 0) {
        s.Output = EndMarker;
        TotalSent = TotalSent + 1;
        s.TxCount = s.TxCount + 1;
        lblTotalTx.Caption = Str(TotalSent);
        w.FrameEnded = true;
    } else if (s.TxProgress < length && s.TxProgress > 0) {
        s.Output = s.DataColour;
        s.TxProgress = s.TxProgress + 1;
    } else {
        s.Output = BackColour;
        s.TxProgress = 0;
    }
}

void Form1::AgeAfterFrame(int i) {
    Node& s = NodeTable[i];
    switch (s.TxState) {
    case TxFinished:
        s.TxState = TxIdle;
        if (i < StationControls) shpNode[i].BorderColor = 0;
        break;
    case TxAckSent2:
        s.TxState = TxWaitingForACK;
        if (i < StationControls) shpNode[i].BorderColor = 0;
        break;
    case TxFinishing:
        s.TxState = TxFinished;
        break;
    case TxAckSent1:
        s.TxState = TxAckSent2;
        break;
    default:
        break;
    }
}

void Form1::EndFrame(int i, StepWork& w) {
    Node& s = NodeTable[i];
    if (s.ControlOnAir) {
        if (s.TxState == TxSendingAck) {
            s.TxState = TxAckSent1;
        } else {
            switch (s.ControlKind[0]) {
            case CtlToken:
                s.TxState = TxFinishing;
                break;
            case CtlRTS:
                s.TxState = TxWaitingForCTS;
                break;
            case CtlCTS:
                s.TxState = TxWaitingForOK;
                break;
            case CtlAck:
                s.TxState = s.AckFromBackoff && s.TxTimer > 0 ? TxCollided : TxFinishing;
                break;
            default:
                break;
            }
        }
        CancelControl(static_cast<Integer>(i));
        s.TxProgress = 0;
        s.ControlOnAir = false;
        return;
    }

    if (w.Aborted && w.scheme == Scheme::CsmaCdR) {
        // Binary exponential backoff: the packet stays at the head of the
        // queue and is tried again after a random number of slots, up to 16
        // collisions in a row.
        s.TxProgress = 0;
        const int k = s.CollisionCount + 1;
        if (k >= 16) {
            w.AckHeard = true;
            w.LeftReason = Node::LeftDropped;
            s.CollisionCount = 0;
            s.TxState = TxIdle;
            return;
        }
        s.CollisionCount = static_cast<Integer>(k);
        const double r = Rnd();
        const Long slot = TopologyOf(Topology).BackoffSlot;
        if (Settings.RandomBackoff == 1)
            s.TxTimer = CLng(1 + slot * Int(r * static_cast<double>(1 << std::min(k, 10))));
        else
            s.TxTimer = 1 + slot;
        return;
    }

    s.TxTimer = 0;
    if (IsTokenScheme(w.scheme)) w.PassToken = true;
    if (Settings.Reliable == 0) {
        w.AckHeard = true;
        w.LeftReason = w.Aborted ? Node::LeftAborted : Node::LeftUnacknowledged;
        s.TxState = TxFinishing;
    } else {
        const double x = Int(static_cast<double>(Rnd()) * Settings.RandomBackoff * 30);
        const TopologyInfo& medium = TopologyOf(Topology);
        s.TxTimer = CLng(medium.AckWaitFixed + medium.AckWaitPerStation * NodeCount + x);
        w.AckHeard = false;
        s.TxState = TxWaitingForACK;
    }
    s.TxProgress = 0;
}

void Form1::AckTimer(int i) {
    Node& s = NodeTable[i];
    if (s.TxState != TxWaitingForACK || s.RxState != RxIdle) return;
    if (s.TxTimer > 0)
        s.TxTimer = s.TxTimer - 1;
    else
        s.TxState = TxIdle; // time-out: the head packet is sent again
}

void Form1::RemoveHeadPacket(int i, StepWork& w) {
    Node& s = NodeTable[i];
    if (s.QueueCount <= 0) return; // a late duplicate acknowledgement removes nothing
    for (int k = 0; k < QueueSlots - 1; ++k) {
        s.QueueLength[k] = s.QueueLength[k + 1];
        s.QueueDest[k] = s.QueueDest[k + 1];
    }
    s.QueueCount = static_cast<Integer>(s.QueueCount - 1);
    s.CollisionCount = 0;
    s.TxSeq = s.TxSeq + 1;
    s.QueueLeft[w.LeftReason] = s.QueueLeft[w.LeftReason] + 1;
    if (w.LeftReason == Node::LeftDropped || w.LeftReason == Node::LeftAborted) {
        TotalDropped = TotalDropped + 1;
        lblTotalDropped.Caption = Str(TotalDropped);
    }
}

} // namespace maclab
