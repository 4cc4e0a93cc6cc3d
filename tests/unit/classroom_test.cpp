// What the window adds for teaching: legible colours, the marked scheme
// text, the legend, the tick counter, station numbers and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>

#include "core/form1.h"
#include "core/view_colours.h"

using namespace maclab;

namespace {
std::unique_ptr<Form1> Started() {
    auto form = std::make_unique<Form1>();
    form->Form_Load();
    return form;
}
} // namespace

// Every symbol stands out from silence as the medium shows it, and every
// text from what is behind it.
TEST(Classroom, ColoursMeetTheContrastFigures) {
    const auto f = Started();
    const Long silence = f->Medium.BackColor;
    for (const Long marker :
         {f->ColourGrey192, f->ColourGrey224, f->ColourGrey240, f->ColourGrey248, f->ColourWhite})
        EXPECT_GE(ContrastRatio(marker, silence), 2.0) << marker;
    for (int i = 0; i < StationControls; ++i)
        EXPECT_GE(ContrastRatio(f->NodeTable[i].DataColour, silence), 2.0) << i;
    EXPECT_GE(ContrastRatio(EndMarker, silence), 4.5);
    // Texts: black on the medium (status texts) and on the panel, the
    // coloured totals on the panel, station numbers on their buttons.
    EXPECT_GE(ContrastRatio(0, silence), 4.5);
    for (const ControlEntry& e : f->Controls()) {
        if (e.Type != ControlEntry::Kind::Label || IsSystemColour(e.Model->ForeColor) ||
            e.Model == &f->Label2)
            continue;
        EXPECT_GE(ContrastRatio(e.Model->ForeColor, PanelColour), 4.5) << e.Name;
    }
    f->UserPick(f->cmbNodes, " 24");
    for (int i = 0; i < StationControls; ++i)
        EXPECT_GE(ContrastRatio(f->cmdNode[i].ForeColor, f->NodeTable[i].AddressColour), 4.5) << i;
    // Silence is still a colour of its own for the rules.
    EXPECT_EQ(f->BackColour, PanelColour);
    for (int i = 0; i < StationRecords; ++i) {
        EXPECT_NE(f->NodeTable[i].AddressColour, f->BackColour);
        EXPECT_NE(f->NodeTable[i].DataColour, f->BackColour);
    }
}

TEST(Classroom, AnUnknownSchemeTextIsMarkedUntilItNamesOne) {
    const auto f = Started();
    f->UserEdit(f->cmbScheme, "CSMA/C");
    EXPECT_EQ(f->cmbScheme.ForeColor, NoSchemeColour);
    EXPECT_NE(f->cmbScheme.ToolTip.find("never send"), std::string::npos);
    f->UserEdit(f->cmbScheme, "CSMA/CD");
    EXPECT_EQ(f->cmbScheme.ForeColor, SystemColourWindowText);
    EXPECT_EQ(f->cmbScheme.ToolTip.find("never send"), std::string::npos);
}

TEST(Classroom, LegendTickCounterNumbersAndKeys) {
    const auto f = Started();
    EXPECT_FALSE(f->lblLegend[0].Visible);
    f->UserToggle(f->chkLegend);
    for (int k = 0; k < LegendRows; ++k) {
        EXPECT_TRUE(f->lblLegend[k].Visible && f->shpLegend[k].Visible);
        EXPECT_FALSE(f->lblLegend[k].Caption.empty());
    }
    EXPECT_EQ(f->shpLegend[LegendRows - 1].FillColor, f->Medium.BackColor); // silence
    f->UserToggle(f->chkLegend);
    EXPECT_FALSE(f->shpLegendBox.Visible);

    for (int t = 0; t < 1234; ++t) f->Timer1_Timer();
    f->cmdNode_Click(3);
    f->RefreshView();
    EXPECT_EQ(f->lblTick.Caption, "Tick 1234");
    EXPECT_EQ(f->cmdNode[3].Caption, "3");
    EXPECT_NE(f->cmdNode[3].ToolTip.find("Station 3: transmitter TxIdle"), std::string::npos);
    EXPECT_NE(f->cmdNode[3].ToolTip.find("1 queued"), std::string::npos);

    for (const auto& [key, name, index] :
         {std::tuple{"Space", "cmdPause", -1}, std::tuple{"Right", "cmdStep", -1},
          std::tuple{"S", "cmdStart", 0}, std::tuple{"R", "cmdStart", 1},
          std::tuple{"F", "chkSpeed", -1}, std::tuple{"L", "chkLegend", -1},
          std::tuple{"C", "chkChart", -1}})
        EXPECT_EQ(f->KeyControl(key), f->FindControl(name, index)) << key;
    EXPECT_EQ(f->KeyControl(""), nullptr);
}

// The chart toggle sits where nothing else ever is: no station, status text,
// line, legend or other control of any layout reaches its place.
TEST(Classroom, ChartToggleCoversNothing) {
    const auto overlaps = [](const Control& a, const Control& b) {
        float left = b.Left, top = b.Top, width = b.Width, height = b.Height;
        if (width == 0 && height == 0) { // a line: its bounding box
            left = std::min(b.X1, b.X2);
            top = std::min(b.Y1, b.Y2);
            width = std::abs(b.X2 - b.X1);
            height = std::abs(b.Y2 - b.Y1);
        }
        return left < a.Left + a.Width && a.Left < left + width && top < a.Top + a.Height &&
               a.Top < top + height;
    };
    for (const TopologyInfo& topology : Topologies)
        for (const char* nodes : {" 2", " 7", " 12", " 24"}) {
            const auto f = Started();
            f->UserPick(f->cmbTopology, std::string(topology.Name));
            f->UserPick(f->cmbNodes, nodes);
            for (Control* toggle : {&f->chkStatus, &f->chkReliable, &f->chkLegend, &f->chkChart})
                f->UserToggle(*toggle);
            f->cmdPause_Click(); // Step shown
            for (const ControlEntry& e : f->Controls()) {
                if (e.Model == &f->chkChart || !e.Model->Visible) continue;
                EXPECT_FALSE(overlaps(f->chkChart, *e.Model))
                    << topology.Name << nodes << " " << e.Name << " " << e.Index;
            }
        }
}
