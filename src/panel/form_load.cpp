// Start-up: defaults, lists and the first reset.
#include "core/form1.h"

namespace maclab {

void Form1::FillSettingLists() {
    cmbNodes.List.clear();
    for (int n = 2; n <= StationControls; ++n) cmbNodes.List.push_back(Str(n));
    cmbTopology.List.clear();
    for (const Integer code : TopologyListOrder)
        cmbTopology.List.emplace_back(TopologyOf(code).Name);
    SetComboText(cmbTopology, "Star");
    cmbOT.List = {"0.01", "0.1", "0.2", "0.4", "0.6", "0.8",
                  "1.0",  "1.2", "1.4", "1.6", "1.8", "2.0"};
    cmbLength.List = {" 3", " 6", " 10", " 20", " 50", " 100", " 200"};
    cmbScheme.List.clear();
    for (const SchemeName& scheme : SchemeNames)
        if (scheme.Listed) cmbScheme.List.emplace_back(scheme.Text);
}

void Form1::Form_Load() {
    Label2.Visible = false;
    EnableTimer(false);
    BuildPalette();
    TickCount = 0;
    Topology = TopoStar;
    SetComboText(cmbTopology, "Star");
    BackColour = Form.BackColor;
    ColourGrey248 = RGB(248, 248, 248);
    ColourGrey224 = RGB(224, 224, 224);
    ColourGrey240 = RGB(240, 240, 240);
    ColourGrey192 = RGB(192, 192, 192);
    ColourWhite = RGB(255, 255, 255);
    FillSettingLists();
    NodeCount = 7;
    SetComboText(cmbNodes, " 7");
    PacketLength = 10;
    SetComboText(cmbLength, " 10");
    SetComboText(cmbScheme, "ALOHA");
    SetComboText(cmbOT, " 0.1");
    ResetNetwork();
    FillLegend();
    StartSession();
}

} // namespace maclab
