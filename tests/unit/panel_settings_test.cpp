// Changes of node count, packet length, scheme, topology, offered traffic and
// the reliability and backoff toggles, including typed text of any kind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/form1.h"
#include "core/view_colours.h"

using namespace maclab;

namespace {

class Settings : public ::testing::Test {
  protected:
    void SetUp() override { form->Form_Load(); }
    void Ticks(int n) {
        for (int t = 0; t < n; ++t)
            if (form->Timer1.Enabled) form->Timer1_Timer();
    }
    int ShownStations() const {
        int shown = 0;
        for (int i = 0; i < StationControls; ++i) shown += form->shpNode[i].Visible ? 1 : 0;
        return shown;
    }

    std::unique_ptr<Form1> form = std::make_unique<Form1>();
};

const std::string ThousandDigits(1000, '9');

} // namespace

TEST_F(Settings, TypedNodeCountsBecomeNoNetworkOrTwoToTwentyFourStations) {
    const struct {
        std::string text;
        double count;
    } cases[] = {{"", 0},       {"   ", 0},   {" 7", 7},     {"1 2", 12},     {"+3", 3},
                 {"-5", 0},     {"0.5", 0},   {"1.5", 0},    {"1.99", 0},     {"2.5", 2},
                 {"6.5", 6},    {"7.5", 8},   {"25", 24},    {"1000000", 24}, {"1e999", 24},
                 {"-1e999", 0}, {"abc", 0},   {"12abc", 12}, {"0x10", 0},     {ThousandDigits, 24},
                 {"2e0", 2},    {"\t9\n", 9}, {".", 0},      {"e5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("text \"" + c.text.substr(0, 20) + "\"");
        form->UserEdit(form->cmbNodes, c.text);
        EXPECT_EQ(form->NodeCount, c.count);
        EXPECT_EQ(form->cmbNodes.Text, c.text);
        EXPECT_EQ(ShownStations(), static_cast<int>(c.count));
        // The network runs, with clicks and random traffic, on every count.
        form->cmdStart_Click(0);
        form->UserEdit(form->cmbOT, "2.0");
        for (int i = 0; i < StationControls; ++i)
            if (form->cmdNode[i].Visible) form->cmdNode_Click(i);
        Ticks(60);
        EXPECT_EQ(form->TickCount, 60);
        for (int i = static_cast<int>(c.count); i < StationRecords; ++i)
            EXPECT_EQ(form->NodeTable[i].QueueCount, 0) << i;
    }
}

