// The window's state at creation, and putting every station back to idle.
#include <algorithm>

#include "core/form1.h"
#include "core/settings_text.h"
#include "core/view_colours.h"

namespace maclab {

namespace {
Control& Labelled(Control& c, const char* caption, float left, float top, float width,
                  float height) {
    c.Caption = caption;
    Place(c, left, top, width, height);
    return c;
}
} // namespace

SettingsCopy Form1::SettingsFromControls() const {
    SettingsCopy c;
    c.CurrentScheme = SchemeFromText(cmbScheme.Text);
    c.OfferedTraffic = OfferedTrafficFromText(cmbOT.Text);
    c.Reliable = chkReliable.Value;
    c.RandomBackoff = chkRandom.Value;
    c.StatusShown = chkStatus.Value;
    return c;
}

void Form1::ControlChanged(const Control& control) {
    Resting = false;
    if (&control == &cmbScheme) {
        Settings.CurrentScheme = SchemeFromText(cmbScheme.Text);
        MarkSchemeText();
    } else if (&control == &cmbOT) {
        Settings.OfferedTraffic = OfferedTrafficFromText(cmbOT.Text);
        MarkNumberText(cmbOT);
    } else if (&control == &cmbNodes)
        MarkNumberText(cmbNodes);
    else if (&control == &cmbLength)
        MarkNumberText(cmbLength);
    else if (&control == &chkReliable)
        Settings.Reliable = chkReliable.Value;
    else if (&control == &chkRandom)
        Settings.RandomBackoff = chkRandom.Value;
    else if (&control == &chkStatus)
        Settings.StatusShown = chkStatus.Value;
}

// The controls as the window is designed, before start-up runs.
Form1::Form1() {
    constexpr Long background = PanelColour;
    Place(Form, 0, 0, 14070, 10080);
    Form.BackColor = background;

    Labelled(Label14, "Topology:", 120, 90, 1815, 495);
    Labelled(Label4, "Scheme", 6720, 120, 1455, 375);
    Labelled(Label1, "Nodes", 12600, 120, 1215, 375);
    Labelled(Label3, "Offered Traffic", 8760, 795, 2415, 375);
    Labelled(Label13, "x NetCap", 12600, 840, 1215, 375).FontSize = 13.5f;
    Labelled(Label5, "Packet Length", 8880, 1380, 2295, 495);

    cmbTopology.Text = "Combo1";
    Place(cmbTopology, 2040, 60, 2535, 555);
    cmbScheme.Text = "Combo1";
    Place(cmbScheme, 8280, 60, 3015, 555);
    cmbNodes.Text = "cmbNodes";
    Place(cmbNodes, 11400, 60, 1215, 555);
    cmbOT.Text = "Combo1";
    Place(cmbOT, 11280, 720, 1215, 555);
    cmbLength.Text = "Combo1";
    Place(cmbLength, 11280, 1320, 1215, 555);

    Labelled(chkSpeed, "Slow", 11880, 2160, 1815, 615);
    Labelled(chkStatus, "Show Status", 11880, 2820, 1815, 975);
    Labelled(chkReliable, "Unreliable", 11880, 3840, 1815, 615);
    // Pressed from the start; shown only where a rule reads it.
    Labelled(chkRandom, "Random Backoff", 11880, 4440, 1815, 1035).Visible = false;
    chkRandom.Value = 1;

    Labelled(cmdStart[0], "Start", 9840, 6240, 1215, 615);
    Labelled(cmdStart[1], "Reset", 11160, 6240, 1215, 615);
    Labelled(cmdPause, "Pause", 12480, 6240, 1215, 615);

    Labelled(Label6, "Total Transmitted", 9480, 7080, 2895, 495).ForeColor = RGB(0, 128, 0);
    Labelled(lblTotalTx, "0", 12480, 7080, 1095, 495).ForeColor = RGB(0, 128, 0);
    Labelled(Label7, "Total Received", 9480, 7560, 2895, 495).ForeColor = RGB(0, 0, 128);
    Labelled(lblTotalRx, "0", 12480, 7560, 1095, 495).ForeColor = RGB(0, 0, 128);
    Labelled(Label8, "Total Queued", 9480, 8040, 2895, 495).ForeColor = RGB(128, 0, 128);
    Labelled(lblTotalQueued, "0", 12480, 8040, 1095, 495).ForeColor = RGB(128, 0, 128);
    Labelled(Label10, "Utilisation", 9840, 8520, 2535, 495);
    Labelled(lblUtilisation, "0", 12360, 8520, 855, 495);
    Labelled(Label9, "%", 13320, 8520, 375, 495);
    Labelled(Label12, "Efficiency", 9840, 9000, 2535, 495);
    Labelled(lblEfficiency, "0", 12360, 9000, 855, 495);
    Labelled(Label11, "%", 13320, 9000, 375, 495);
    // The packets given up, a row under the efficiency (the form grows by it).
    Labelled(Label15, "Total Dropped", 9480, 9480, 2895, 495).ForeColor = RGB(160, 0, 0);
    Labelled(lblTotalDropped, "0", 12480, 9480, 1095, 495).ForeColor = RGB(160, 0, 0);
    Labelled(Label2, "Label2", 120, 9240, 975, 375).ForeColor = RGB(255, 255, 255);
    Label2.FontSize = 13.5f;

    Line1.X1 = 360;
    Line1.Y1 = 4800;
    Line1.X2 = 9120;
    Line1.Y2 = 4800;
    Line1.BorderWidth = 4;
    Line1.BorderColor = SystemColourWindowText;
    for (int k = 0; k < 2; ++k) {
        Place(Shape4[k], k == 0 ? 9120 : 240, 4440, 135, 735);
        Shape4[k].BackColor = RGB(0, 128, 0);
        Shape4[k].BorderColor = SystemColourWindowText;
    }
    for (Control& piece : Shape4) piece.Opaque = true;
    Place(Shape1, 3840, 4320, 1635, 975);
    Shape1.Shape = ShapeForm::Circle;
    Shape1.BorderWidth = 6;
    Shape1.BorderColor = SystemColourWindowText;

    for (int i = 0; i < StationControls; ++i) {
        // Each station's button carries the station's number.
        cmdNode[i].Caption = WholeText(i);
        cmdNode[i].FontSize = 12;
        Place(cmdNode[i], 0, 0, 375, 375);
        cmdNode[i].BackColor = RGB(128, 128, 255);
        cmdNode[i].Graphical = true;
        Place(shpNode[i], 0, 0, 735, 615);
        shpNode[i].Shape = ShapeForm::Circle;
        shpNode[i].SolidFill = true;
        shpNode[i].BorderColor = RGB(0, 0, 128);
        shpNode[i].BorderWidth = 5;
        shpNode[i].FillColor = RGB(128, 128, 255);
        lneDrop[i].BorderWidth = 2;
        lneDrop[i].BorderColor = SystemColourWindowText;
        for (Control* label : StatusLabels(i)) {
            Place(*label, 0, 0, 2400, 255);
            label->FontSize = 12;
            label->Visible = false; // shown only while status display is on
        }
    }
    DesignClassroomControls();
    WriteToolTips();
    BuildControlTable();
    // Every label has the window's background behind its text.
    for (const ControlEntry& e : ControlTable)
        if (e.Type == ControlEntry::Kind::Label) e.Model->BackColor = background;
    Settings = SettingsFromControls();
}

void Form1::ClearNodes() {
    Resting = false;
    // Everything drawn on the surface goes; the controls stay.  (Clearing it
    // once is enough: nothing is drawn while the records are cleared.)
    Canvas->Clear();
    for (int i = 0; i < StationRecords; ++i) {
        Node& n = NodeTable[i];
        n.TxTimer = 0;
        n.RxState = RxIdle;
        n.TxState = TxIdle;
        n.QueueCount = 0;
        n.ControlPending = 0;
        n.TxProgress = 0;
        // A reset also ends any reception in progress and forgets the step's
        // own bookkeeping, so no stale count outlives the run it belonged to.
        n.RxProgress = 0;
        n.RxValid = VbFalse;
        n.CollisionCount = 0;
        n.ControlOnAir = false;
        n.RxOpenedOnOwn = false;
        n.RingHoldOff = 0;
        n.RingCutIn = false;
        n.AckFromBackoff = false;
        n.TxSeq = 0;
        n.FrameSeq = 0;
        n.LastSeq.fill(-1);
        n.RxDuplicates = 0;
        n.QueueLeft.fill(0);
        // Nothing of the run is left behind, not even in the queue's unused
        // entries or the peers of the last exchange (no rule reads them
        // before writing them, but a record should start as a fresh one).
        n.QueueLength.fill(0);
        n.QueueDest.fill(0);
        n.ControlKind.fill(0);
        n.ControlDest.fill(0);
        n.RxPeer = 0;
        n.CtlPeer = 0;
        // Every cell of the path, not only those of the last layout: the Bus
        // drop line uses three outgoing cells with a path length of 1, and a
        // record that drops out of the network must be left wholly silent.
        for (int k = 0; k < PathCells; ++k) {
            n.OutPath[k] = BackColour;
            n.InPath[k] = BackColour;
            n.CellShown[k] = BackColour;
        }
        n.Heard = BackColour;
        n.Heard1 = BackColour;
        n.Heard2 = BackColour;
        n.Output = BackColour;
    }
    for (int c = 0; c < LastBusCell; ++c) {
        BusLeft[c] = BackColour;
        BusRight[c] = BackColour;
        BusShown[c] = BackColour;
    }
}

} // namespace maclab
