// A network set up from a typed configuration, through the one way in.
#include <algorithm>
#include <charconv>

#include "core/form1.h"
#include "core/shortest_text.h"

namespace maclab {

namespace {
// The shortest text that reads back as exactly this number.
std::string Shortest(double value) {
    return ShortestText(value);
}
} // namespace

Verdict Form1::Apply(const NetworkConfig& c) {
    const auto known = [&](Integer code) {
        for (const TopologyInfo& t : Topologies)
            if (t.Code == code) return true;
        return false;
    };
    if (!known(static_cast<Integer>(c.Topology))) return Verdict::Refused("unknown topology");
    if (c.Stations < 2 || c.Stations > StationControls)
        return Verdict::Refused("stations: 2 to 24");
    if (c.SchemeIndex < 0 || c.SchemeIndex >= static_cast<int>(SchemeNames.size()))
        return Verdict::Refused("unknown scheme");
    if (!(c.PacketLength >= 3 && c.PacketLength <= 10000))
        return Verdict::Refused("packet length: 3 to 10000");
    if (!(c.OfferedTraffic >= 0 && c.OfferedTraffic <= 1000000))
        return Verdict::Refused("offered traffic: 0 to 1000000");

    // A box's list entry when it has the value, else the value typed.
    const auto choose = [&](const ComboBox& box, const char* name, const std::string& text) {
        const bool listed = std::find(box.List.begin(), box.List.end(), text) != box.List.end();
        return Do(listed ? Action::Pick(name, text) : Action::Edit(name, text));
    };
    Verdict v = Do(Action::Pick("cmbTopology", std::string(TopologyOf(c.Topology).Name)));
    if (v) v = choose(cmbNodes, "cmbNodes", Str(c.Stations));
    // The list writes lengths with a leading blank, as " 10".
    if (v) v = choose(cmbLength, "cmbLength", " " + Shortest(c.PacketLength));
    if (v) v = Do(Action::Pick("cmbScheme", std::string(SchemeNames[c.SchemeIndex].Text)));
    // The backoff toggle is on view in reliable mode: a user turns Reliable
    // on to set it, and off again if wanted.
    const bool random = chkRandom.Value == 1;
    if (v && random != c.RandomBackoff) {
        const bool through = !chkRandom.Visible;
        if (through) v = Do(Action::Toggle("chkReliable"));
        if (v) v = Do(Action::Toggle("chkRandom"));
        if (v && through) v = Do(Action::Toggle("chkReliable"));
    }
    if (v && (chkReliable.Value == 1) != c.Reliable) v = Do(Action::Toggle("chkReliable"));
    if (v) v = choose(cmbOT, "cmbOT", Shortest(c.OfferedTraffic));
    return v;
}

} // namespace maclab
