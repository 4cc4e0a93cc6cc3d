// Changes of node count, packet length, scheme, topology and the two toggles
// that the stations consult.
#include <algorithm>

#include "core/form1.h"

namespace maclab {

namespace {
// A typed node count becomes 0 (no network) or a whole number of 2..24
// stations, so every later use has a sound value.
double NodeCountFromText(const std::string& text) {
    const double n = LeadingNumber(text);
    if (n < 2) return 0;
    if (n > 24) return 24;
    return RoundHalfEven(n);
}
} // namespace

void Form1::cmbNodes_Change() {
    NodeCount = NodeCountFromText(cmbNodes.Text);
    ResetNetwork();
}

void Form1::cmbNodes_Click() { cmbNodes_Change(); }

void Form1::cmbLength_Change() {
    // Shorter frames never reach their end marker, and 0 would divide the
    // arrival rate and the slot length by zero.
    PacketLength = std::clamp(LeadingNumber(cmbLength.Text), 3.0, 10000.0);
}

void Form1::cmbLength_Click() { cmbLength_Change(); }

void Form1::cmbScheme_Change() { ResetNetwork(); }

void Form1::cmbScheme_Click() { cmbScheme_Change(); }

namespace {
constexpr std::pair<const char*, Integer> TopologyNames[] = {
    {"Bus", TopoBus}, {"Star", TopoStar}, {"Ring", TopoRing}, {"Space", TopoSpace},
    {"Wide Space", TopoWideSpace}};
}

void Form1::cmbTopology_Change() {
    for (const auto& [name, code] : TopologyNames)
        if (cmbTopology.Text == name) Topology = code;
    ResetNetwork();
    cmbNodes_Change();
}

void Form1::cmbTopology_Click() {
    for (const auto& [name, code] : TopologyNames)
        if (cmbTopology.Text == name && Topology != code) cmbTopology_Change();
}

void Form1::chkRandom_Click() {
    chkRandom.Caption = chkRandom.Value == 1 ? "Random Backoff" : "Constant Backoff";
}

void Form1::chkReliable_Click() {
    if (chkReliable.Value == 1) {
        chkReliable.Caption = "Reliable";
        chkRandom.Visible = true;
        chkRandom.Caption = "Button B";
    } else {
        chkReliable.Caption = "Unreliable";
        chkRandom.Visible = false;
    }
}

void Form1::SetComboText(ComboBox& box, const std::string& text) {
    box.Text = text;
    ComboChanged(box);
}

void Form1::ComboChanged(ComboBox& box) {
    if (&box == &cmbNodes)
        cmbNodes_Change();
    else if (&box == &cmbLength)
        cmbLength_Change();
    else if (&box == &cmbScheme)
        cmbScheme_Change();
    else if (&box == &cmbTopology)
        cmbTopology_Change();
}

void Form1::ComboPicked(ComboBox& box) {
    if (&box == &cmbNodes)
        cmbNodes_Click();
    else if (&box == &cmbLength)
        cmbLength_Click();
    else if (&box == &cmbScheme)
        cmbScheme_Click();
    else if (&box == &cmbTopology)
        cmbTopology_Click();
}

void Form1::UserPick(ComboBox& box, const std::string& entry) {
    box.Text = entry;
    ComboPicked(box);
}

void Form1::UserEdit(ComboBox& box, const std::string& text) {
    box.Text = text;
    ComboChanged(box);
}

void Form1::UserToggle(Control& toggle) {
    toggle.Value = toggle.Value == 1 ? 0 : 1;
    if (&toggle == &chkSpeed)
        chkSpeed_Click();
    else if (&toggle == &chkStatus)
        chkStatus_Click();
    else if (&toggle == &chkReliable)
        chkReliable_Click();
    else if (&toggle == &chkRandom)
        chkRandom_Click();
}

} // namespace maclab
