// The working values of one call of StepNode, shared by the parts of the
// station step.  They live only for the call and all start false.
#pragma once

#include "core/form1.h"

namespace maclab {

struct Form1::StepWork {
    Scheme scheme = Scheme::Other;
    Long H0 = 0; // what the station heard this tick, as it entered the step
    Long H1 = 0; // what it heard one tick earlier
    bool MaySend = false;
    bool FrameEnded = false;
    bool AckHeard = false;
    bool PassToken = false;
    bool CtsForMe = false;
    bool CtsForOther = false;
    bool RtsForMe = false;
    bool RtsForOther = false;
    // A row of the control-frame sender acted in this step.
    bool ControlContinued = false;
    // The collision abort ended the frame on the air in this step.
    bool Aborted = false;
    // Why AckHeard was last set: which way the head packet leaves the queue.
    int LeftReason = Node::LeftAcknowledged;
};

inline bool IsTokenScheme(Scheme s) {
    return s == Scheme::TokenPassing || s == Scheme::Polling;
}
inline bool IsCollisionDetecting(Scheme s) {
    return s == Scheme::CsmaCd || s == Scheme::CsmaCdR;
}
inline bool IsRadio(Integer topology) {
    return topology == TopoSpace || topology == TopoWideSpace;
}

} // namespace maclab
