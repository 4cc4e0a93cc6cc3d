// One step of a station: the seventeen steps in their fixed order.  Later
// steps see what earlier ones changed, so the order below is the behaviour.
#include "schemes/step_work.h"

namespace maclab {

void Form1::StepNode(Integer i) {
    Resting = false;
    Node& s = NodeTable[i];
    StepWork w;
    w.scheme = Settings.CurrentScheme;

    NodeShapeEcho(i);                                         // 1
    w.H0 = s.Heard;                                           // 2
    w.H1 = s.Heard1;                                          //
    ReceiveSymbol(i, w);                                      // 3
    if (IsCollisionDetecting(w.scheme)) CarrierRule(i, w);    // 4
    if (w.scheme == Scheme::RtsCts) RtsCtsRules(i, w);        // 5
    w.FrameEnded = false;                                     // 6
    if (s.ControlPending > 0) SendControlFrame(i, w);         //
    w.MaySend = SendDecision(i, w);                           // 7
    SendDataFrame(i, w);                                      // 8
    if (IsCollisionDetecting(w.scheme)) CollisionAbort(i, w); // 9
    AgeAfterFrame(i);                                         // 10
    if (w.FrameEnded) EndFrame(i, w);                         // 11
    AckTimer(i);                                              // 12
    if (w.AckHeard) RemoveHeadPacket(i, w);                   // 13
    if (w.PassToken) PassRight(i, w);                         // 14
    if (Topology == TopoRing) RingRepeater(i);                // 15
    s.Heard2 = s.Heard1;                                      // 16
    s.Heard1 = s.Heard;                                       //
    if (Settings.StatusShown == 1) ShowStatus(i);             // 17
}

Integer Form1::StationWithAddress(Long colour) const {
    Integer found = 0;
    const int n = ActiveStations();
    for (int k = 0; k < n; ++k)
        if (NodeTable[k].AddressColour == colour) found = static_cast<Integer>(k);
    return found;
}

} // namespace maclab
