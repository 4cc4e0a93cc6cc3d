// Turning the model's colour values into Qt colours.
#pragma once

#include <QColor>

#include "core/controls.h"

namespace maclab::qt {

// A packed red + 256 * green + 65536 * blue value, or a system-colour code
// (high bit set, palette index in the low byte) as the classic desktop showed it.
QColor ModelColour(Long colour);

// The same as a 32-bit pixel (0xffRRGGBB) of an RGB32 image.
inline unsigned int ModelPixel(Long colour) {
    return ModelColour(colour).rgb();
}

} // namespace maclab::qt
