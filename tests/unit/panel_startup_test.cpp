// The window right after start-up: every control, list and default.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/form1.h"

using namespace maclab;

namespace {

std::unique_ptr<Form1> Started() {
    auto form = std::make_unique<Form1>();
    form->Form_Load();
    return form;
}

struct Placed {
    const char* name;
    const Control* control;
    std::string caption;
    float left, top, width, height;
};

} // namespace

TEST(PanelStartup, EveryControlHasItsCaptionAndPlace) {
    const auto form = Started();
    const Form1& f = *form;
    const std::vector<Placed> controls = {
        {"Label14", &f.Label14, "Topology:", 120, 90, 1815, 495},
        {"cmbTopology", &f.cmbTopology, "", 2040, 60, 2535, 555},
        {"Label4", &f.Label4, "Scheme", 6720, 120, 1455, 375},
        {"cmbScheme", &f.cmbScheme, "", 8280, 60, 3015, 555},
        {"cmbNodes", &f.cmbNodes, "", 11400, 60, 1215, 555},
        {"Label1", &f.Label1, "Nodes", 12600, 120, 1215, 375},
        {"Label3", &f.Label3, "Offered Traffic", 8760, 795, 2415, 375},
        {"cmbOT", &f.cmbOT, "", 11280, 720, 1215, 555},
        {"Label13", &f.Label13, "x NetCap", 12600, 840, 1215, 375},
        {"Label5", &f.Label5, "Packet Length", 8880, 1380, 2295, 495},
        {"cmbLength", &f.cmbLength, "", 11280, 1320, 1215, 555},
        {"chkSpeed", &f.chkSpeed, "Slow", 11880, 2160, 1815, 615},
        {"chkStatus", &f.chkStatus, "Show Status", 11880, 2820, 1815, 975},
        {"chkReliable", &f.chkReliable, "Unreliable", 11880, 3840, 1815, 615},
        {"chkRandom", &f.chkRandom, "Button B", 11880, 4440, 1815, 1035},
        {"cmdStart(0)", &f.cmdStart[0], "Start", 9840, 6240, 1215, 615},
        {"cmdStart(1)", &f.cmdStart[1], "Reset", 11160, 6240, 1215, 615},
        {"cmdPause", &f.cmdPause, "Pause", 12480, 6240, 1215, 615},
        {"Label6", &f.Label6, "Total Transmitted", 9480, 7080, 2895, 495},
        {"lblTotalTx", &f.lblTotalTx, "0", 12480, 7080, 1095, 495},
        {"Label7", &f.Label7, "Total Received", 9480, 7560, 2895, 495},
        {"lblTotalRx", &f.lblTotalRx, "0", 12480, 7560, 1095, 495},
        {"Label8", &f.Label8, "Total Queued", 9480, 8040, 2895, 495},
        {"lblTotalQueued", &f.lblTotalQueued, "0", 12480, 8040, 1095, 495},
        {"Label10", &f.Label10, "Utilisation", 9840, 8520, 2535, 495},
        {"lblUtilisation", &f.lblUtilisation, " 0", 12360, 8520, 855, 495},
        {"Label9", &f.Label9, "%", 13320, 8520, 375, 495},
        {"Label12", &f.Label12, "Efficiency", 9840, 9000, 2535, 495},
        {"lblEfficiency", &f.lblEfficiency, " 0", 12360, 9000, 855, 495},
        {"Label11", &f.Label11, "%", 13320, 9000, 375, 495},
        {"Label2", &f.Label2, "Label2", 120, 9240, 975, 375},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE(c.name);
        // Combo boxes carry their text in Text, checked below.
        if (!c.caption.empty()) {
            EXPECT_EQ(c.control->Caption, c.caption);
        }
        EXPECT_EQ(c.control->Left, c.left);
        EXPECT_EQ(c.control->Top, c.top);
        EXPECT_EQ(c.control->Width, c.width);
        EXPECT_EQ(c.control->Height, c.height);
        const bool smallFont = c.control == &f.Label13 || c.control == &f.Label2;
        EXPECT_EQ(c.control->FontSize, smallFont ? 13.5f : 18.0f);
        EXPECT_EQ(c.control->Visible, c.control != &f.chkRandom && c.control != &f.Label2);
    }
    EXPECT_EQ(f.Label6.ForeColor, RGB(0, 128, 0));
    EXPECT_EQ(f.lblTotalTx.ForeColor, RGB(0, 128, 0));
    EXPECT_EQ(f.Label7.ForeColor, RGB(0, 0, 128));
    EXPECT_EQ(f.lblTotalRx.ForeColor, RGB(0, 0, 128));
    EXPECT_EQ(f.Label8.ForeColor, RGB(128, 0, 128));
    EXPECT_EQ(f.lblTotalQueued.ForeColor, RGB(128, 0, 128));
    EXPECT_EQ(f.Label2.ForeColor, RGB(255, 255, 255));
    for (const Control* toggle : {&f.chkSpeed, &f.chkStatus, &f.chkReliable, &f.chkRandom})
        EXPECT_EQ(toggle->Value, 0);
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
    // Seven of the eight schemes: "CSMA/CD + R" is reached only by typing.
    EXPECT_EQ(form->cmbScheme.List,
              (std::vector<std::string>{"ALOHA", "Slotted ALOHA", "CSMA", "CSMA/CD",
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
    EXPECT_EQ(form->BackColour, RGB(222, 220, 214));
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