// A number box whose text is not used as typed turns red and says what is
// used instead; a text used as typed shows normally with the box's own tip.
TEST_F(Settings, NumberBoxesSayWhatTheyUseInsteadOfAnUnreadText) {
    const struct {
        ComboBox& box;
        std::string text;
        std::string instead; // empty: taken as typed
    } cases[] = {{form->cmbNodes, "abc", "left empty"},
                 {form->cmbNodes, "-5", "left empty"},
                 {form->cmbNodes, "7.5", "8 are used"},
                 {form->cmbNodes, "30", "24 are used"},
                 {form->cmbNodes, " 7", ""},
                 {form->cmbOT, "1e9", "1000000 is used"},
                 {form->cmbOT, "abc", "0 is used"},
                 {form->cmbOT, "0.4x", "0.4 is used"},
                 {form->cmbOT, " 0.4 ", ""},
                 {form->cmbLength, "2", "3 is used"},
                 {form->cmbLength, "12.5", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string usual = c.box.ToolTip;
        form->UserEdit(c.box, c.text);
        if (c.instead.empty()) {
            EXPECT_EQ(c.box.ForeColor, SystemColourWindowText);
            EXPECT_EQ(c.box.ToolTip.find("is used"), std::string::npos) << c.box.ToolTip;
        } else {
            EXPECT_EQ(c.box.ForeColor, NoSchemeColour);
            EXPECT_NE(c.box.ToolTip.find(c.instead), std::string::npos) << c.box.ToolTip;
        }
    }
    // A pick from the list is always taken as typed.
    form->UserPick(form->cmbOT, "2.0");
    EXPECT_EQ(form->cmbOT.ForeColor, SystemColourWindowText);
}

TEST_F(Settings, NodeCountPickResetsEvenForTheCurrentCount) {
    Ticks(5);
    form->UserPick(form->cmbNodes, " 7");
    EXPECT_EQ(form->TickCount, 0);
    form->UserPick(form->cmbNodes, " 24");
    EXPECT_EQ(form->NodeCount, 24);
    EXPECT_EQ(ShownStations(), 24);
}

TEST_F(Settings, TypedPacketLengthsAreKeptWithinThreeToTenThousand) {
    const struct {
        std::string text;
        double length;
    } cases[] = {{"", 3},          {"   ", 3},
                 {"0", 3},         {"-5", 3},
                 {"0.5", 3},       {"3", 3},
                 {"7.5", 7.5},     {"25", 25},
                 {"10000", 10000}, {"1000000", 10000},
                 {"1e999", 10000}, {"abc", 3},
                 {"20 b", 20},     {ThousandDigits, 10000}};
    form->cmdStart_Click(0);
    Ticks(3);
    form->cmdNode_Click(1);
    for (const auto& c : cases) {
        SCOPED_TRACE("text \"" + c.text.substr(0, 20) + "\"");
        form->UserEdit(form->cmbLength, c.text);
        EXPECT_EQ(form->PacketLength, c.length);
        Ticks(20);
    }
    // No reset: the run and the packet queued before all those edits go on.
    EXPECT_EQ(form->Running, VbTrue);
    EXPECT_EQ(form->TickCount, 3 + 20 * static_cast<int>(std::size(cases)));
    EXPECT_GE(form->TotalQueued, 1);
}

TEST_F(Settings, PacketLengthPickAndLaterPacketsTakeTheNewLength) {
    form->cmdPause_Click();
    form->cmdNode_Click(0);
    form->UserPick(form->cmbLength, " 200");
    EXPECT_EQ(form->PacketLength, 200);
    form->cmdNode_Click(0);
    EXPECT_EQ(form->NodeTable[0].QueueLength[0], 10);
    EXPECT_EQ(form->NodeTable[0].QueueLength[1], 200);
}

TEST_F(Settings, OfferedTrafficOfAnyTextChangesOnlyTheArrivals) {
    form->cmdStart_Click(0);
    Ticks(2);
    // No handler: the text changes, nothing is reset.
    form->UserEdit(form->cmbOT, "-5");
    EXPECT_EQ(form->TickCount, 2);
    Ticks(500);
    EXPECT_EQ(form->TotalQueued, 0);
    // Far beyond one packet per tick: every station gets one every tick, and
    // the full queues refuse the rest without counting them.
    for (const std::string& text : {std::string("1e999"), std::string("1000000"), ThousandDigits}) {
        form->cmdStart_Click(1); // Reset, then Start: a fresh run
        form->cmdStart_Click(0);
        form->UserEdit(form->cmbOT, text);
        Ticks(1);
        EXPECT_EQ(form->TotalQueued, 7);
        Ticks(200);
        std::int64_t queued = 0;
        for (int i = 0; i < 7; ++i) queued += form->NodeTable[i].QueueCount;
        EXPECT_LE(queued, 7 * QueueSlots);
        EXPECT_GE(form->TotalQueued, queued);
    }
    form->UserPick(form->cmbOT, "0.01");
    EXPECT_EQ(form->cmbOT.Text, "0.01");
    EXPECT_EQ(form->Running, VbTrue);
}

TEST_F(Settings, SchemeChangesResetAndOnlyExactTokenNamesHandOutTheToken) {
    Ticks(4);
    form->UserPick(form->cmbScheme, "Token Passing");
    EXPECT_EQ(form->TickCount, 0);
    EXPECT_EQ(form->NodeTable[0].HoldsToken, VbTrue);
    EXPECT_EQ(form->NodeTable[0].ControlPending, 1);
    EXPECT_EQ(form->NodeTable[0].ControlKind[0], CtlToken);
    EXPECT_EQ(form->NodeTable[0].ControlDest[0], 1);
    EXPECT_EQ(form->PollNext, 1);
    for (int i = 1; i < StationRecords; ++i) EXPECT_EQ(form->NodeTable[i].HoldsToken, VbFalse);

    form->UserEdit(form->cmbScheme, "polling");
    EXPECT_EQ(form->NodeTable[0].HoldsToken, VbFalse);
    EXPECT_EQ(form->NodeTable[0].ControlPending, 0);

    form->UserEdit(form->cmbScheme, "CSMA/CD + R");
    EXPECT_EQ(form->Settings.CurrentScheme, Scheme::CsmaCdR);
    form->cmdStart_Click(0);
    Ticks(3);
    // Picking the scheme in use resets the network all the same.
    form->UserPick(form->cmbScheme, "CSMA");
    form->UserPick(form->cmbScheme, "CSMA");
    EXPECT_EQ(form->Running, VbFalse);
    EXPECT_EQ(form->TickCount, 0);
}

TEST_F(Settings, TopologyPicksResetOnlyForAnotherTopology) {
    Ticks(5);
    form->UserPick(form->cmbTopology, "Star");
    EXPECT_EQ(form->TickCount, 5);
    form->UserPick(form->cmbTopology, "Bus");
    EXPECT_EQ(form->Topology, TopoBus);
    EXPECT_EQ(form->TickCount, 0);
    EXPECT_TRUE(form->Line1.Visible);
    EXPECT_TRUE(form->Shape4[0].Visible);
    EXPECT_FALSE(form->Shape1.Visible);
    form->UserPick(form->cmbTopology, "Ring");
    EXPECT_EQ(form->Topology, TopoRing);
    form->UserPick(form->cmbTopology, "Space");
    EXPECT_EQ(form->Topology, TopoSpace);
    form->UserPick(form->cmbTopology, "Wide Space");
    EXPECT_EQ(form->Topology, TopoWideSpace);
    EXPECT_FALSE(form->Line1.Visible);
    EXPECT_FALSE(form->Shape1.Visible);
}

TEST_F(Settings, TypedTopologyNamesMustMatchExactlyButAlwaysReset) {
    for (const char* text : {"star", "Bus ", "Wide", "", "Space Wide", "BUS"}) {
        SCOPED_TRACE(text);
        Ticks(3);
        form->UserEdit(form->cmbTopology, text);
        EXPECT_EQ(form->Topology, TopoStar);
        EXPECT_EQ(form->TickCount, 0);
    }
    // The node count is read again from its box after the topology reset.
    form->cmbNodes.Text = " 9";
    form->UserEdit(form->cmbTopology, "Ring");
    EXPECT_EQ(form->Topology, TopoRing);
    EXPECT_EQ(form->NodeCount, 9);
    EXPECT_EQ(ShownStations(), 9);
}

// The backoff toggle starts pressed and hidden, always names its state, and is
// shown exactly while reliable mode, RTS/CTS or "CSMA/CD + R" reads it:
// after every pick and every edit of the scheme, and every reliable toggle.
TEST_F(Settings, TheBackoffToggleIsShownWhereverARuleReadsIt) {
    EXPECT_EQ(form->chkRandom.Value, 1);
    EXPECT_EQ(form->chkRandom.Caption, "Random Backoff");
    EXPECT_FALSE(form->chkRandom.Visible);
    const auto reads = [](const std::string& scheme, int reliable) {
        return reliable == 1 || scheme == "RTS/CTS" || scheme == "CSMA/CD + R";
    };
    std::vector<std::string> schemes = form->cmbScheme.List;
    schemes.push_back("csma/cd + r"); // typed, names no scheme
    for (const std::string& scheme : schemes)
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(scheme + (typed ? " typed" : " picked"));
            if (!typed && scheme == "csma/cd + r") continue; // not in the list
            if (typed)
                form->UserEdit(form->cmbScheme, scheme);
            else
                form->UserPick(form->cmbScheme, scheme);
            const int before = form->chkReliable.Value;
            EXPECT_EQ(form->chkRandom.Visible, reads(scheme, before));
            form->UserToggle(form->chkReliable);
            EXPECT_EQ(form->chkReliable.Caption, before ? "Unreliable" : "Reliable");
            EXPECT_EQ(form->chkRandom.Visible, reads(scheme, 1 - before));
        }
    // Its caption names its state in both modes; hiding it keeps its state.
    form->UserPick(form->cmbScheme, "ALOHA");
    if (form->chkReliable.Value == 0) form->UserToggle(form->chkReliable);
    form->UserToggle(form->chkRandom);
    EXPECT_EQ(form->chkRandom.Caption, "Constant Backoff");
    form->UserToggle(form->chkReliable);
    EXPECT_FALSE(form->chkRandom.Visible);
    EXPECT_EQ(form->chkRandom.Value, 0);
    form->UserToggle(form->chkReliable);
    EXPECT_EQ(form->chkRandom.Caption, "Constant Backoff");
    form->UserToggle(form->chkRandom);
    EXPECT_EQ(form->chkRandom.Caption, "Random Backoff");
    EXPECT_EQ(form->Settings.RandomBackoff, 1);
}

