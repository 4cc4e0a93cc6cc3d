// One measurement of a sweep: the program, started as the window starts it, is
// set up through the same user actions a person would take and then runs a
// fixed number of ticks with random traffic on.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
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
#if defined(__cpp_lib_to_chars)
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
#else
    // A library without to_chars for doubles (the browser build's): as
    // to_chars writes it, the shorter of the fewest digits in fixed and in
    // scientific notation that read back exactly, fixed when they tie.
    const auto fewest = [value](const char* format, int most) {
        char text[400];
        for (int digits = 0;; ++digits) {
            std::snprintf(text, sizeof text, format, digits, value);
            if (digits >= most || std::strtod(text, nullptr) == value) return std::string(text);
        }
    };
    (void)buffer;
    const std::string fixed = fewest("%.*f", 330), scientific = fewest("%.*e", 17);
    return fixed.size() <= scientific.size() ? fixed : scientific;
#endif
}

// Runs one point on a fresh Form1 of its own.
Point RunPoint(const Settings& settings, double offered);

// The same, asking carryOn(ticks run so far) after every CheckEvery ticks and
// at the end; nothing when it answers false (the run was abandoned).
constexpr long long CheckEvery = 1024;
std::optional<Point> RunPoint(const Settings& settings, double offered,
                              const std::function<bool(long long)>& carryOn);

} // namespace maclab::sweep
