#include "platform/qt/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "platform/qt/colours.h"
#include "platform/qt/ring_raster.h"

namespace maclab::qt {

namespace {
bool SameLook(const Control& a, const Control& b) {
    return a.Visible == b.Visible && a.Left == b.Left && a.Top == b.Top && a.Width == b.Width &&
           a.Height == b.Height && a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2 &&
           a.BackColor == b.BackColor && a.BorderColor == b.BorderColor &&
           a.FillColor == b.FillColor && a.BorderWidth == b.BorderWidth;
}

PixelBuffer BufferOf(QImage& image) {
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
            static_cast<int>(image.bytesPerLine() / 4)};
}
} // namespace

Canvas::Canvas(const Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(0, 0, static_cast<int>(std::lround(form.Form.Width / TwipsPerPixel)),
                static_cast<int>(std::lround(form.Form.Height / TwipsPerPixel)));
    // The shapes and lines of the table, painted bottom to top in its order.
    for (const ControlEntry& entry : form.Controls()) {
        const Control& c = *entry.Model;
        if (entry.Type == ControlEntry::Kind::Line)
            items_.push_back({&c, Look::Line, {}});
        else if (entry.Type == ControlEntry::Kind::Shape)
            items_.push_back({&c, c.Shape == ShapeForm::Circle ? Look::Circle : Look::Box, {}});
    }
    for (Item& item : items_) {
        item.shown = *item.model;
        item.shown.Visible = false; // nothing painted yet
    }
    AdoptPixelRatio();
}

