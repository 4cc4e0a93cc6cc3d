// The window right after start-up: every control, list and default.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/form1.h"
#include "core/view_colours.h"

using namespace maclab;

namespace {

std::unique_ptr<Form1> Started() {
    auto form = std::make_unique<Form1>();
    form->Form_Load();
    return form;
}

using Kind = ControlEntry::Kind;

struct Placed {
    const char* name;
    int index;
    Kind kind;
    std::string caption;
    float left, top, width, height;
};

} // namespace

// Every control of the window's design is in the table of controls, under its
// name, with its kind, caption and place; the per-station arrays are whole.
TEST(PanelStartup, EveryControlHasItsCaptionAndPlace) {
    const auto form = Started();
    const Form1& f = *form;
    const std::vector<Placed> controls = {
        {"Label14", -1, Kind::Label, "Topology:", 120, 90, 1815, 495},
        {"cmbTopology", -1, Kind::ComboBox, "", 2040, 60, 2535, 555},
        {"Label4", -1, Kind::Label, "Scheme", 6720, 120, 1455, 375},
        {"cmbScheme", -1, Kind::ComboBox, "", 8280, 60, 3015, 555},
        {"cmbNodes", -1, Kind::ComboBox, "", 11400, 60, 1215, 555},
        {"Label1", -1, Kind::Label, "Nodes", 12600, 120, 1215, 375},
        {"Label3", -1, Kind::Label, "Offered Traffic", 8760, 795, 2415, 375},
        {"cmbOT", -1, Kind::ComboBox, "", 11280, 720, 1215, 555},
        {"Label13", -1, Kind::Label, "x NetCap", 12600, 840, 1215, 375},
        {"Label5", -1, Kind::Label, "Packet Length", 8880, 1380, 2295, 495},
        {"cmbLength", -1, Kind::ComboBox, "", 11280, 1320, 1215, 555},
        {"chkSpeed", -1, Kind::Toggle, "Slow", 11880, 2160, 1815, 615},
        {"chkStatus", -1, Kind::Toggle, "Show Status", 11880, 2820, 1815, 975},
        {"chkReliable", -1, Kind::Toggle, "Unreliable", 11880, 3840, 1815, 615},
        {"chkRandom", -1, Kind::Toggle, "Random Backoff", 11880, 4440, 1815, 1035},
        {"cmdStart", 0, Kind::Button, "Start", 9840, 6240, 1215, 615},
        {"cmdStart", 1, Kind::Button, "Reset", 11160, 6240, 1215, 615},
        {"cmdPause", -1, Kind::Button, "Pause", 12480, 6240, 1215, 615},
        {"Label6", -1, Kind::Label, "Total Transmitted", 9480, 7080, 2895, 495},
        {"lblTotalTx", -1, Kind::Label, "0", 12480, 7080, 1095, 495},
        {"Label7", -1, Kind::Label, "Total Received", 9480, 7560, 2895, 495},
        {"lblTotalRx", -1, Kind::Label, "0", 12480, 7560, 1095, 495},
        {"Label8", -1, Kind::Label, "Total Queued", 9480, 8040, 2895, 495},
        {"lblTotalQueued", -1, Kind::Label, "0", 12480, 8040, 1095, 495},
        {"Label10", -1, Kind::Label, "Utilisation", 9840, 8520, 2535, 495},
        {"lblUtilisation", -1, Kind::Label, " 0", 12360, 8520, 855, 495},
        {"Label9", -1, Kind::Label, "%", 13320, 8520, 375, 495},
        {"Label12", -1, Kind::Label, "Efficiency", 9840, 9000, 2535, 495},
        {"lblEfficiency", -1, Kind::Label, " 0", 12360, 9000, 855, 495},
        {"Label11", -1, Kind::Label, "%", 13320, 9000, 375, 495},
        {"Label15", -1, Kind::Label, "Total Dropped", 9480, 9480, 2895, 495},
        {"lblTotalDropped", -1, Kind::Label, "0", 12480, 9480, 1095, 495},
        {"Label2", -1, Kind::Label, "Label2", 120, 9240, 975, 375},
        {"cmdStep", -1, Kind::Button, "Step", 12480, 5535, 1215, 615},
        {"lblTick", -1, Kind::Label, "Tick 0", 9480, 5100, 2340, 435},
        {"cmdBack", -1, Kind::Button, "Back", 11160, 5535, 1215, 615},
        {"chkLegend", -1, Kind::Toggle, "Legend", 12600, 1320, 1215, 555},
        {"chkChart", -1, Kind::Toggle, "Chart", 5040, 60, 1215, 555},
        {"chkSymbols", -1, Kind::Toggle, "Symbols", 9480, 4500, 1215, 555},
        {"chkReach", -1, Kind::Toggle, "Reach", 10740, 4500, 1095, 555},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.index));
        const ControlEntry* e = f.FindControl(c.name, c.index);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Type, c.kind);
        const Control* control = e->Model;
        // Combo boxes carry their text in Text, checked below.
        if (!c.caption.empty()) {
            EXPECT_EQ(control->Caption, c.caption);
        }
        EXPECT_EQ(control->Left, c.left);
        EXPECT_EQ(control->Top, c.top);
        EXPECT_EQ(control->Width, c.width);
        EXPECT_EQ(control->Height, c.height);
        const bool smallFont = control == &f.Label13 || control == &f.Label2;
        EXPECT_EQ(control->FontSize, smallFont ? 13.5f : 18.0f);
        EXPECT_EQ(control->Visible, control != &f.chkRandom && control != &f.Label2 &&
                                        control != &f.cmdStep && control != &f.cmdBack &&
                                        control != &f.chkReach);
        EXPECT_FALSE(control->ToolTip.empty());
    }
    // The drawing elements and the per-station arrays, with their indexes.
    for (const auto& [name, kind, count] :
         {std::tuple{"Line1", Kind::Line, 0}, std::tuple{"Shape1", Kind::Shape, 0},
          std::tuple{"Shape4", Kind::Shape, 2}, std::tuple{"cmdNode", Kind::Button, 24},
          std::tuple{"shpNode", Kind::Shape, 24}, std::tuple{"lneDrop", Kind::Line, 24},
          std::tuple{"lblTxStatus", Kind::Label, 24}, std::tuple{"lblRxStatus", Kind::Label, 24},
          std::tuple{"lblQueued", Kind::Label, 24}, std::tuple{"shpLegendBox", Kind::Shape, 0},
          std::tuple{"shpLegend", Kind::Shape, LegendRows},
          std::tuple{"lblLegend", Kind::Label, LegendRows}}) {
        SCOPED_TRACE(name);
        for (int i = count == 0 ? -1 : 0; i < std::max(count, 0); ++i) {
            const ControlEntry* e = f.FindControl(name, i);
            ASSERT_NE(e, nullptr) << i;
            EXPECT_EQ(e->Type, kind);
            EXPECT_EQ(e->Count, std::max(count, 1));
        }
        EXPECT_EQ(f.FindControl(name, count), nullptr);
    }
    // Nothing else, and nothing twice.
    EXPECT_EQ(f.Controls().size(), controls.size() + 1 + 1 + 2 + 6 * 24 + 1 + 2 * LegendRows);
    std::set<const Control*> models;
    for (const ControlEntry& e : f.Controls()) {
        EXPECT_TRUE(models.insert(e.Model).second) << e.Name << " " << e.Index;
        EXPECT_EQ(f.EntryOf(*e.Model), &e);
        EXPECT_FALSE(e.Model->ToolTip.empty()) << e.Name << " " << e.Index;
        // What a user can operate runs a handler: every button and toggle a
        // click, every box but the offered traffic a change and a pick.
        const bool button = e.Type == Kind::Button || e.Type == Kind::Toggle;
        EXPECT_EQ(button, e.Click != nullptr || e.IndexedClick != nullptr) << e.Name;
        EXPECT_EQ(e.IndexedClick != nullptr, button && e.InArray()) << e.Name;
        const bool box = e.Type == Kind::ComboBox && e.Name != "cmbOT";
        EXPECT_EQ(box, e.Change != nullptr && e.Pick != nullptr) << e.Name;
    }

    EXPECT_EQ(f.Label6.ForeColor, RGB(0, 128, 0));
    EXPECT_EQ(f.lblTotalTx.ForeColor, RGB(0, 128, 0));
    EXPECT_EQ(f.Label7.ForeColor, RGB(0, 0, 128));
    EXPECT_EQ(f.lblTotalRx.ForeColor, RGB(0, 0, 128));
    EXPECT_EQ(f.Label8.ForeColor, RGB(128, 0, 128));
    EXPECT_EQ(f.lblTotalQueued.ForeColor, RGB(128, 0, 128));
    EXPECT_EQ(f.Label2.ForeColor, RGB(255, 255, 255));
    for (const Control* toggle : {&f.chkSpeed, &f.chkStatus, &f.chkReliable})
        EXPECT_EQ(toggle->Value, 0);
    EXPECT_EQ(f.chkRandom.Value, 1); // random backoff from the start
}

