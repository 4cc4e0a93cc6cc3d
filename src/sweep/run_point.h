// One measurement of a sweep: the program, started as the window starts it, is
// set up through the same user actions a person would take and then runs a
// fixed number of ticks with random traffic on.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "core/form1.h"

namespace maclab::sweep {

struct Settings {
    std::string Scheme = "ALOHA";
    std::string Topology = "Star";
    int Stations = 24;
    bool Reliable = false;
    bool RandomBackoff = false;
    double PacketLength = 10;
    long long Ticks = 100000;
};

struct Point {
    double Offered = 0;
    long long Ticks = 0;
    std::int64_t Queued = 0;
    std::int64_t Sent = 0;
    std::int64_t Received = 0;
    std::int64_t Backlog = 0; // packets still queued at the end
    double Utilisation = 0;   // share of the ticks that carried delivered packets
    double Efficiency = 0;    // delivered / queued (0 when nothing was queued)
};

// The shortest text that reads back as exactly this number.
inline std::string NumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Picks the entry when the list has it, types the text otherwise.
inline void Choose(Form1& form, ComboBox& box, const std::string& text) {
    if (std::find(box.List.begin(), box.List.end(), text) != box.List.end())
        form.UserPick(box, text);
    else
        form.UserEdit(box, text);
}

inline Point RunPoint(const Settings& settings, double offered) {
    Form1 form;
    form.Form_Load();
    Choose(form, form.cmbTopology, settings.Topology);
    Choose(form, form.cmbNodes, Str(settings.Stations));
    // The list writes lengths with a leading blank, as " 10".
    Choose(form, form.cmbLength, " " + NumberText(settings.PacketLength));
    Choose(form, form.cmbScheme, settings.Scheme);
    // The backoff toggle is only on view while "Reliable" is: a user turns
    // Reliable on, sets the backoff, and turns Reliable off again if wanted.
    if (form.chkReliable.Value == 0) form.UserToggle(form.chkReliable);
    if ((form.chkRandom.Value == 1) != settings.RandomBackoff) form.UserToggle(form.chkRandom);
    if (!settings.Reliable) form.UserToggle(form.chkReliable);
    form.UserEdit(form.cmbOT, NumberText(offered));
    form.cmdStart_Click(0);
    for (long long t = 0; t < settings.Ticks; ++t)
        if (form.Timer1.Enabled) form.Timer1_Timer();

    Point point;
    point.Offered = offered;
    point.Ticks = form.TickCount;
    point.Queued = form.TotalQueued;
    point.Sent = form.TotalSent;
    point.Received = form.TotalReceived;
    for (int i = 0; i < form.ActiveStations(); ++i) point.Backlog += form.NodeTable[i].QueueCount;
    // The window's own figures, unrounded.
    if (form.TickCount > 0) point.Utilisation = form.UtilisationPercent() / 100;
    if (form.TotalQueued > 0) point.Efficiency = form.EfficiencyPercent() / 100;
    return point;
}

} // namespace maclab::sweep