void Canvas::AdoptPixelRatio() {
    const qreal ratio = devicePixelRatioF();
    if (!image_.isNull() && ratio == ratio_) return;
    QImage next(static_cast<int>(std::ceil(width() * ratio)),
                static_cast<int>(std::ceil(height() * ratio)), QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    next.fill(ModelColour(form_.Form.BackColor));
    if (!image_.isNull() && !blank_) {
        // Keep what is drawn when the window moves to a screen of another density.
        QPainter p(&next);
        p.drawImage(QRectF(0, 0, width(), height()), image_);
    }
    image_ = std::move(next);
    ratio_ = ratio;
    MarkDirty(rect());
}

void Canvas::MarkDirty(const QRect& area) {
    dirty_ += area;
}

void Canvas::Clear() {
    if (blank_) return;
    image_.fill(ModelColour(form_.Form.BackColor));
    blank_ = true;
    MarkDirty(rect());
}

void Canvas::DrawRing(Long x, Long y, Integer size, Long colour) {
    // Four circles of radius size - 1 .. size + 2 pixels: every pixel whose
    // distance from the centre rounds to one of them.
    const double cx = x / TwipsPerPixel, cy = y / TwipsPerPixel;
    FillAnnulus(BufferOf(image_), static_cast<int>(std::lround(cx * ratio_)),
                static_cast<int>(std::lround(cy * ratio_)), (size - 1.5) * ratio_,
                (size + 2.5) * ratio_, ModelPixel(colour));
    blank_ = false;
    const int reach = size + 4;
    MarkDirty(QRect(static_cast<int>(std::floor(cx)) - reach,
                    static_cast<int>(std::floor(cy)) - reach, 2 * reach + 2, 2 * reach + 2));
}

void Canvas::DrawBusSegment(Long x, Long y) {
    // The box's corners are both inside it.
    const double left = (x - 240) / TwipsPerPixel, right = (x + 240) / TwipsPerPixel + 1;
    const double top = (y - 30) / TwipsPerPixel, bottom = (y + 10) / TwipsPerPixel + 1;
    FillBox(BufferOf(image_), static_cast<int>(std::floor(left * ratio_)),
            static_cast<int>(std::floor(top * ratio_)),
            static_cast<int>(std::floor(right * ratio_)),
            static_cast<int>(std::floor(bottom * ratio_)), ModelPixel(0));
    blank_ = false;
    MarkDirty(QRect(QPoint(static_cast<int>(left) - 1, static_cast<int>(top) - 1),
                    QPoint(static_cast<int>(right) + 1, static_cast<int>(bottom) + 1)));
}

QRect Canvas::Bounds(const Item& item, const Control& c) {
    if (!c.Visible) return {};
    const int pad = static_cast<int>(std::ceil(c.BorderWidth)) + 2;
    if (item.look == Look::Line) {
        const QRectF r =
            QRectF(QPointF(c.X1, c.Y1) / TwipsPerPixel, QPointF(c.X2, c.Y2) / TwipsPerPixel)
                .normalized();
        return r.toAlignedRect().adjusted(-pad, -pad, pad, pad);
    }
    return QRectF(c.Left / TwipsPerPixel, c.Top / TwipsPerPixel, c.Width / TwipsPerPixel,
                  c.Height / TwipsPerPixel)
        .toAlignedRect()
        .adjusted(-pad, -pad, pad, pad);
}

void Canvas::SyncShapes() {
    for (Item& item : items_) {
        if (SameLook(*item.model, item.shown)) continue;
        MarkDirty(Bounds(item, item.shown));
        item.shown = *item.model;
        MarkDirty(Bounds(item, item.shown));
    }
}

void Canvas::Flush() {
    AdoptPixelRatio();
    if (dirty_.isEmpty()) return;
    update(dirty_);
    dirty_ = QRegion();
}

const QImage& Canvas::ShapePart(const Control& c, Part part, Long colour) {
    const ShapeKey key{part, c.Width, c.Height, c.BorderWidth, colour, ratio_};
    const auto found = shapeCache_.constFind(key);
    if (found != shapeCache_.constEnd()) return *found;
    // Only a few hundred looks ever occur; a bound keeps a pathological run small.
    if (shapeCache_.size() > 4096) shapeCache_.clear();

    const QSizeF size(c.Width / TwipsPerPixel, c.Height / TwipsPerPixel);
    QImage image(static_cast<int>(std::ceil(size.width() * ratio_)) + 1,
                 static_cast<int>(std::ceil(size.height() * ratio_)) + 1,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio_);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (part == Part::Box) {
        p.setPen(QPen(ModelColour(c.BorderColor), 1));
        p.setBrush(ModelColour(colour));
        p.drawRect(QRectF(QPointF(0, 0), size).adjusted(0, 0, -1, -1));
    } else {
        // A circle as large as the shorter side, centred, its border inside;
        // the disc reaches the middle of the border, which covers its edge.
        const qreal width = std::max<qreal>(1, c.BorderWidth);
        const qreal d = std::min(size.width(), size.height());
        QRectF circle(QPointF(size.width() - d, size.height() - d) / 2, QSizeF(d, d));
        circle.adjust(width / 2, width / 2, -width / 2, -width / 2);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (part == Part::Disc) {
            p.setPen(Qt::NoPen);
            p.setBrush(ModelColour(colour));
        } else {
            p.setPen(QPen(ModelColour(colour), width));
            p.setBrush(Qt::NoBrush);
        }
        p.drawEllipse(circle);
    }
    p.end();
    return *shapeCache_.insert(key, std::move(image));
}

void Canvas::PaintItem(QPainter& p, const Item& item) {
    const Control& c = item.shown;
    if (!c.Visible) return;
    if (item.look == Look::Line) {
        const QPointF a = QPointF(c.X1, c.Y1) / TwipsPerPixel;
        const QPointF b = QPointF(c.X2, c.Y2) / TwipsPerPixel;
        // Aliased, as the rings: crisp, and cheap to draw again under a changed ring.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(ModelColour(c.BorderColor), std::max<qreal>(1, c.BorderWidth), Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(a, b);
        return;
    }
    const QPointF at(c.Left / TwipsPerPixel, c.Top / TwipsPerPixel);
    if (item.look == Look::Box) {
        p.drawImage(at, ShapePart(c, Part::Box, c.BackColor));
        return;
    }
    if (c.SolidFill) p.drawImage(at, ShapePart(c, Part::Disc, c.FillColor));
    p.drawImage(at, ShapePart(c, Part::Outline, c.BorderColor));
}

void Canvas::paintEvent(QPaintEvent* event) {
    ++paints_;
    AdoptPixelRatio();
    QPainter p(this);
    for (const QRect& area : event->region())
        p.drawImage(QRectF(area), image_,
                    QRectF(area.x() * ratio_, area.y() * ratio_, area.width() * ratio_,
                           area.height() * ratio_));
    const QRegion& region = event->region();
    for (const Item& item : items_)
        if (region.intersects(Bounds(item, item.shown))) PaintItem(p, item);
}

} // namespace maclab::qt
