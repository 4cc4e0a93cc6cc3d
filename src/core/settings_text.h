// What the rules use of a typed setting: the number each box's text stands
// for, made sound (whole stations, lengths and traffic within their ranges).
#pragma once

#include <algorithm>
#include <string_view>

#include "core/numbers.h"

namespace maclab {

constexpr int MaxStations = 24;

// 0 (no network) or a whole number of 2..24 stations.
inline double NodeCountFromText(std::string_view text) {
    const double n = LeadingNumber(text);
    if (n < 2) return 0;
    if (n > MaxStations) return MaxStations;
    return RoundHalfEven(n);
}

// Shorter frames never reach their end marker, and 0 would divide the arrival
// rate and the slot length by zero.
inline double PacketLengthFromText(std::string_view text) {
    return std::clamp(LeadingNumber(text), 3.0, 10000.0);
}

// Clamped so that the arrival probability always fits a single-precision number.
inline double OfferedTrafficFromText(std::string_view text) {
    return std::clamp(LeadingNumber(text), 0.0, 1000000.0);
}

// The text without the blanks and tabs around it.
inline std::string_view TrimmedText(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

} // namespace maclab
