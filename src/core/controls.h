// A plain model of the window's controls: what each shows and where.
//
// The simulation writes these fields directly, as it would write the
// properties of real controls; the window mirrors them onto widgets, and the
// headless runner prints them.
#pragma once

#include <string>
#include <vector>

#include "core/numbers.h"

namespace maclab {

// Colours of the toolkit's system palette, as a control accepts them (high bit set).
constexpr Long SystemColourWindowText = static_cast<Long>(0x80000008u);
constexpr Long SystemColourWindowFrame = static_cast<Long>(0x80000007u);
constexpr Long SystemColourCaptionText = static_cast<Long>(0x80000009u);
inline bool IsSystemColour(Long c) {
    return c < 0;
}

struct Control {
    std::string Caption;
    bool Visible = true;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Long BackColor = 0;
    Long ForeColor = SystemColourWindowText;
    Long BorderColor = 0;
    Long FillColor = 0;
    float BorderWidth = 1;
    float FontSize = 18;
    // Lines: the two end points.
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    // Toggles: 0 raised (off), 1 pressed (on).
    int Value = 0;
};

// An editable drop-down list: a text field plus its list entries.
struct ComboBox : Control {
    std::string Text;
    std::vector<std::string> List;
};

struct TimerModel {
    bool Enabled = true;
    int Interval = 100; // milliseconds
};

} // namespace maclab
