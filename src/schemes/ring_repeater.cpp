// The ring repeater: a silent ring station passes on what it heard two ticks
// earlier, except what it takes off the ring.
#include "schemes/step_work.h"

namespace maclab {

void Form1::RingRepeater(int i) {
    Node& s = NodeTable[i];
    const Long own = s.AddressColour;
    // An RTS or CTS that this station sent, or that is addressed to it, is
    // taken off whole: such frames open a reception on white and would never
    // be stripped otherwise.
    if (s.Heard2 == ColourWhite && (s.Heard1 == own || s.Heard == own)) s.RingHoldOff = 6;
    // A station that starts a frame while another passes has cut into it and
    // swallows the rest of the passing frame.
    if (s.Output != BackColour && s.Heard2 != BackColour)
        s.RingCutIn = true;
    else if (s.RingCutIn && s.Heard2 == BackColour)
        s.RingCutIn = false;
    if (s.RingHoldOff > 0) {
        s.RingHoldOff = static_cast<Integer>(s.RingHoldOff - 1);
        return;
    }
    if (s.RingCutIn) return;

    if (s.RxState == RxStripping && s.Output == BackColour) return;
    if (s.Heard1 == ColourGrey224 && s.Heard2 == own && s.Output == BackColour) return;
    if (s.Output == BackColour) s.Output = s.Heard2;
}

} // namespace maclab
