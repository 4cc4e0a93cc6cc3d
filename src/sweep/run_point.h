// One measurement of a sweep: the program, started as the window starts it, is
// set up through the same user actions a person would take and then runs a
// fixed number of ticks with random traffic on.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/form1.h"
#include "core/shortest_text.h"

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
    return ShortestText(value);
}

// Runs one point on a fresh Form1 of its own.
Point RunPoint(const Settings& settings, double offered);

// The same, asking carryOn(ticks run so far) after every CheckEvery ticks and
// at the end; nothing when it answers false (the run was abandoned).
constexpr long long CheckEvery = 1024;
std::optional<Point> RunPoint(const Settings& settings, double offered,
                              const std::function<bool(long long)>& carryOn);

} // namespace maclab::sweep
