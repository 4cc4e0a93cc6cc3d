// The colours people see, chosen to be told apart from the back of a lecture
// hall: the panel's background, the colour silence is shown in on the medium,
// and the contrast arithmetic that checks them.  Every front end takes its
// colours from here and from the control model.
#pragma once

#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace maclab {

// The window's background behind the panel and its texts (also the value of
// silence for the rules): light, so that the green, blue and purple totals
// and black text read at 4.5 : 1 or better.
constexpr Long PanelColour = RGB(246, 245, 240);
// Silence as shown on the medium: a mid grey, against which every marker
// grey, white, every data tint (2 : 1 or better) and black (4.5 : 1) stand
// out.
constexpr Long MediumColour = RGB(128, 128, 132);
// A scheme box whose text names no scheme shows it in this red.
constexpr Long NoSchemeColour = RGB(176, 0, 0);

// The relative luminance of a packed colour (sRGB, 0 black .. 1 white).
inline double RelativeLuminance(Long colour) {
    const auto channel = [](int c) {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const int r = colour & 0xff, g = (colour >> 8) & 0xff, b = (colour >> 16) & 0xff;
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

// The luminance contrast of two colours, 1 (none) to 21 (black on white).
inline double ContrastRatio(Long a, Long b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Black or white, whichever reads better on the background.
inline Long ReadableOn(Long background) {
    return ContrastRatio(0, background) >= ContrastRatio(RGB(255, 255, 255), background)
               ? 0
               : RGB(255, 255, 255);
}

} // namespace maclab
