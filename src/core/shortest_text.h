// The shortest text that reads back as exactly a number, as std::to_chars
// writes it, also where the C++ library has no to_chars for doubles (that of
// Debian's emscripten, which the browser build uses).
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace maclab {

inline std::string ShortestText(double value) {
#if defined(__cpp_lib_to_chars)
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
#else
    // The shorter of the fewest digits in fixed and in scientific notation
    // that read back exactly, fixed when they tie, as to_chars chooses.
    const auto fewest = [value](const char* format, int most) {
        char text[400];
        for (int digits = 0;; ++digits) {
            std::snprintf(text, sizeof text, format, digits, value);
            if (digits >= most || std::strtod(text, nullptr) == value) return std::string(text);
        }
    };
    const std::string fixed = fewest("%.*f", 330), scientific = fewest("%.*e", 17);
    return fixed.size() <= scientific.size() ? fixed : scientific;
#endif
}

} // namespace maclab
