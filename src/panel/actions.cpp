// The one way in: every action of a user is checked against the controls as
// they stand, then applied and recorded, or refused with the reason.
#include <algorithm>

#include "core/form1.h"

namespace maclab {

namespace {
using Kind = ControlEntry::Kind;

// A control of the given kind by name (a member of an array by its name alone).
const ControlEntry* Named(const std::vector<ControlEntry>& table, std::string_view name,
                          Kind kind) {
    for (const ControlEntry& e : table)
        if (e.Name == name && e.Type == kind) return &e;
    return nullptr;
}

bool Ticks(const ControlEntry* control) {
    return control != nullptr && control->Name == "cmdStep";
}
bool GoesBack(const ControlEntry* control) {
    return control != nullptr && control->Name == "cmdBack";
}
} // namespace

Verdict Form1::Check(const Action& a, const ControlEntry*& control) const {
    control = nullptr;
    switch (a.What) {
    case Action::Kind::Pick:
    case Action::Kind::Edit: {
        control = Named(ControlTable, a.Control, Kind::ComboBox);
        if (control == nullptr) return Verdict::Refused("unknown combo box");
        if (!control->Model->Visible) return Verdict::Refused("control is hidden");
        if (a.What == Action::Kind::Pick) {
            const auto& list = control->Combo().List;
            if (std::find(list.begin(), list.end(), a.Text) == list.end())
                return Verdict::Refused("not a list entry");
        } else if (a.Text.find('\n') != std::string::npos ||
                   (!a.Text.empty() && a.Text.back() == '\r')) {
            // A line break, or a carriage return where a line would end: the
            // text could not be written as one line of a script.
            return Verdict::Refused("a box holds a single line");
        }
        return {};
    }
    case Action::Kind::Click: {
        control = Named(ControlTable, a.Control, Kind::Button);
        if (control == nullptr) return Verdict::Refused("unknown button");
        if (!control->InArray()) {
            if (a.Index >= 0) return Verdict::Refused(a.Control + " takes no index");
        } else {
            if (a.Index < 0) return Verdict::Refused("missing index");
            if (a.Index >= control->Count) return Verdict::Refused("index out of range");
            control = FindControl(a.Control, a.Index);
        }
        if (!control->Model->Visible) return Verdict::Refused("control is hidden");
        return {};
    }
    case Action::Kind::Toggle:
        control = Named(ControlTable, a.Control, Kind::Toggle);
        if (control == nullptr) return Verdict::Refused("unknown toggle");
        if (!control->Model->Visible) return Verdict::Refused("control is hidden");
        return {};
    case Action::Kind::Key:
        control = KeyControl(a.Control);
        if (control == nullptr) return Verdict::Refused("no control has this key");
        if (!control->Model->Visible) return Verdict::Refused("control is hidden");
        // A key held down repeats only a step, forward or back; any other
        // repeat would flicker a toggle or restart a run.
        if (a.Repeat && !Ticks(control) && !GoesBack(control))
            return Verdict::Refused("only Step and Back repeat while a key is held");
        return {};
    case Action::Kind::Interval:
        return {};
    case Action::Kind::Random:
        if (a.Values.empty()) return Verdict::Refused("missing value");
        for (const float v : a.Values)
            if (!(v >= 0.0f && v < 1.0f)) return Verdict::Refused("random value not below 1");
        return {};
    case Action::Kind::Seek:
        return {};
    }
    return Verdict::Refused("unknown action");
}

Verdict Form1::Do(const Action& action) {
    const ControlEntry* control = nullptr;
    if (Verdict v = Check(action, control); !v) return v;
    if (action.What == Action::Kind::Seek) return SeekTo(action.Tick);
    if (GoesBack(control)) return SeekTo(SessionTick > 0 ? SessionTick - 1 : 0);
    if (action.What == Action::Kind::Interval) {
        // Ticking only while the clock runs; a paused interval changes nothing.
        if (!Timer1.Enabled) return {};
        if (Session.TickAllowance == 0) return Verdict::Refused("session too long");
        if (Behind() || Session.PausedBySeek) DropFuture();
        BeforeTick();
        Timer1_Timer();
        --Session.TickAllowance;
        Session.EndTick = SessionTick;
        return Verdict::Tick();
    }
    if (Ticks(control) && Session.TickAllowance == 0) return Verdict::Refused("session too long");
    if (Behind() || Session.PausedBySeek) DropFuture();
    // A key is recorded as the click it makes.
    Action done = action;
    if (action.What == Action::Kind::Key) {
        done = control->Type == Kind::Toggle
                   ? Action::Toggle(std::string(control->Name))
                   : Action::Click(std::string(control->Name), control->Index);
    }
    if (Ticks(control)) BeforeTick();
    Record(done);
    const Verdict v = Apply(done, control);
    if (v.Ticked && Session.TickAllowance > 0) --Session.TickAllowance;
    Session.EndTick = SessionTick;
    return v;
}

Verdict Form1::Apply(const Action& a, const ControlEntry* control) {
    switch (a.What) {
    case Action::Kind::Pick:
        UserPick(control->Combo(), a.Text);
        break;
    case Action::Kind::Edit:
        UserEdit(control->Combo(), a.Text);
        break;
    case Action::Kind::Click:
        UserClick(*control);
        break;
    case Action::Kind::Toggle:
        UserToggle(*control->Model);
        break;
    case Action::Kind::Random:
        SetRandomValues(a.Values);
        break;
    default:
        break;
    }
    return Ticks(control) ? Verdict::Tick() : Verdict{};
}

void Form1::cmdBack_Click() {
    SeekTo(SessionTick > 0 ? SessionTick - 1 : 0);
}

} // namespace maclab
