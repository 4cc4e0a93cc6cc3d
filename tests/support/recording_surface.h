// A drawing surface that records every call made to it, in order, so tests can
// check exactly what the tick painted and which controls it made redraw.
#pragma once

#include <cstddef>
#include <vector>

#include "core/surface.h"

namespace maclab::testing {

class RecordingSurface final : public Surface {
  public:
    enum class Kind { Clear, Ring, BusSegment, Repaint };

    struct Call {
        Kind kind;
        Long x = 0;
        Long y = 0;
        Integer size = 0;
        Long colour = 0;
        RepaintTarget target = RepaintTarget::EndPiece;
        int index = 0;

        bool IsRingAt(Long rx, Long ry) const { return kind == Kind::Ring && x == rx && y == ry; }
        bool IsRepaint(RepaintTarget t, int i) const {
            return kind == Kind::Repaint && target == t && index == i;
        }
    };

    void Clear() override { calls.push_back({Kind::Clear}); }
    void DrawRing(Long x, Long y, Integer size, Long colour) override {
        calls.push_back({Kind::Ring, x, y, size, colour});
    }
    void DrawBusSegment(Long x, Long y) override { calls.push_back({Kind::BusSegment, x, y}); }
    void Repaint(RepaintTarget target, int index) override {
        Call c{Kind::Repaint};
        c.target = target;
        c.index = index;
        calls.push_back(c);
    }

    bool Draws() const override { return drawing; }
    // While false the surface reports that it draws nothing; calls that still
    // arrive are recorded all the same.
    bool drawing = true;

    // Forget everything recorded so far.
    void Reset() { calls.clear(); }

    std::size_t Count(Kind kind) const {
        std::size_t n = 0;
        for (const Call& c : calls)
            if (c.kind == kind) ++n;
        return n;
    }
    // Rings drawn at (x, y), in the order they were drawn.
    std::vector<Call> RingsAt(Long x, Long y) const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.IsRingAt(x, y)) out.push_back(c);
        return out;
    }
    std::size_t RepaintCount(RepaintTarget target, int index) const {
        std::size_t n = 0;
        for (const Call& c : calls)
            if (c.IsRepaint(target, index)) ++n;
        return n;
    }

    std::vector<Call> calls;
};

} // namespace maclab::testing
