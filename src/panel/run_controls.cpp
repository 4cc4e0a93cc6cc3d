// Start, Stop, Reset, Pause, speed, status display and the station buttons.
#include "core/form1.h"

namespace maclab {

void Form1::cmdStart_Click(int index) {
    const std::string caption = cmdStart[0].Caption;
    if (caption == "Start" && index == 0) {
        ResetNetwork();
        cmdPause.Caption = "Pause";
        Running = VbTrue;
        cmdStart[0].Caption = "Stop";
    } else if (index == 0) {
        cmdPause.Caption = "Pause";
        Running = VbFalse;
        cmdStart[0].Caption = "Start";
    } else if (index == 1) {
        ResetNetwork();
    }
}

void Form1::cmdPause_Click() {
    if (cmdPause.Caption == "Pause") {
        cmdPause.Caption = "Cont";
        EnableTimer(false);
    } else {
        cmdPause.Caption = "Pause";
        EnableTimer(true);
    }
}

void Form1::chkSpeed_Click() {
    if (chkSpeed.Value == 1) {
        chkSpeed.Caption = "Fast";
        Timer1.Interval = 10;
    } else {
        chkSpeed.Caption = "Slow";
        Timer1.Interval = 200;
    }
}

void Form1::chkStatus_Click() {
    const bool on = chkStatus.Value == 1;
    chkStatus.Caption = on ? "Hide Status" : "Show Status";
    int last = CInt(NodeCount - 1);
    if (last > StationControls - 1) last = StationControls - 1;
    for (int i = 0; i <= last; ++i)
        for (Control* label : StatusLabels(i)) label->Visible = on;
}

void Form1::cmdNode_Click(int index) {
    // A station that is not laid out, or a network with fewer than two
    // stations, has nobody to send to.
    if (index < 0 || index >= ActiveStations() || ActiveStations() < 2) return;
    const Integer dest = PickDestination(static_cast<Integer>(index));
    QueuePacket(CInt(PacketLength), static_cast<Integer>(index), dest);
}

} // namespace maclab
