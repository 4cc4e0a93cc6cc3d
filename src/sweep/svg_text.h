// Text pieces shared by the SVG and CSV writers of the charts.
#pragma once

#include <cstdio>
#include <string>

namespace maclab::sweep {

// A number with a fixed count of decimals, as the charts print coordinates.
inline std::string Fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// Text made safe inside an XML element or attribute.
inline std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

} // namespace maclab::sweep
