// The window's drawing surface: a persistent image that the tick paints rings
// into, with the network picture (bus line, end pieces, hub, drop lines and
// station shapes) painted over it.
#pragma once

#include <QHash>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <vector>

#include "core/form1.h"
#include "core/surface.h"

namespace maclab::qt {

class Canvas final : public QWidget, public Surface {
  public:
    Canvas(const Form1& form, QWidget* parent);

    // --- Surface: what the tick draws ---
    void Clear() override;
    void DrawRing(Long x, Long y, Integer size, Long colour) override;
    void DrawBusSegment(Long x, Long y) override;
    // The shapes and lines are painted over the image in every paint, so they
    // always show above the rings; nothing more to do here.
    void Repaint(RepaintTarget, int) override {}

    // Compares the shapes and lines of the model with what was last painted
    // and marks the areas of those that changed.
    void SyncShapes();
    // Asks Qt to paint every area marked since the last call.
    void Flush();

    // The persistent drawing (device pixels, with its device pixel ratio).
    const QImage& Image() const { return image_; }
    // Number of paint events handled, for measurements.
    long PaintCount() const { return paints_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    enum class Look { Line, Box, Circle };
    struct Item {
        const Control* model;
        Look look;
        Control shown;
    };

    void AdoptPixelRatio();
    void MarkDirty(const QRect& area);
    static QRect Bounds(const Item& item, const Control& c);
    void PaintItem(class QPainter& painter, const Item& item);
    enum class Part { Box, Disc, Outline };
    const QImage& ShapePart(const Control& c, Part part, Long colour);

    const Form1& form_;
    QImage image_;
    qreal ratio_ = 1;
    bool blank_ = true; // nothing drawn since the image was last cleared
    QRegion dirty_;
    std::vector<Item> items_;
    // Boxes, discs and circle outlines drawn once per size, colour and density
    // and then copied: a station's outline changes colour with every signal it
    // hears, its fill rarely, so the two are kept apart.
    struct ShapeKey {
        Part part;
        float width, height, border;
        Long colour;
        qreal ratio;
        bool operator==(const ShapeKey&) const = default;
    };
    friend size_t qHash(const ShapeKey& k, size_t seed) {
        return qHashMulti(seed, static_cast<int>(k.part), k.width, k.height, k.border, k.colour,
                          k.ratio);
    }
    QHash<ShapeKey, QImage> shapeCache_;
    long paints_ = 0;
};

} // namespace maclab::qt
