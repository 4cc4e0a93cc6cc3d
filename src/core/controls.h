// A plain model of the window's controls: what each shows and where.
//
// The simulation writes these fields directly, as it would write the
// properties of real controls; the window mirrors them onto widgets, and the
// headless runner prints them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/numbers.h"

namespace maclab {

// Positions and sizes are in twips: 1440 to the inch, 15 to a pixel at 96
// dots per inch.
constexpr double TwipsPerPixel = 15.0;

// Colours of the toolkit's system palette, as a control accepts them (high bit set).
constexpr Long SystemColourWindowText = static_cast<Long>(0x80000008u);
constexpr Long SystemColourWindowFrame = static_cast<Long>(0x80000007u);
constexpr Long SystemColourCaptionText = static_cast<Long>(0x80000009u);
inline bool IsSystemColour(Long c) {
    return c < 0;
}

// The outline of a shape control.
enum class ShapeForm { Rectangle, Circle };

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
    // Buttons: drawn in their BackColor rather than the system's button face.
    bool Graphical = false;
    // Shapes: the outline, whether the inside shows BackColor (an opaque
    // shape) or FillColor (a solid fill), or neither (an outline only).
    ShapeForm Shape = ShapeForm::Rectangle;
    bool Opaque = false;
    bool SolidFill = false;
    // What the control says when the pointer rests on it.
    std::string ToolTip;

    bool operator==(const Control&) const = default;
};

// An editable drop-down list: a text field plus its list entries.
struct ComboBox : Control {
    std::string Text;
    std::vector<std::string> List;

    bool operator==(const ComboBox&) const = default;
};

class Form1;

// Puts a control at a place and size, in twips.
inline void Place(Control& c, float left, float top, float width, float height) {
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
}

// One control of the window, as every front end finds it: its name, what kind
// of control it is, the model it shows and the handlers a user action runs.
// Members of a control array (one per station, or the two cmdStart buttons)
// are entries of their own with the same name and their index.
struct ControlEntry {
    enum class Kind { Label, Button, Toggle, ComboBox, Shape, Line };

    std::string_view Name;
    Kind Type;
    Control* Model;
    int Index = -1; // member of a control array, -1 for a single control
    int Count = 1;  // members of its array
    // Buttons and toggles: the click handler (the indexed one for arrays).
    void (Form1::*Click)() = nullptr;
    void (Form1::*IndexedClick)(int) = nullptr;
    // Combo boxes: the text-change and the list-pick handlers (none for the
    // offered traffic).
    void (Form1::*Change)() = nullptr;
    void (Form1::*Pick)() = nullptr;
    // The key that works as a click on this button or toggle, by its name
    // ("Space", "Right", or a letter), or empty.
    std::string_view Key = {};

    bool InArray() const { return Index >= 0; }
    // The model of a combo box (only for Kind::ComboBox).
    ComboBox& Combo() const { return static_cast<ComboBox&>(*Model); }
};

struct TimerModel {
    bool Enabled = true;
    int Interval = 100; // milliseconds

    bool operator==(const TimerModel&) const = default;
};

} // namespace maclab
