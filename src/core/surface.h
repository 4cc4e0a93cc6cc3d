// The narrow interface through which the simulation draws the medium.
//
// The window paints it, the headless runner prints it and tests record it.
#pragma once

#include "core/numbers.h"

namespace maclab {

// Controls drawn over the surface that the tick forces to draw themselves
// again after rings have been painted under them.
enum class RepaintTarget { EndPiece, Hub, DropLine };

class Surface {
  public:
    virtual ~Surface() = default;
    // Erase everything drawn since the last clear.
    virtual void Clear() = 0;
    // Four concentric circle outlines centred at (x, y) twips, radii
    // 15 * (size - 1) .. 15 * (size + 2) twips, in the given colour.
    virtual void DrawRing(Long x, Long y, Integer size, Long colour) = 0;
    // A filled black box from (x - 240, y - 30) to (x + 240, y + 10) twips.
    virtual void DrawBusSegment(Long x, Long y) = 0;
    // A control drawn over the surface must be drawn again: Shape4(index),
    // Shape1 (index unused) or lneDrop(index).
    virtual void Repaint(RepaintTarget target, int index) = 0;
    // Whether drawing calls have any effect just now.  While they have none
    // the tick may leave them out; it still keeps its record of what every
    // cell shows, so that drawing resumes exactly where it would have been.
    virtual bool Draws() const { return true; }
};

// Draws nothing: the surface of a program that shows nothing.
class NullSurface final : public Surface {
  public:
    void Clear() override {}
    void DrawRing(Long, Long, Integer, Long) override {}
    void DrawBusSegment(Long, Long) override {}
    void Repaint(RepaintTarget, int) override {}
    bool Draws() const override { return false; }
};

} // namespace maclab
