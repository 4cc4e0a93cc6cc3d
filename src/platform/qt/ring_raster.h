// Crisp, aliased rings written straight into a 32-bit pixel buffer.
//
// A ring of the medium is four one-pixel circle outlines one pixel apart; drawn
// as one band they leave no holes between the circles and cost one span fill
// per scan line, which keeps a tick that repaints hundreds of large rings cheap.
#pragma once

#include <cstdint>

namespace maclab::qt {

struct PixelBuffer {
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // pixels per scan line
};

// Sets every pixel (px, py) of the buffer whose distance from the centre (cx, cy)
// lies in [inner, outer) to colour.  Pixels outside the buffer are skipped.
void FillAnnulus(const PixelBuffer& buffer, int cx, int cy, double inner, double outer,
                 std::uint32_t colour);

// Sets the pixels of the rectangle [left, right) x [top, bottom), clipped.
void FillBox(const PixelBuffer& buffer, int left, int top, int right, int bottom,
             std::uint32_t colour);

} // namespace maclab::qt
