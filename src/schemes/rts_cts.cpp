// "RTS/CTS": reserving the medium before each data frame, and deferring
// after an overheard request or answer.
#include "schemes/step_work.h"

namespace maclab {

namespace {
// Timers count down to 0 and stop there, so "reaches 0" is always seen.
void CountDown(Node& s) {
    if (s.TxTimer > 0) s.TxTimer = s.TxTimer - 1;
}
} // namespace

void Form1::RtsCtsRules(int i, StepWork& w) {
    Node& s = NodeTable[i];
    // Cleared to send but nothing left to send: back to idle.
    if (s.TxState == TxOK2Send && s.QueueCount == 0) s.TxState = TxIdle;

    const double reliable = Settings.Reliable;
    const double random = Settings.RandomBackoff;
    if (s.TxState == TxWaitingForCTS && w.CtsForMe) {
        s.TxState = TxOK2Send;
    } else if (s.TxState == TxWaitingForCTS && w.RtsForOther) {
        // keeps waiting for its own CTS
    } else if (w.CtsForOther) {
        s.TxState = TxWaitingForOK;
        const double r = Rnd();
        s.TxTimer = CInt(PacketLength + 30 + 10 * reliable + Int(r * random * 20));
    } else if (w.RtsForOther) {
        s.TxState = TxWaitingForOK;
        const double r = Rnd();
        s.TxTimer = CInt(PacketLength + 40 + 10 * reliable + Int(r * random * 20));
        if (s.ControlKind[0] == CtlCTS) CancelControl(static_cast<Integer>(i));
    } else if (w.RtsForMe) {
        QueueControl(CtlCTS, static_cast<Integer>(i), s.CtlPeer);
        s.TxState = TxIdle;
        s.TxTimer = 5;
    } else if (s.QueueCount > 0 && s.TxState == TxIdle && s.RxState == RxIdle &&
               w.H0 != ColourGrey248 && s.ControlPending == 0) {
        // Ask only when no frame is owed to another station: a CTS or an
        // acknowledgement waiting in the one slot goes out first.
        s.TxState = TxWaitingForCTS;
        QueueControl(CtlRTS, static_cast<Integer>(i), s.QueueDest[0]);
    } else if (s.TxState == TxWaitingForCTS) {
        if (w.H0 == BackColour) CountDown(s);
        if (s.TxTimer == 0) QueueControl(CtlRTS, static_cast<Integer>(i), s.QueueDest[0]);
    } else if (s.TxState == TxWaitingForOK) {
        CountDown(s);
        if (s.TxTimer == 0) s.TxState = TxIdle;
    } else if (s.TxState == TxIdle && s.TxTimer > 0) {
        CountDown(s);
    }
}

} // namespace maclab
