// What a user does, as a value: every front end hands its user's actions to
// Form1::Do, which checks each against the controls as they stand and applies
// it, or refuses it and says why.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/names.h"

namespace maclab {

struct Action {
    enum class Kind {
        Pick,     // a list entry of a combo box is picked
        Edit,     // the whole text of a combo box is replaced
        Click,    // a button is clicked (Index for a member of an array)
        Toggle,   // a toggle is clicked
        Key,      // a key is pressed (Control holds its name: "Space", "Right", "S"...)
        Interval, // one interval of the clock passes (a tick while it runs)
        Random,   // from now on the random draws return Values, in turn
        Seek,     // the session moves to session tick Tick (not itself recorded)
    };
    Kind What = Kind::Interval;
    std::string Control; // name of the control, or of the key
    int Index = -1;      // member of a control array, -1 for a single control
    std::string Text;    // Pick and Edit
    bool Repeat = false; // Key: held down, an automatic repeat
    std::vector<float> Values;
    std::uint64_t Tick = 0; // Seek

    bool operator==(const Action&) const = default;

    static Action Pick(std::string control, std::string text) {
        Action a;
        a.What = Kind::Pick;
        a.Control = std::move(control);
        a.Text = std::move(text);
        return a;
    }
    static Action Edit(std::string control, std::string text) {
        Action a = Pick(std::move(control), std::move(text));
        a.What = Kind::Edit;
        return a;
    }
    static Action Click(std::string control, int index = -1) {
        Action a;
        a.What = Kind::Click;
        a.Control = std::move(control);
        a.Index = index;
        return a;
    }
    static Action Toggle(std::string control) {
        Action a;
        a.What = Kind::Toggle;
        a.Control = std::move(control);
        return a;
    }
    static Action Key(std::string name, bool repeat = false) {
        Action a;
        a.What = Kind::Key;
        a.Control = std::move(name);
        a.Repeat = repeat;
        return a;
    }
    static Action Interval() { return {}; }
    static Action Random(std::vector<float> values) {
        Action a;
        a.What = Kind::Random;
        a.Values = std::move(values);
        return a;
    }
    static Action Seek(std::uint64_t tick) {
        Action a;
        a.What = Kind::Seek;
        a.Tick = tick;
        return a;
    }
};

// Form1's answer to an action.
struct Verdict {
    bool Accepted = true;
    std::string Reason;  // why it was refused, in plain words
    bool Ticked = false; // the action ran a tick (an interval of a running clock, Step)

    explicit operator bool() const { return Accepted; }
    static Verdict Refused(std::string why) {
        Verdict v;
        v.Accepted = false;
        v.Reason = std::move(why);
        return v;
    }
    static Verdict Tick() {
        Verdict v;
        v.Ticked = true;
        return v;
    }
};

// A network as a lesson or a sweep sets it up, typed.  Form1::Apply reaches
// it through the same actions a user would take.
struct NetworkConfig {
    int Topology = TopoStar; // TopoStar, TopoRing, TopoBus, TopoSpace or TopoWideSpace
    int Stations = 7;        // 2 to 24
    int SchemeIndex = 0;     // in the scheme list: 0 ALOHA ... 7 RTS/CTS
    double PacketLength = 10;
    double OfferedTraffic = 0.1;
    bool Reliable = false;
    bool RandomBackoff = true;
    bool operator==(const NetworkConfig&) const = default;
};

// One accepted action of a session, at the session tick it came at.
struct SessionEntry {
    std::uint64_t At = 0;
    Action What;
    bool operator==(const SessionEntry&) const = default;
};

} // namespace maclab