TEST(PanelStartup, ListsAndTextsAreTheDefaults) {
    const auto form = Started();
    std::vector<std::string> nodes;
    for (int n = 2; n <= 24; ++n) nodes.push_back(" " + std::to_string(n));
    EXPECT_EQ(form->cmbNodes.List, nodes);
    EXPECT_EQ(form->cmbTopology.List,
              (std::vector<std::string>{"Star", "Ring", "Bus", "Space", "Wide Space"}));
    EXPECT_EQ(form->cmbOT.List,
              (std::vector<std::string>{"0.01", "0.1", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2",
                                        "1.4", "1.6", "1.8", "2.0"}));
    EXPECT_EQ(form->cmbLength.List,
              (std::vector<std::string>{" 3", " 6", " 10", " 20", " 50", " 100", " 200"}));
    EXPECT_EQ(form->cmbScheme.List,
              (std::vector<std::string>{"ALOHA", "Slotted ALOHA", "CSMA", "CSMA/CD", "CSMA/CD + R",
                                        "Token Passing", "Polling", "RTS/CTS"}));

    EXPECT_EQ(form->cmbTopology.Text, "Star");
    EXPECT_EQ(form->cmbNodes.Text, " 7");
    EXPECT_EQ(form->cmbLength.Text, " 10");
    EXPECT_EQ(form->cmbScheme.Text, "ALOHA");
    EXPECT_EQ(form->cmbOT.Text, " 0.1");
    EXPECT_EQ(form->Topology, TopoStar);
    EXPECT_EQ(form->NodeCount, 7);
    EXPECT_EQ(form->PacketLength, 10);
    EXPECT_EQ(form->TickCount, 0);
    EXPECT_EQ(form->Running, VbFalse);
    EXPECT_TRUE(form->Timer1.Enabled);
    EXPECT_EQ(form->Timer1.Interval, 100);
}

