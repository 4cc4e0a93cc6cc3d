// "Token Passing" and "Polling": handing on the right to send.
#include "schemes/step_work.h"

namespace maclab {

void Form1::PassRight(int i, StepWork& w) {
    Node& s = NodeTable[i];
    s.HoldsToken = VbFalse;
    const auto me = static_cast<Integer>(i);
    if (w.scheme == Scheme::TokenPassing) {
        QueueControl(CtlToken, me, static_cast<Integer>(Mod(i + 1, NodeCount)));
    } else if (w.scheme == Scheme::Polling) {
        if (i != 0) {
            QueueControl(CtlToken, me, 0); // back to the master
            return;
        }
        QueueControl(CtlToken, 0, PollNext);
        // Over radio the master skips stations it cannot reach: a poll they
        // never hear would never come back.
        const int limit = CInt(NodeCount);
        int advances = 0;
        do {
            PollNext = static_cast<Integer>(Mod(PollNext + 1, NodeCount));
            if (PollNext == 0) PollNext = 1;
            ++advances;
        } while (IsRadio(Topology) && advances < limit && PollNext < StationRecords &&
                 RadioDelay(0, PollNext) >= PathLength);
    }
}

} // namespace maclab
