// What the window adds for teaching with it: one tick at a time while
// paused, the tick counter, a legend of the medium's colours, station
// numbers, tooltips, and keys for the run controls.
#include <cstdio>

#include "core/form1.h"
#include "core/settings_text.h"
#include "core/view_colours.h"

namespace maclab {

namespace {
// The legend, right of the network picture and left of the toggles, where no
// control and no station stands.
constexpr const char* SchemeToolTip =
    "The medium access scheme every station follows. A change resets the network.";
constexpr const char* NodesToolTip = "Number of stations, 2 to 24. A change resets the network.";
constexpr const char* TrafficToolTip =
    "Offered traffic: packets arriving per packet time, as a multiple of what the medium can "
    "carry.";
constexpr const char* LengthToolTip = "Ticks per data frame, for packets queued from now on.";

// A number as a person would write it: no trailing zeros, no exponent for
// the values a box can end up using.
std::string NumberText(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", x);
    return text;
}

constexpr float LegendLeft = 9480, LegendTop = 1950, LegendWidth = 2340, LegendRow = 270;
} // namespace

void Form1::DesignClassroomControls() {
    cmdStep.Caption = "Step";
    Place(cmdStep, 12480, 5535, 1215, 615);
    cmdStep.Visible = false; // shown while the clock is paused
    cmdBack.Caption = "Back";
    Place(cmdBack, 11160, 5535, 1215, 615);
    cmdBack.Visible = false; // shown with Step
    lblTick.Caption = "Tick 0";
    Place(lblTick, 9480, 5100, 2340, 435);
    chkLegend.Caption = "Legend";
    Place(chkLegend, 12600, 1320, 1215, 555);
    // In the top row between the topology box and the scheme's caption, the
    // one place no station, status text or legend ever reaches.
    chkChart.Caption = "Chart";
    Place(chkChart, 5040, 60, 1215, 555);
    // Under the legend, left of the backoff toggle.
    chkSymbols.Caption = "Symbols";
    Place(chkSymbols, 9480, 4500, 1215, 555);
    chkReach.Caption = "Reach";
    Place(chkReach, 10740, 4500, 1095, 555);
    chkReach.Visible = false; // over radio only

    Place(Medium, 0, 660, 9420, 9420);
    Medium.BackColor = MediumColour;

    Place(shpLegendBox, LegendLeft - 60, LegendTop - 45, LegendWidth + 120,
          LegendRows * LegendRow + 90);
    shpLegendBox.Opaque = true;
    shpLegendBox.BackColor = PanelColour;
    shpLegendBox.BorderColor = 0;
    shpLegendBox.Visible = false;
    for (int k = 0; k < LegendRows; ++k) {
        const float top = LegendTop + k * LegendRow;
        Control& swatch = shpLegend[k];
        Place(swatch, LegendLeft, top + 15, 240, 240);
        swatch.Shape = ShapeForm::Circle;
        swatch.SolidFill = true;
        swatch.BorderColor = 0;
        swatch.BorderWidth = 1;
        swatch.Visible = false;
        Control& label = lblLegend[k];
        Place(label, LegendLeft + 330, top, LegendWidth - 330, LegendRow);
        label.FontSize = 12;
        label.ForeColor = 0;
        label.Visible = false;
    }
}

// The symbols of the medium, each with what it means; called once the
// stations have their colours (station 0 stands for all).
void Form1::FillLegend() {
    const std::pair<Long, const char*> rows[LegendRows] = {
        {NodeTable[0].AddressColour, "address (own colour)"},
        {NodeTable[0].DataColour, "data (pale tint)"},
        {EndMarker, "end of a frame"},
        {CollisionColour, "garbled"},
        {ColourGrey192, "RTS (after white)"},
        {ColourGrey240, "CTS (after white)"},
        {ColourGrey224, "token or poll"},
        {ColourGrey248, "acknowledgement"},
        {Medium.BackColor, "silence"}};
    for (int k = 0; k < LegendRows; ++k) {
        shpLegend[k].FillColor = rows[k].first;
        lblLegend[k].Caption = rows[k].second;
    }
}

void Form1::EnableTimer(bool on) {
    Timer1.Enabled = on;
    cmdStep.Visible = !on;
    cmdBack.Visible = !on;
}

void Form1::cmdStep_Click() {
    Timer1_Timer();
}

void Form1::chkLegend_Click() {
    const bool on = chkLegend.Value == 1;
    shpLegendBox.Visible = on;
    for (int k = 0; k < LegendRows; ++k) {
        shpLegend[k].Visible = on;
        lblLegend[k].Visible = on;
    }
}

// The charts are drawn by the front end while the toggle is pressed; no rule
// reads it.
void Form1::chkChart_Click() {}

// Drawn by the front ends while pressed; no rule reads them.
void Form1::chkSymbols_Click() {}
void Form1::chkReach_Click() {}

void Form1::RefreshView() {
    lblTick.Caption = "Tick " + WholeText(TickCount);
    const int n = std::min(ActiveStations(), StationControls);
    for (int i = 0; i < n; ++i) {
        const Node& s = NodeTable[i];
        std::string_view tx = TxStateCaption(s.TxState);
        if (tx.empty()) tx = s.TxState == TxSendingAck ? "SendingAck" : "AckSent";
        std::string tip = "Station " + WholeText(i) + ": transmitter " + std::string(tx) +
                          ", receiver " + std::string(RxStateCaption(s.RxState)) + ", " +
                          WholeText(s.QueueCount) + " queued";
        if (cmdNode[i].ToolTip != tip) {
            shpNode[i].ToolTip = tip;
            cmdNode[i].ToolTip = std::move(tip);
        }
    }
}

void Form1::MarkNumberText(ComboBox& box) {
    const std::string_view text = TrimmedText(box.Text);
    double typed = 0;
    const bool plain = ReadDecimal(text, typed);
    std::string instead;
    if (&box == &cmbNodes) {
        const double used = NodeCountFromText(box.Text);
        if (!plain || used != typed)
            instead = used == 0 ? std::string("Not 2 to 24 stations: the network is left empty. ")
                                : "Not 2 to 24 whole stations: " + NumberText(used) + " are used. ";
        else
            box.ToolTip = NodesToolTip;
    } else if (&box == &cmbOT) {
        const double used = OfferedTrafficFromText(box.Text);
        if (!plain || used != typed)
            instead =
                "Not an offered traffic from 0 to 1000000: " + NumberText(used) + " is used. ";
        else
            box.ToolTip = TrafficToolTip;
    } else if (&box == &cmbLength) {
        const double used = PacketLengthFromText(box.Text);
        if (!plain || used != typed)
            instead =
                "Not a packet length from 3 to 10000 ticks: " + NumberText(used) + " is used. ";
        else
            box.ToolTip = LengthToolTip;
    }
    if (!instead.empty()) box.ToolTip = instead + "Type a number or pick one from the list.";
    box.ForeColor = instead.empty() ? SystemColourWindowText : NoSchemeColour;
}

void Form1::MarkSchemeText() {
    const bool named = Settings.CurrentScheme != Scheme::Other;
    cmbScheme.ForeColor = named ? SystemColourWindowText : NoSchemeColour;
    cmbScheme.ToolTip = named ? SchemeToolTip
                              : "No scheme has this name: the stations will queue packets and "
                                "never send. Pick a scheme from the list.";
}

const ControlEntry* Form1::KeyControl(std::string_view key) const {
    for (const ControlEntry& e : ControlTable)
        if (!key.empty() && e.Key == key) return &e;
    return nullptr;
}

// The tooltips of the controls whose meaning never changes.
void Form1::WriteToolTips() {
    const std::pair<Control*, const char*> tips[] = {
        {&cmbTopology, "How the stations are joined: Star, Ring, Bus, Space or Wide Space "
                       "(stations out of each other's reach). A change resets the network."},
        {&cmbScheme, SchemeToolTip},
        {&cmbNodes, NodesToolTip},
        {&cmbOT, TrafficToolTip},
        {&cmbLength, LengthToolTip},
        {&chkSpeed, "Slow: a tick every 200 ms; Fast: every 10 ms (key F)."},
        {&chkStatus, "Show or hide each station's transmitter, receiver and queue."},
        {&chkReliable, "Reliable: every frame is acknowledged and sent again after a time-out."},
        {&chkRandom, "Random Backoff: a station waits a random time before it tries again, so "
                     "stations that collided fall out of step. Constant Backoff: every station "
                     "waits the same time, and stations that collided collide again. Read by "
                     "reliable mode, RTS/CTS and CSMA/CD + R."},
        {&chkSymbols, "Draw a mark inside every symbol on the medium, so that none is told by "
                      "colour alone (key Y)."},
        {&chkReach, "Draw how far each station's radio reaches (key H)."},
        {&cmdStart[0], "Start: reset and begin random arrivals; Stop: end them (key S)."},
        {&cmdStart[1], "Clear the network and every count (key R)."},
        {&cmdPause, "Freeze the clock, or let it run again (key Space)."},
        {&cmdStep, "Run exactly one tick (key Right)."},
        {&cmdBack, "Go back one tick, to the state the network had then (key Left)."},
        {&chkLegend, "Show or hide what each colour on the medium means (key L)."},
        {&chkChart, "Show or hide the charts beside the network: the run over time, and "
                    "throughput against offered traffic with the theory (key C)."},
        {&lblTick, "Ticks since the network was last reset."},
        {&lblTotalTx, "Frames sent whole since the last reset."},
        {&lblTotalRx, "Frames delivered intact since the last reset."},
        {&lblTotalQueued, "Packets that have entered a queue since the last reset."},
        {&lblUtilisation, "Received x packet length / ticks: the share of time the medium "
                          "carried delivered frames."},
        {&lblEfficiency, "Received / queued: the share of packets that got through."},
        {&lblTotalDropped, "Packets given up since the last reset: cut off by a collision in "
                           "unreliable mode, or after 16 collisions under CSMA/CD + R."}};
    for (const auto& [control, tip] : tips) control->ToolTip = tip;
    // A caption says what its box or figure says.
    for (const auto& [caption, of] : {std::pair<Control*, const Control*>{&Label14, &cmbTopology},
                                      {&Label4, &cmbScheme},
                                      {&Label1, &cmbNodes},
                                      {&Label3, &cmbOT},
                                      {&Label13, &cmbOT},
                                      {&Label5, &cmbLength},
                                      {&Label6, &lblTotalTx},
                                      {&Label7, &lblTotalRx},
                                      {&Label8, &lblTotalQueued},
                                      {&Label10, &lblUtilisation},
                                      {&Label9, &lblUtilisation},
                                      {&Label12, &lblEfficiency},
                                      {&Label11, &lblEfficiency},
                                      {&Label15, &lblTotalDropped}})
        caption->ToolTip = of->ToolTip;
    Label2.ToolTip = "Whether random arrivals are on (never shown).";
    Line1.ToolTip = "The bus: signals travel one cell a tick in both directions.";
    for (Control& piece : Shape4) piece.ToolTip = "An end of the bus, where signals leave it.";
    Shape1.ToolTip = "The hub: it sends a lone signal on to every spoke, and red when "
                     "signals meet.";
    for (int k = 0; k < LegendRows; ++k) {
        lblLegend[k].ToolTip = "What this colour means on the medium.";
        shpLegend[k].ToolTip = lblLegend[k].ToolTip;
    }
    shpLegendBox.ToolTip = lblLegend[0].ToolTip;
    for (int i = 0; i < StationControls; ++i) {
        lneDrop[i].ToolTip = "The medium next to station " + WholeText(i);
        cmdNode[i].ToolTip = "Station " + WholeText(i) + ": click to queue a packet";
        shpNode[i].ToolTip = cmdNode[i].ToolTip;
        lblTxStatus[i].ToolTip = "Station " + WholeText(i) + "'s transmitter";
        lblRxStatus[i].ToolTip = "Station " + WholeText(i) + "'s receiver";
        lblQueued[i].ToolTip =
            "Station " + WholeText(i) + ": packets queued : control frames pending";
    }
}

} // namespace maclab