TEST(PanelStartup, ColoursAndNetworkAreReady) {
    const auto form = Started();
    EXPECT_EQ(form->BackColour, PanelColour);
    EXPECT_EQ(form->ColourGrey248, RGB(248, 248, 248));
    EXPECT_EQ(form->ColourGrey224, RGB(224, 224, 224));
    EXPECT_EQ(form->ColourGrey240, RGB(240, 240, 240));
    EXPECT_EQ(form->ColourGrey192, RGB(192, 192, 192));
    EXPECT_EQ(form->ColourWhite, RGB(255, 255, 255));
    for (int i = 0; i < StationControls; ++i) {
        SCOPED_TRACE(i);
        const bool laidOut = i < 7;
        EXPECT_EQ(form->shpNode[i].Visible, laidOut);
        EXPECT_EQ(form->cmdNode[i].Visible, laidOut);
        EXPECT_EQ(form->lneDrop[i].Visible, laidOut);
        EXPECT_FALSE(form->lblTxStatus[i].Visible);
        EXPECT_NE(form->NodeTable[i].AddressColour, form->BackColour);
    }
    EXPECT_TRUE(form->Shape1.Visible);
    EXPECT_FALSE(form->Line1.Visible);
    // The resets that ran while BackColour was still unread must leave no
    // trace: every path cell and every hearing holds silence at the end.
    for (int i = 0; i < StationRecords; ++i) {
        const Node& s = form->NodeTable[i];
        for (int k = 0; k <= 8; ++k) {
            EXPECT_EQ(s.OutPath[k], form->BackColour) << i << "," << k;
            EXPECT_EQ(s.InPath[k], form->BackColour) << i << "," << k;
        }
        EXPECT_EQ(s.Heard, form->BackColour);
        EXPECT_EQ(s.Output, form->BackColour);
        EXPECT_EQ(s.QueueCount, 0);
        EXPECT_EQ(s.HoldsToken, VbFalse);
    }
    EXPECT_EQ(form->HubColour, form->BackColour);
}

TEST(PanelStartup, TicksWithoutTrafficUntilStart) {
    const auto form = Started();
    for (int t = 0; t < 2000; ++t) form->Timer1_Timer();
    EXPECT_EQ(form->TotalQueued, 0);
    EXPECT_EQ(form->TickCount, 2000);
    EXPECT_FALSE(form->Label2.Visible);
    EXPECT_EQ(form->Label2.Caption, "False");
}
