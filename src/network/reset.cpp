// Starting the network afresh for the current settings.
#include "core/form1.h"

namespace maclab {

void Form1::ResetNetwork() {
    ClearNodes(); // also clears the drawing
    TickCount = 0;
    History.Clear();
    RingNext = 0;
    HubSource = -1;
    cmdStart[0].Caption = "Start";
    cmdPause.Caption = "Pause";
    lblUtilisation.Caption = Str(0);
    lblEfficiency.Caption = Str(0);
    LayoutNetwork();
    for (int i = 0; i < StationControls; ++i) {
        NodeTable[i].TxCount = 0;
        NodeTable[i].RxCount = 0;
    }
    TotalReceived = 0;
    TotalSent = 0;
    TotalQueued = 0;
    TotalDropped = 0;
    lblTotalDropped.Caption = WholeText(TotalDropped);
    lblTotalRx.Caption = WholeText(TotalReceived);
    lblTotalTx.Caption = WholeText(TotalSent);
    lblTotalQueued.Caption = WholeText(TotalQueued);
    // Every station is idle already (ClearNodes); none holds the token yet.
    for (int i = 0; i < StationControls; ++i) NodeTable[i].HoldsToken = VbFalse;
    const Scheme scheme = Settings.CurrentScheme;
    if (scheme == Scheme::Polling || scheme == Scheme::TokenPassing) {
        NodeTable[0].HoldsToken = VbTrue;
        QueueControl(CtlToken, 0, 1);
        PollNext = 1;
    }
    EnableTimer(true);
    Running = VbFalse;
}

} // namespace maclab
