// What a person looking at the network is told, read from the station
// records as they stand: each station's state in plain words, and who hears
// whom over radio.  Nothing here writes a
// record or a control, so a front end may ask at any moment, paused or not.
#include "core/form1.h"

namespace maclab {

namespace {
std::string Number(long long n) {
    return std::to_string(n);
}

// The control frame a station has waiting (or on the air), in one word.
std::string_view ControlWord(Long kind, Scheme scheme) {
    switch (kind) {
    case CtlRTS:
        return "RTS";
    case CtlCTS:
        return "CTS";
    case CtlToken:
        return scheme == Scheme::Polling ? "poll" : "token";
    case CtlAck:
        return "ACK";
    default:
        return "control frame";
    }
}
} // namespace

StationStatus Form1::DescribeStation(int i) const {
    StationStatus out;
    if (i < 0 || i >= StationRecords) return out;
    const Node& s = NodeTable[i];
    const Scheme scheme = Settings.CurrentScheme;
    const std::string ticks = " (" + Number(s.TxTimer) + ")";
    switch (s.TxState) {
    case TxIdle:
        out.Sender = "idle";
        break;
    case TxWaitingForCTS:
        out.Sender = "waits for CTS" + ticks;
        break;
    case TxWaitingForACK:
        out.Sender = "waits for ACK" + ticks;
        break;
    case TxWaitingForOK:
        out.Sender = "holds off" + ticks;
        break;
    case TxOK2Send:
        out.Sender = "may send";
        break;
    case TxSending:
        out.Sender = "sends data";
        break;
    case TxSendingControl:
        out.Sender = "sends " + std::string(ControlWord(s.ControlKind[0], scheme));
        break;
    case TxSendingAck:
        out.Sender = "sends ACK";
        break;
    case TxFinishing:
    case TxFinished:
        out.Sender = "has sent";
        break;
    case TxAckSent1:
    case TxAckSent2:
        out.Sender = "has sent ACK";
        break;
    case TxNetworkBusy:
        out.Sender = "medium busy" + ticks;
        break;
    case TxCollided:
        out.Sender = "backs off" + ticks;
        break;
    default:
        out.Sender = "state " + Number(s.TxState);
        break;
    }
    switch (s.RxState) {
    case RxIdle:
        out.Receiver = "idle";
        break;
    case RxReceiving:
        out.Receiver = "receives";
        break;
    case RxStripping:
    case RxMonitoring:
        out.Receiver = "hears own frame";
        break;
    default:
        out.Receiver = "state " + Number(s.RxState);
        break;
    }
    out.Queue = "queued " + Number(s.QueueCount);
    if (s.ControlPending != 0)
        out.Queue += " + " + std::string(ControlWord(s.ControlKind[0], scheme));
    out.Dropped = StationDropped(i);
    return out;
}

Long Form1::StationDropped(int i) const {
    if (i < 0 || i >= StationRecords) return 0;
    const Node& s = NodeTable[i];
    return s.QueueLeft[Node::LeftAborted] + s.QueueLeft[Node::LeftDropped];
}

double Form1::RadioReach() const {
    if (Topology != TopoSpace && Topology != TopoWideSpace) return 0;
    // A station is heard while its delay, (distance - 30) / 400 rounded, is
    // short of the path's length.
    return 30 + 400 * (PathLength - 0.5);
}

bool Form1::RadioHearsStation(int listener, int talker) const {
    const int n = ActiveStations();
    if (RadioReach() <= 0 || listener == talker || listener < 0 || talker < 0 || listener >= n ||
        talker >= n)
        return false;
    const long long delay = RadioDelay(talker, listener);
    return delay >= 0 && delay < PathLength;
}

} // namespace maclab
