// Changes of node count, packet length, scheme, topology and the two toggles
// that the stations consult.
#include "core/form1.h"
#include "core/settings_text.h"

namespace maclab {

void Form1::cmbNodes_Change() {
    NodeCount = NodeCountFromText(cmbNodes.Text);
    ResetNetwork();
}

void Form1::cmbNodes_Click() {
    cmbNodes_Change();
}

void Form1::cmbLength_Change() {
    PacketLength = PacketLengthFromText(cmbLength.Text);
}

void Form1::cmbLength_Click() {
    cmbLength_Change();
}

void Form1::cmbScheme_Change() {
    ResetNetwork();
    ShowBackoffToggle();
}

void Form1::cmbScheme_Click() {
    cmbScheme_Change();
}

void Form1::cmbTopology_Change() {
    for (const TopologyInfo& t : Topologies)
        if (cmbTopology.Text == t.Name) Topology = t.Code;
    chkReach.Visible = Topology == TopoSpace || Topology == TopoWideSpace;
    ResetNetwork();
    cmbNodes_Change();
}

void Form1::cmbTopology_Click() {
    for (const TopologyInfo& t : Topologies)
        if (cmbTopology.Text == t.Name && Topology != t.Code) cmbTopology_Change();
}

void Form1::chkRandom_Click() {
    chkRandom.Caption = chkRandom.Value == 1 ? "Random Backoff" : "Constant Backoff";
}

void Form1::chkReliable_Click() {
    chkReliable.Caption = chkReliable.Value == 1 ? "Reliable" : "Unreliable";
    ShowBackoffToggle();
}

// Reliable mode reads the backoff for its time-out, RTS/CTS for its RTS
// time-out, and "CSMA/CD + R" for its retransmission backoff.
void Form1::ShowBackoffToggle() {
    chkRandom.Visible =
        chkReliable.Value == 1 || cmbScheme.Text == "RTS/CTS" || cmbScheme.Text == "CSMA/CD + R";
}

// The one place a combo box's text changes.
void Form1::WriteText(ComboBox& box, const std::string& text) {
    box.Text = text;
    ControlChanged(box);
}

void Form1::SetComboText(ComboBox& box, const std::string& text) {
    UserEdit(box, text);
}

void Form1::UserPick(ComboBox& box, const std::string& entry) {
    WriteText(box, entry);
    const ControlEntry* e = EntryOf(box);
    if (e != nullptr && e->Pick != nullptr) (this->*e->Pick)();
}

void Form1::UserEdit(ComboBox& box, const std::string& text) {
    WriteText(box, text);
    const ControlEntry* e = EntryOf(box);
    if (e != nullptr && e->Change != nullptr) (this->*e->Change)();
}

void Form1::UserToggle(Control& toggle) {
    toggle.Value = toggle.Value == 1 ? 0 : 1;
    ControlChanged(toggle);
    const ControlEntry* e = EntryOf(toggle);
    if (e != nullptr && e->Click != nullptr) (this->*e->Click)();
}

void Form1::UserClick(const ControlEntry& button) {
    if (button.IndexedClick != nullptr)
        (this->*button.IndexedClick)(button.Index);
    else if (button.Click != nullptr)
        (this->*button.Click)();
}

} // namespace maclab
