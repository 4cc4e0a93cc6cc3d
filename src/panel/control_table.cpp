// The table of the window's controls: every front end creates, finds and
// operates the controls through it.
#include <tuple>

#include "core/form1.h"

namespace maclab {

void Form1::BuildControlTable() {
    using Kind = ControlEntry::Kind;
    std::vector<ControlEntry>& t = ControlTable;
    t.clear();
    const auto single = [&t](std::string_view name, Kind kind, Control& model) -> ControlEntry& {
        return t.emplace_back(ControlEntry{name, kind, &model});
    };
    const auto array = [&t](std::string_view name, Kind kind, auto& members,
                            void (Form1::*click)(int) = nullptr) {
        const int count = static_cast<int>(members.size());
        for (int i = 0; i < count; ++i) {
            ControlEntry& e = t.emplace_back(ControlEntry{name, kind, &members[i], i, count});
            e.IndexedClick = click;
        }
    };

    // The network picture, painted under everything else.
    single("Line1", Kind::Line, Line1);
    array("lneDrop", Kind::Line, lneDrop);
    array("Shape4", Kind::Shape, Shape4);
    single("Shape1", Kind::Shape, Shape1);
    array("shpNode", Kind::Shape, shpNode);
    single("shpLegendBox", Kind::Shape, shpLegendBox);
    array("shpLegend", Kind::Shape, shpLegend);

    // Captions, totals and the status texts.
    for (auto [name, label] : {std::pair<std::string_view, Control*>{"Label14", &Label14},
                               {"Label4", &Label4},
                               {"Label1", &Label1},
                               {"Label3", &Label3},
                               {"Label13", &Label13},
                               {"Label5", &Label5},
                               {"Label6", &Label6},
                               {"lblTotalTx", &lblTotalTx},
                               {"Label7", &Label7},
                               {"lblTotalRx", &lblTotalRx},
                               {"Label8", &Label8},
                               {"lblTotalQueued", &lblTotalQueued},
                               {"Label10", &Label10},
                               {"lblUtilisation", &lblUtilisation},
                               {"Label9", &Label9},
                               {"Label12", &Label12},
                               {"lblEfficiency", &lblEfficiency},
                               {"Label11", &Label11},
                               {"Label15", &Label15},
                               {"lblTotalDropped", &lblTotalDropped},
                               {"Label2", &Label2},
                               {"lblTick", &lblTick}})
        single(name, Kind::Label, *label);
    array("lblTxStatus", Kind::Label, lblTxStatus);
    array("lblRxStatus", Kind::Label, lblRxStatus);
    array("lblQueued", Kind::Label, lblQueued);
    array("lblLegend", Kind::Label, lblLegend);

    // The settings boxes.
    const auto combo = [&](std::string_view name, ComboBox& box, void (Form1::*change)(),
                           void (Form1::*pick)()) {
        ControlEntry& e = single(name, Kind::ComboBox, box);
        e.Change = change;
        e.Pick = pick;
    };
    combo("cmbTopology", cmbTopology, &Form1::cmbTopology_Change, &Form1::cmbTopology_Click);
    combo("cmbScheme", cmbScheme, &Form1::cmbScheme_Change, &Form1::cmbScheme_Click);
    combo("cmbNodes", cmbNodes, &Form1::cmbNodes_Change, &Form1::cmbNodes_Click);
    combo("cmbOT", cmbOT, nullptr, nullptr);
    combo("cmbLength", cmbLength, &Form1::cmbLength_Change, &Form1::cmbLength_Click);

    // Toggles and buttons, on top.
    single("chkSpeed", Kind::Toggle, chkSpeed).Click = &Form1::chkSpeed_Click;
    single("chkStatus", Kind::Toggle, chkStatus).Click = &Form1::chkStatus_Click;
    single("chkReliable", Kind::Toggle, chkReliable).Click = &Form1::chkReliable_Click;
    single("chkRandom", Kind::Toggle, chkRandom).Click = &Form1::chkRandom_Click;
    single("chkLegend", Kind::Toggle, chkLegend).Click = &Form1::chkLegend_Click;
    single("chkChart", Kind::Toggle, chkChart).Click = &Form1::chkChart_Click;
    single("chkSymbols", Kind::Toggle, chkSymbols).Click = &Form1::chkSymbols_Click;
    single("chkReach", Kind::Toggle, chkReach).Click = &Form1::chkReach_Click;
    array("cmdStart", Kind::Button, cmdStart, &Form1::cmdStart_Click);
    single("cmdPause", Kind::Button, cmdPause).Click = &Form1::cmdPause_Click;
    single("cmdStep", Kind::Button, cmdStep).Click = &Form1::cmdStep_Click;
    single("cmdBack", Kind::Button, cmdBack).Click = &Form1::cmdBack_Click;
    array("cmdNode", Kind::Button, cmdNode, &Form1::cmdNode_Click);
    AssignKeys();
}

// The keys of the run controls.  A front end sends a key press here only
// while no text is being typed.
void Form1::AssignKeys() {
    for (auto [name, index, key] :
         {std::tuple<std::string_view, int, std::string_view>{"cmdPause", -1, "Space"},
          {"cmdStep", -1, "Right"},
          {"cmdBack", -1, "Left"},
          {"cmdStart", 0, "S"},
          {"cmdStart", 1, "R"},
          {"chkSpeed", -1, "F"},
          {"chkLegend", -1, "L"},
          {"chkChart", -1, "C"},
          {"chkSymbols", -1, "Y"},
          {"chkReach", -1, "H"}})
        for (ControlEntry& e : ControlTable)
            if (e.Name == name && e.Index == index) e.Key = key;
}

const ControlEntry* Form1::FindControl(std::string_view name, int index) const {
    for (const ControlEntry& e : ControlTable)
        if (e.Name == name && e.Index == index) return &e;
    return nullptr;
}

const ControlEntry* Form1::EntryOf(const Control& model) const {
    for (const ControlEntry& e : ControlTable)
        if (e.Model == &model) return &e;
    return nullptr;
}

} // namespace maclab