TEST_F(Settings, AnEmptyNodeCountEmptiesTheNetwork) {
    form->UserEdit(form->cmbNodes, "");
    EXPECT_EQ(form->NodeCount, 0);
    EXPECT_EQ(ShownStations(), 0);
    form->UserToggle(form->chkStatus);
    form->cmdStart_Click(0);
    Ticks(30);
    EXPECT_EQ(form->TotalQueued, 0);
    // Every topology lays out an empty network without trouble.
    for (const char* name : {"Bus", "Ring", "Space", "Wide Space", "Star"}) {
        form->UserPick(form->cmbTopology, name);
        EXPECT_EQ(ShownStations(), 0);
        Ticks(30);
    }
}

// The rules read a typed copy of the scheme, the offered traffic and the
// toggles.  It follows every way those controls change: start-up's own
// assignments, picks, edits, toggles and resets.  And it changes before the
// handler runs: the reset a scheme change causes already sees the new scheme.
TEST_F(Settings, TheRulesCopyOfTheSettingsFollowsEveryChangeOfItsControls) {
    const auto inStep = [this](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(form->Settings, form->SettingsFromControls());
    };
    inStep("start-up");
    EXPECT_EQ(form->Settings.CurrentScheme, Scheme::Aloha);
    EXPECT_EQ(form->Settings.OfferedTraffic, 0.1);

    form->UserEdit(form->cmbScheme, "Polling");
    inStep("typed scheme");
    EXPECT_EQ(form->NodeTable[0].HoldsToken, VbTrue); // the reset saw "Polling"
    form->UserPick(form->cmbScheme, "ALOHA");
    inStep("picked scheme");
    EXPECT_EQ(form->NodeTable[0].HoldsToken, VbFalse);
    form->UserEdit(form->cmbScheme, "aloha");
    inStep("a text that names no scheme");
    EXPECT_EQ(form->Settings.CurrentScheme, Scheme::Other);

    form->UserPick(form->cmbOT, "2.0");
    inStep("picked traffic");
    form->UserEdit(form->cmbOT, "1e400");
    inStep("typed traffic");
    EXPECT_EQ(form->Settings.OfferedTraffic, 1000000.0);
    form->UserEdit(form->cmbOT, "-3");
    EXPECT_EQ(form->Settings.OfferedTraffic, 0.0);

    for (Control* toggle : {&form->chkReliable, &form->chkRandom, &form->chkStatus,
                            &form->chkRandom, &form->chkReliable, &form->chkStatus}) {
        form->UserToggle(*toggle);
        inStep("toggle");
    }
    form->UserToggle(form->chkReliable);
    form->UserToggle(form->chkRandom);
    EXPECT_EQ(form->Settings.Reliable, 1);
    EXPECT_EQ(form->Settings.RandomBackoff, 0);

    // Changes that reset the network, and the resets themselves, leave the
    // settings alone.
    form->UserPick(form->cmbTopology, "Ring");
    form->cmdStart_Click(0);
    form->cmdStart_Click(1);
    form->UserEdit(form->cmbNodes, "9");
    inStep("resets");
    EXPECT_EQ(form->Settings.OfferedTraffic, 0.0);
    EXPECT_EQ(form->Settings.Reliable, 1);
}
