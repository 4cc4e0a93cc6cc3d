// The single pending-control-frame slot of a station.
#include "core/form1.h"

namespace maclab {

void Form1::QueueControl(Long kind, Integer i, Integer dest) {
    Resting = false;
    Node& s = NodeTable[i];
    s.ControlKind[0] = kind;
    s.ControlDest[0] = dest;
    s.ControlPending = 1;
}

void Form1::CancelControl(Integer i) {
    NodeTable[i].ControlPending = 0;
}

} // namespace maclab
