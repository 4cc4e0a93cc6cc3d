#include "platform/qt/colours.h"

#include <array>

namespace maclab::qt {

namespace {
// The classic desktop palette, indexed by the low byte of a system-colour code.
// Index 11 (inactive border) is the window's own background.
constexpr std::array<Long, 25> SystemPalette = {
    RGB(192, 192, 192), // 0 scroll bar
    RGB(0, 128, 128),   // 1 desktop
    RGB(0, 0, 128),     // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(192, 192, 192), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(192, 192, 192), // 10 active border
    RGB(222, 220, 214), // 11 inactive border
    RGB(128, 128, 128), // 12 application workspace
    RGB(0, 0, 128),     // 13 highlight
    RGB(255, 255, 255), // 14 highlighted text
    RGB(192, 192, 192), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 grey text
    RGB(0, 0, 0),       // 18 button text
    RGB(192, 192, 192), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(0, 0, 0),       // 21 dark shadow
    RGB(223, 223, 223), // 22 light
    RGB(0, 0, 0),       // 23 tool-tip text
    RGB(255, 255, 225), // 24 tool-tip background
};
} // namespace

QColor ModelColour(Long colour) {
    if (IsSystemColour(colour)) {
        const unsigned index = static_cast<unsigned>(colour) & 0xffu;
        colour = index < SystemPalette.size() ? SystemPalette[index] : 0;
    }
    const auto c = static_cast<unsigned>(colour);
    return QColor(static_cast<int>(c & 0xffu), static_cast<int>((c >> 8) & 0xffu),
                  static_cast<int>((c >> 16) & 0xffu));
}

} // namespace maclab::qt
