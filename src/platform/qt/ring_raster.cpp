#include "platform/qt/ring_raster.h"

#include <algorithm>
#include <cmath>

namespace maclab::qt {

namespace {
void FillSpan(const PixelBuffer& b, int y, int x0, int x1, std::uint32_t colour) {
    // x0..x1 inclusive
    if (y < 0 || y >= b.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, b.width - 1);
    if (x0 > x1) return;
    std::uint32_t* row = b.bits + static_cast<std::ptrdiff_t>(y) * b.stride;
    std::fill(row + x0, row + x1 + 1, colour);
}
} // namespace

void FillAnnulus(const PixelBuffer& b, int cx, int cy, double inner, double outer,
                 std::uint32_t colour) {
    if (!(outer > 0) || b.bits == nullptr) return;
    inner = std::max(inner, 0.0);
    const double in2 = inner * inner;
    const double out2 = outer * outer;
    // Rows above and below the whole ring leave nothing to do.
    const int reach = static_cast<int>(std::ceil(outer));
    if (cy + reach < 0 || cy - reach >= b.height || cx + reach < 0 || cx - reach >= b.width) return;
    // Walk the rows outward from the centre; the half-widths of the outer and
    // inner circles only shrink as |dy| grows, so each moves monotonically.
    long long outerHalf = reach; // largest dx with dx^2 + dy^2 < out2
    long long innerHalf = reach; // smallest dx with dx^2 + dy^2 >= in2
    for (long long dy = 0; dy <= reach; ++dy) {
        const double dy2 = static_cast<double>(dy * dy);
        if (dy2 >= out2) break;
        while (outerHalf >= 0 && static_cast<double>(outerHalf * outerHalf) + dy2 >= out2)
            --outerHalf;
        if (outerHalf < 0) break;
        const bool hollow = dy2 < in2;
        if (hollow) {
            while (innerHalf > 0 &&
                   static_cast<double>((innerHalf - 1) * (innerHalf - 1)) + dy2 >= in2)
                --innerHalf;
        }
        const int ox = static_cast<int>(outerHalf);
        const int ix = static_cast<int>(innerHalf);
        for (int y : {cy - static_cast<int>(dy), cy + static_cast<int>(dy)}) {
            if (hollow && ix <= ox) {
                FillSpan(b, y, cx - ox, cx - ix, colour);
                FillSpan(b, y, cx + ix, cx + ox, colour);
            } else if (!hollow) {
                FillSpan(b, y, cx - ox, cx + ox, colour);
            }
            if (dy == 0) break;
        }
    }
}

void FillBox(const PixelBuffer& b, int left, int top, int right, int bottom, std::uint32_t colour) {
    if (b.bits == nullptr) return;
    for (int y = std::max(top, 0); y < std::min(bottom, b.height); ++y)
        FillSpan(b, y, left, right - 1, colour);
}

} // namespace maclab::qt
