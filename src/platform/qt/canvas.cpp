#include "platform/qt/canvas.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "core/symbol_kind.h"
#include "core/view_colours.h"
#include "platform/qt/colours.h"
#include "platform/qt/main_window.h"
#include "platform/qt/ring_raster.h"
#include "platform/qt/station_table.h"

namespace maclab::qt {

namespace {
bool SameLook(const Control& a, const Control& b) {
    return a.Visible == b.Visible && a.Left == b.Left && a.Top == b.Top && a.Width == b.Width &&
           a.Height == b.Height && a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2 &&
           a.BackColor == b.BackColor && a.BorderColor == b.BorderColor &&
           a.FillColor == b.FillColor && a.BorderWidth == b.BorderWidth;
}

QSize FormPixels(const Form1& form) {
    return {static_cast<int>(std::lround(form.Form.Width / TwipsPerPixel)),
            static_cast<int>(std::lround(form.Form.Height / TwipsPerPixel))};
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

} // namespace

Canvas::Canvas(const Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Who hears whom is shown for the station under the pointer.
    setMouseTracking(true);
    resize(FormPixels(form));
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
    AdoptGeometry();
}

QRect Canvas::ToWidget(float left, float top, float width, float height) const {
    // Edges, not sizes, are rounded, so that controls that touch in the form
    // still touch at every scale.
    const double k = scale_ / TwipsPerPixel;
    const int x0 = Round(left * k), y0 = Round(top * k);
    return QRect(QPoint(x0, y0),
                 QPoint(Round((left + width) * k) - 1, Round((top + height) * k) - 1));
}

void Canvas::SetScale(double scale) {
    const QSize form = FormPixels(form_);
    const QSize size(Round(form.width() * scale), Round(form.height() * scale));
    if (scale == scale_ && size == this->size()) return;
    scale_ = scale;
    resize(size);
    AdoptGeometry();
    if (onRescale_) onRescale_();
}

void Canvas::AdoptGeometry() {
    const qreal density = devicePixelRatioF();
    const QSize want(static_cast<int>(std::ceil(width() * density)),
                     static_cast<int>(std::ceil(height() * density)));
    if (!image_.isNull() && density == density_ && image_.size() == want &&
        ratio_ == scale_ * density)
        return;
    density_ = density;
    ratio_ = scale_ * density;
    image_ = QImage(want, QImage::Format_RGB32);
    image_.setDevicePixelRatio(density_);
    const Control& m = form_.Medium;
    const double k = ratio_ / TwipsPerPixel;
    mediumLeft_ = std::clamp(Round(m.Left * k), 0, want.width());
    mediumTop_ = std::clamp(Round(m.Top * k), 0, want.height());
    mediumRight_ = std::clamp(Round((m.Left + m.Width) * k), mediumLeft_, want.width());
    mediumBottom_ = std::clamp(Round((m.Top + m.Height) * k), mediumTop_, want.height());
    // The panel's captions that reach into the medium's area from outside
    // ("Offered Traffic", "Packet Length") keep the panel's colour behind
    // them: no ring is drawn there, and silence is not shown there either.
    captions_.clear();
    const QRect medium(QPoint(mediumLeft_, mediumTop_),
                       QPoint(mediumRight_ - 1, mediumBottom_ - 1));
    for (const ControlEntry& e : form_.Controls()) {
        const Control& c = *e.Model;
        if (e.Type != ControlEntry::Kind::Label || e.InArray()) continue;
        const QRect box(
            QPoint(Round(c.Left * k), Round(c.Top * k)),
            QPoint(Round((c.Left + c.Width) * k) - 1, Round((c.Top + c.Height) * k) - 1));
        if (medium.intersects(box) && !medium.contains(box)) captions_.push_back(box & medium);
    }
    // One clean corner of the panel's colour rather than a step per caption:
    // out to the medium's edge, and up to its top when that is near.
    if (!captions_.empty()) {
        QRect corner;
        for (const QRect& box : captions_) corner |= box;
        if (corner.right() + corner.width() > medium.right()) corner.setRight(medium.right());
        if (corner.top() - medium.top() < corner.height()) corner.setTop(medium.top());
        captions_.assign(1, corner);
    }
    // Looks drawn for another density are not needed again soon.
    shapeCache_.clear();
    glyphs_.clear();
    layersStale_ = true;
    Redraw();
    dirty_.assign(1, rect());
}

void Canvas::FillBackground() {
    image_.fill(ModelColour(form_.Form.BackColor));
    const PixelBuffer all{reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(),
                          image_.height(), static_cast<int>(image_.bytesPerLine() / 4)};
    FillBox(all, mediumLeft_, mediumTop_, mediumRight_, mediumBottom_,
            ModelPixel(form_.Medium.BackColor));
    KeepCaptions(QRect(0, 0, image_.width(), image_.height()));
    RestoreLines(0, 0, image_.width(), image_.height());
}

// A line of the model is every image pixel whose centre lies within half its
// width of the segment between its end points, the ends cut square (aliased,
// as the rings).  Drawn by the canvas itself, into the image, so that a tick
// that redraws rings under the long spokes of a star does not draw the spokes
// again through the toolkit.
void Canvas::TraceLines() {
    lineRuns_.assign(static_cast<size_t>(std::max(0, image_.height())), {});
    lineTop_ = image_.height();
    lineBottom_ = 0;
    const double k = ratio_ / TwipsPerPixel;
    for (const Item& item : items_) {
        const Control& c = item.shown;
        if (item.look != Look::Line || !c.Visible) continue;
        const QPointF a(c.X1 * k, c.Y1 * k), b(c.X2 * k, c.Y2 * k);
        const double half = std::max<double>(1, c.BorderWidth * scale_) * density_ / 2;
        const QPointF along = b - a;
        const double length = std::hypot(along.x(), along.y());
        // The four corners of the line's box; a point is a line's own.
        const QPointF unit = length > 0 ? along / length : QPointF(1, 0);
        const QPointF across(-unit.y() * half, unit.x() * half);
        const QPointF ahead = length > 0 ? QPointF(0, 0) : unit * half;
        const QPointF corner[4] = {a - across - ahead, b - across + ahead, b + across + ahead,
                                   a + across - ahead};
        double top = corner[0].y(), bottom = top;
        for (const QPointF& p : corner) {
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
        const std::uint32_t colour = ModelPixel(c.BorderColor);
        const int firstRow = std::max(0, static_cast<int>(std::ceil(top - 0.5)));
        const int lastRow =
            std::min(image_.height() - 1, static_cast<int>(std::floor(bottom - 0.5)));
        for (int row = firstRow; row <= lastRow; ++row) {
            // Where the row's centre line crosses the box's edges.
            const double y = row + 0.5;
            double left = 1e18, right = -1e18;
            for (int e = 0; e < 4; ++e) {
                const QPointF p = corner[e], q = corner[(e + 1) % 4];
                if ((p.y() <= y && q.y() >= y) || (q.y() <= y && p.y() >= y)) {
                    const double dy = q.y() - p.y();
                    if (std::abs(dy) < 1e-12) {
                        left = std::min({left, p.x(), q.x()});
                        right = std::max({right, p.x(), q.x()});
                    } else {
                        const double x = p.x() + (y - p.y()) / dy * (q.x() - p.x());
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            }
            // Pixels whose centres lie inside; at least one on a thin slant.
            int from = static_cast<int>(std::ceil(left - 0.5));
            int to = static_cast<int>(std::floor(right - 0.5)) + 1;
            if (to <= from) {
                from = static_cast<int>(std::floor((left + right) / 2));
                to = from + 1;
            }
            from = std::max(from, 0);
            to = std::min(to, image_.width());
            if (to <= from) continue;
            lineRuns_[static_cast<size_t>(row)].push_back({from, to, colour});
            lineTop_ = std::min(lineTop_, row);
            lineBottom_ = std::max(lineBottom_, row + 1);
        }
    }
}

void Canvas::KeepCaptions(const QRect& area) {
    const PixelBuffer all{reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(),
                          image_.height(), static_cast<int>(image_.bytesPerLine() / 4)};
    for (const QRect& caption : captions_) {
        const QRect box = caption & area;
        if (!box.isEmpty())
            FillBox(all, box.left(), box.top(), box.right() + 1, box.bottom() + 1,
                    ModelPixel(form_.Form.BackColor));
    }
}

void Canvas::RestoreLines(int left, int top, int right, int bottom) {
    top = std::max(top, lineTop_);
    bottom = std::min(bottom, lineBottom_);
    const int stride = static_cast<int>(image_.bytesPerLine() / 4);
    auto* bits = reinterpret_cast<std::uint32_t*>(image_.bits());
    for (int row = top; row < bottom; ++row) {
        std::uint32_t* line = bits + static_cast<std::ptrdiff_t>(row) * stride;
        for (const Run& run : lineRuns_[static_cast<size_t>(row)]) {
            const int from = std::max(run.left, left), to = std::min(run.right, right);
            if (from < to) std::fill(line + from, line + to, run.colour);
        }
    }
}

// Every cell the model shows in a colour other than silence, drawn as the
// tick drew it; used when the image is made anew at another size.
void Canvas::Redraw() {
    TraceLines();
    FillBackground();
    blank_ = true;
    const int n = std::min(form_.ActiveStations(), StationRecords);
    const bool bus = form_.Topology == TopoBus;
    if (bus)
        for (int c = 0; c < LastBusCell; ++c)
            if (form_.BusShown[c] != form_.BackColour)
                Ring(form_.BusX[c], 4800, 11, form_.BusShown[c]);
    const int cells = bus ? 1 : std::clamp<int>(form_.PathLength, 0, PathCells);
    for (int i = 0; i < n; ++i) {
        const Node& s = form_.NodeTable[i];
        for (int k = 0; k < cells; ++k)
            if (s.CellShown[k] != form_.BackColour)
                Ring(s.CellX[k], s.CellY[k], bus ? Integer{11} : s.CellSize[k], s.CellShown[k]);
    }
}

void Canvas::MarkDirty(const QRectF& area) {
    if (area.isEmpty()) return;
    const QRectF scaled(area.x() * scale_, area.y() * scale_, area.width() * scale_,
                        area.height() * scale_);
    AddDirty(scaled.toAlignedRect().adjusted(-1, -1, 1, 1));
}

void Canvas::AddDirty(QRect box) {
    // A box that touches or nearly touches one already marked joins it, and
    // so does every box it then reaches; beyond a few boxes, the new one
    // joins the box that grows least.
    constexpr int Near = 8;
    constexpr size_t MostBoxes = 6;
    for (;;) {
        const QRect reach = box.adjusted(-Near, -Near, Near, Near);
        auto joined = std::find_if(dirty_.begin(), dirty_.end(),
                                   [&](const QRect& b) { return b.intersects(reach); });
        if (joined == dirty_.end()) break;
        box |= *joined;
        dirty_.erase(joined);
    }
    if (dirty_.size() < MostBoxes) {
        dirty_.push_back(box);
        return;
    }
    const auto growth = [&](const QRect& b) {
        const QRect u = b | box;
        return static_cast<long long>(u.width()) * u.height() -
               static_cast<long long>(b.width()) * b.height();
    };
    QRect& best =
        *std::min_element(dirty_.begin(), dirty_.end(),
                          [&](const QRect& a, const QRect& b) { return growth(a) < growth(b); });
    const QRect merged = best | box;
    dirty_.erase(dirty_.begin() + (&best - dirty_.data()));
    AddDirty(merged);
}

void Canvas::Clear() {
    if (blank_) return;
    FillBackground();
    blank_ = true;
    dirty_.assign(1, rect());
}

void Canvas::Ring(Long x, Long y, Integer size, Long colour) {
    // Silence on the medium shows in the medium's colour.
    if (colour == form_.BackColour) colour = form_.Medium.BackColor;
    // Only the medium's area is drawn on: the panel's texts keep their background.
    const PixelBuffer area{reinterpret_cast<std::uint32_t*>(image_.bits()) + mediumLeft_ +
                               static_cast<std::ptrdiff_t>(mediumTop_) *
                                   (image_.bytesPerLine() / 4),
                           mediumRight_ - mediumLeft_, mediumBottom_ - mediumTop_,
                           static_cast<int>(image_.bytesPerLine() / 4)};
    // Four circles of radius size - 1 .. size + 2 form pixels: every pixel whose
    // distance from the centre rounds to one of them.
    const double cx = x / TwipsPerPixel, cy = y / TwipsPerPixel;
    const int px = Round(cx * ratio_), py = Round(cy * ratio_);
    const double outer = (size + 2.5) * ratio_;
    FillAnnulus(area, px - mediumLeft_, py - mediumTop_, (size - 1.5) * ratio_, outer,
                ModelPixel(colour));
    const int reach = static_cast<int>(std::ceil(outer)) + 1;
    RestoreLines(px - reach, py - reach, px + reach + 1, py + reach + 1);
    KeepCaptions(QRect(px - reach, py - reach, 2 * reach + 1, 2 * reach + 1));
    blank_ = false;
}

void Canvas::DrawRing(Long x, Long y, Integer size, Long colour) {
    Ring(x, y, size, colour);
    // Its marks reach beyond its band.
    const double reach = size + (symbols_ ? MarkRadius + 5 : 4);
    MarkDirty(
        QRectF(x / TwipsPerPixel - reach, y / TwipsPerPixel - reach, 2 * reach + 1, 2 * reach + 1));
}

void Canvas::DrawBusSegment(Long x, Long y) {
    // The box's corners are both inside it.
    const double left = (x - 240) / TwipsPerPixel, right = (x + 240) / TwipsPerPixel + 1;
    const double top = (y - 30) / TwipsPerPixel, bottom = (y + 10) / TwipsPerPixel + 1;
    const auto at = [this](double v) { return static_cast<int>(std::floor(v * ratio_)); };
    const PixelBuffer area{reinterpret_cast<std::uint32_t*>(image_.bits()) + mediumLeft_ +
                               static_cast<std::ptrdiff_t>(mediumTop_) *
                                   (image_.bytesPerLine() / 4),
                           mediumRight_ - mediumLeft_, mediumBottom_ - mediumTop_,
                           static_cast<int>(image_.bytesPerLine() / 4)};
    FillBox(area, at(left) - mediumLeft_, at(top) - mediumTop_, at(right) - mediumLeft_,
            at(bottom) - mediumTop_, ModelPixel(0));
    RestoreLines(at(left), at(top), at(right), at(bottom));
    blank_ = false;
    MarkDirty(QRectF(QPointF(left, top), QPointF(right, bottom)).adjusted(-1, -1, 1, 1));
}

QRectF Canvas::Bounds(const Item& item, const Control& c) {
    if (!c.Visible) return {};
    const double pad = std::ceil(c.BorderWidth) + 2;
    if (item.look == Look::Line)
        return QRectF(QPointF(c.X1, c.Y1) / TwipsPerPixel, QPointF(c.X2, c.Y2) / TwipsPerPixel)
            .normalized()
            .adjusted(-pad, -pad, pad, pad);
    return QRectF(c.Left / TwipsPerPixel, c.Top / TwipsPerPixel, c.Width / TwipsPerPixel,
                  c.Height / TwipsPerPixel)
        .adjusted(-pad, -pad, pad, pad);
}

void Canvas::SyncShapes() {
    bool lines = false;
    for (Item& item : items_) {
        if (SameLook(*item.model, item.shown)) continue;
        MarkDirty(Bounds(item, item.shown));
        item.shown = *item.model;
        MarkDirty(Bounds(item, item.shown));
        lines = lines || item.look == Look::Line;
    }
    // Lines move only when the network is laid out afresh, just after the
    // surface was cleared: the image is drawn again with them where they are now.
    if (lines) Redraw();
}

void Canvas::Flush() {
    AdoptGeometry();
    if (dirty_.empty()) return;
    QRegion region;
    for (const QRect& box : dirty_) region += box;
    update(region);
    dirty_.clear();
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
    image.fill(Qt::transparent);
    // Drawn in form pixels through an explicit scale: a painter on an image
    // whose pixel ratio is below 1 (a window smaller than the form) would
    // draw at ratio 1 and cut the shape off at the image's edge.
    QPainter p(&image);
    p.scale(ratio_, ratio_);
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
    image.setDevicePixelRatio(ratio_);
    return *shapeCache_.insert(key, std::move(image));
}

bool Canvas::Drawn(const Item& item) const {
    // The hub belongs to the Star; on the Ring nothing passes through the
    // middle, so its circle is not drawn there.
    return item.shown.Visible && !(item.model == &form_.Shape1 && form_.Topology == TopoRing);
}

void Canvas::PaintItem(QPainter& p, const Item& item) {
    const Control& c = item.shown;
    // Lines are part of the image.
    if (!Drawn(item) || item.look == Look::Line) return;
    // On whole device pixels, so that the copy stays sharp.
    const QPointF at(std::round(c.Left / TwipsPerPixel * ratio_) / ratio_,
                     std::round(c.Top / TwipsPerPixel * ratio_) / ratio_);
    if (item.look == Look::Box) {
        p.drawImage(at, ShapePart(c, Part::Box, c.BackColor));
        return;
    }
    if (c.SolidFill) p.drawImage(at, ShapePart(c, Part::Disc, c.FillColor));
    p.drawImage(at, ShapePart(c, Part::Outline, c.BorderColor));
    // The legend shows each symbol's mark while the marks are drawn.
    if (symbols_ && item.model >= &form_.shpLegend.front() && item.model <= &form_.shpLegend.back())
        PaintMark(
            p,
            QPointF((c.Left + c.Width / 2) / TwipsPerPixel, (c.Top + c.Height / 2) / TwipsPerPixel),
            c.FillColor);
}

void Canvas::paintEvent(QPaintEvent* event) {
    ++paints_;
    AdoptGeometry();
    QPainter p(this);
    const QRegion& region = event->region();
    const QRect box = region.boundingRect();
    painted_ |= box;
    // Each rectangle of the area copied on its own, clipped to just that
    // rectangle: a plain copy of rows, the cheapest way the toolkit paints.
    for (const QRect& area : region) {
        p.setClipRect(area);
        p.drawImage(QRectF(area), image_,
                    QRectF(area.x() * density_, area.y() * density_, area.width() * density_,
                           area.height() * density_));
    }
    p.setClipping(false);
    // The shapes in form pixels.
    p.scale(scale_, scale_);
    const QRectF within = QRectF(box).adjusted(-1, -1, 1, 1);
    const QRectF form(within.x() / scale_, within.y() / scale_, within.width() / scale_,
                      within.height() / scale_);
    if (symbols_ || reach_ || hovered_ >= 0) {
        // Over the rings and only on the medium, as the rings are.
        const QRect medium(QPoint(mediumLeft_, mediumTop_),
                           QPoint(mediumRight_ - 1, mediumBottom_ - 1));
        QRegion clip(QRectF(medium.x() / ratio_, medium.y() / ratio_, medium.width() / ratio_,
                            medium.height() / ratio_)
                         .toAlignedRect());
        for (const QRect& caption : captions_)
            clip -= QRectF(caption.x() / ratio_, caption.y() / ratio_, caption.width() / ratio_,
                           caption.height() / ratio_)
                        .toAlignedRect();
        p.setClipRegion(clip);
        if (symbols_) PaintMarks(p, form, region);
        p.setClipping(false);
    }
    if (Radio() && (reach_ || hovered_ >= 0)) CopyLayer(p, reachLayer_, region);
    const bool one = region.rectCount() == 1;
    for (const Item& item : items_) {
        const QRectF bounds = Bounds(item, item.shown);
        if (!bounds.intersects(form)) continue;
        if (!one) {
            const QRectF scaled(bounds.x() * scale_, bounds.y() * scale_, bounds.width() * scale_,
                                bounds.height() * scale_);
            if (!region.intersects(scaled.toAlignedRect())) continue;
        }
        PaintItem(p, item);
    }
    if (Radio() && hovered_ >= 0) CopyLayer(p, hearingLayer_, region);
}

// The reach circles and the marks of who hears whom change only when the
// stations move, the toggle or the pointer changes, or the size: they are
// drawn once into layers of their own and copied where the tick repaints.
void Canvas::CopyLayer(QPainter& p, QImage& layer, const QRegion& region) {
    if (layer.isNull() || layersStale_) {
        layersStale_ = false;
        for (QImage* each : {&reachLayer_, &hearingLayer_}) {
            *each = QImage(image_.size(), QImage::Format_ARGB32_Premultiplied);
            each->fill(Qt::transparent);
            QPainter lp(each);
            lp.scale(ratio_, ratio_); // in form pixels (see ShapePart)
            if (each == &reachLayer_) {
                // On the medium only, as the rings.
                QRegion clip(QRectF(mediumLeft_ / ratio_, mediumTop_ / ratio_,
                                    (mediumRight_ - mediumLeft_) / ratio_,
                                    (mediumBottom_ - mediumTop_) / ratio_)
                                 .toAlignedRect());
                for (const QRect& caption : captions_)
                    clip -= QRectF(caption.x() / ratio_, caption.y() / ratio_,
                                   caption.width() / ratio_, caption.height() / ratio_)
                                .toAlignedRect();
                lp.setClipRegion(clip);
                PaintReach(lp);
            } else {
                PaintHearing(lp);
            }
            lp.end();
            each->setDevicePixelRatio(density_);
        }
    }
    p.save();
    p.resetTransform();
    for (const QRect& area : region)
        p.drawImage(QRectF(area), layer,
                    QRectF(area.x() * density_, area.y() * density_, area.width() * density_,
                           area.height() * density_));
    p.restore();
}

// ---- What is drawn over the medium ----

namespace {
// A line that reads on any colour: black, with a white line along its middle.
void StrokeTwice(QPainter& p, double width, const std::function<void()>& draw,
                 Qt::PenStyle style = Qt::SolidLine) {
    QPen outer(Qt::black, width, style, Qt::FlatCap);
    p.setPen(outer);
    draw();
    QPen inner(Qt::white, width / 2, style, Qt::FlatCap);
    // The same dashes as the black line (patterns count in pen widths).
    if (style != Qt::SolidLine) inner.setDashPattern(QVector<qreal>{4 * 2, 2 * 2});
    p.setPen(inner);
    draw();
}
} // namespace

std::vector<QPointF> Canvas::MarkPlaces(Long x, Long y, Integer size) {
    const QPointF centre(x / TwipsPerPixel, y / TwipsPerPixel);
    // A small ring has room for its mark inside; a wave of the radio has the
    // smaller waves inside, so its marks sit on it, at four places round.
    if (size <= 2 * MarkRadius + 4) return {centre};
    const double r = (size + 0.5) / std::sqrt(2.0);
    return {centre + QPointF(r, -r), centre + QPointF(r, r), centre + QPointF(-r, r),
            centre + QPointF(-r, -r)};
}

const QImage& Canvas::Glyph(Long colour) {
    const auto found = glyphs_.constFind(colour);
    if (found != glyphs_.constEnd()) return *found;
    const std::string_view mark = SymbolMark(SymbolKindOf(form_, colour));
    QImage image;
    if (!mark.empty()) {
        const int side = static_cast<int>(std::ceil(2 * MarkRadius * ratio_)) + 1;
        image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // Drawn in form pixels through an explicit scale (see ShapePart).
        QPainter p(&image);
        p.scale(ratio_, ratio_);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        const QColor ink = ModelColour(ReadableOn(colour));
        p.setPen(QPen(ink, 1));
        p.setBrush(ModelColour(colour));
        const QRectF disc(0.5, 0.5, 2 * MarkRadius - 1, 2 * MarkRadius - 1);
        p.drawEllipse(disc);
        QFont font = PanelFont(8.25f); // 11 form pixels high
        font.setBold(true);
        font.setStretch(100);
        p.setFont(font);
        p.drawText(QRectF(0, 0, 2 * MarkRadius, 2 * MarkRadius), Qt::AlignCenter,
                   QString::fromLatin1(mark.data(), static_cast<qsizetype>(mark.size())));
        p.end();
        image.setDevicePixelRatio(ratio_);
    }
    return *glyphs_.insert(colour, std::move(image));
}

void Canvas::PaintMark(QPainter& p, QPointF at, Long colour) {
    const QImage& glyph = Glyph(colour);
    if (glyph.isNull()) return;
    // On whole device pixels, so that the copy stays sharp.
    const QPointF corner(std::round((at.x() - MarkRadius) * ratio_) / ratio_,
                         std::round((at.y() - MarkRadius) * ratio_) / ratio_);
    p.drawImage(corner, glyph);
}

void Canvas::PaintMarks(QPainter& p, const QRectF& area, const QRegion& region) {
    const bool one = region.rectCount() == 1;
    const auto mark = [&](Long x, Long y, Integer size, Long colour) {
        if (colour == form_.BackColour) return;
        for (const QPointF& at : MarkPlaces(x, y, size)) {
            const QRectF box(at.x() - MarkRadius, at.y() - MarkRadius, 2 * MarkRadius,
                             2 * MarkRadius);
            if (!box.intersects(area)) continue;
            if (!one && !region.intersects(QRectF(box.x() * scale_, box.y() * scale_,
                                                  box.width() * scale_, box.height() * scale_)
                                               .toAlignedRect()))
                continue;
            PaintMark(p, at, colour);
        }
    };
    const int n = std::min(form_.ActiveStations(), StationRecords);
    const bool bus = form_.Topology == TopoBus;
    if (bus)
        for (int c = 0; c < LastBusCell; ++c) mark(form_.BusX[c], 4800, 11, form_.BusShown[c]);
    const int cells = bus ? 1 : std::clamp<int>(form_.PathLength, 0, PathCells);
    for (int i = 0; i < n; ++i) {
        const Node& s = form_.NodeTable[i];
        for (int k = 0; k < cells; ++k)
            mark(s.CellX[k], s.CellY[k], bus ? Integer{11} : s.CellSize[k], s.CellShown[k]);
    }
}

bool Canvas::Radio() const {
    return form_.Topology == TopoSpace || form_.Topology == TopoWideSpace;
}

void Canvas::PaintReach(QPainter& p) {
    if (!Radio() || (!reach_ && hovered_ < 0)) return;
    const double radius = form_.RadioReach() / TwipsPerPixel;
    const int n = std::min(form_.ActiveStations(), StationControls);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < n; ++i) {
        if (!form_.shpNode[i].Visible || (!reach_ && i != hovered_)) continue;
        const Node& s = form_.NodeTable[i];
        const QPointF centre(s.CellX[0] / TwipsPerPixel, s.CellY[0] / TwipsPerPixel);
        const QRectF circle(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
        // The reach of the station under the pointer stands out from the others.
        StrokeTwice(
            p, i == hovered_ ? 4.5 : 2.4, [&] { p.drawEllipse(circle); },
            i == hovered_ ? Qt::SolidLine : Qt::DashLine);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

void Canvas::PaintHearing(QPainter& p) {
    if (!Radio() || hovered_ < 0) return;
    const int n = std::min(form_.ActiveStations(), StationControls);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    for (int j = 0; j < n; ++j) {
        const Control& shape = form_.shpNode[j];
        if (!shape.Visible) continue;
        const QPointF centre((shape.Left + shape.Width / 2) / TwipsPerPixel,
                             (shape.Top + shape.Height / 2) / TwipsPerPixel);
        const double r = std::max(shape.Width, shape.Height) / 2 / TwipsPerPixel + 4;
        const QRectF circle(centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
        if (j == hovered_) {
            // The station itself: a double ring.
            StrokeTwice(p, 4.5, [&] { p.drawEllipse(circle); });
            StrokeTwice(p, 3, [&] { p.drawEllipse(circle.adjusted(-6, -6, 6, 6)); });
        } else if (form_.RadioHearsStation(hovered_, j)) {
            // Heard: a solid ring.
            StrokeTwice(p, 4.5, [&] { p.drawEllipse(circle); });
        } else {
            // Out of reach: a broken ring, and the station crossed out.
            StrokeTwice(
                p, 4.5, [&] { p.drawEllipse(circle); }, Qt::DashLine);
            const double k = r * 0.75;
            StrokeTwice(p, 5, [&] {
                p.drawLine(centre + QPointF(-k, -k), centre + QPointF(k, k));
                p.drawLine(centre + QPointF(-k, k), centre + QPointF(k, -k));
            });
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

void Canvas::SyncOverlays() {
    const bool symbols = form_.chkSymbols.Value == 1;
    const bool reach = form_.chkReach.Value == 1 && form_.chkReach.Visible && Radio();
    if (hovered_ >= 0 &&
        (!Radio() || hovered_ >= StationControls || !form_.shpNode[hovered_].Visible))
        hovered_ = -1;
    // Where the stations stand, for the reach and the marks of who hears whom.
    std::array<Long, 2 * StationControls + 2> places{};
    if (reach || hovered_ >= 0) {
        for (int i = 0; i < StationControls; ++i) {
            places[2 * i] = form_.shpNode[i].Visible ? form_.NodeTable[i].CellX[0] : -1;
            places[2 * i + 1] = form_.NodeTable[i].CellY[0];
        }
        places[2 * StationControls] = form_.PathLength;
        places[2 * StationControls + 1] = hovered_;
    }
    if (symbols == symbols_ && reach == reach_ && places == overlaid_) return;
    symbols_ = symbols;
    reach_ = reach;
    overlaid_ = places;
    layersStale_ = true;
    if (!reach_ && hovered_ < 0) {
        reachLayer_ = QImage();
        hearingLayer_ = QImage();
    }
    dirty_.assign(1, rect());
}

void Canvas::SetHovered(int station) {
    if (station == hovered_) return;
    hovered_ = station;
    SyncOverlays();
    dirty_.assign(1, rect());
    Flush();
}

int Canvas::StationAt(QPointF at) const {
    for (int i = 0; i < StationControls; ++i) {
        const Control& shape = form_.shpNode[i];
        if (shape.Visible && QRectF(shape.Left / TwipsPerPixel, shape.Top / TwipsPerPixel,
                                    shape.Width / TwipsPerPixel, shape.Height / TwipsPerPixel)
                                 .contains(at))
            return i;
    }
    return -1;
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    SetHovered(Radio() ? StationAt(event->position() / scale_) : -1);
    QWidget::mouseMoveEvent(event);
}

void Canvas::leaveEvent(QEvent* event) {
    SetHovered(-1);
    QWidget::leaveEvent(event);
}

const Control* Canvas::ItemAt(QPointF at) const {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        const Control& c = it->shown;
        if (!Drawn(*it)) continue;
        if (it->look == Look::Line) {
            const QPointF a = QPointF(c.X1, c.Y1) / TwipsPerPixel;
            const QPointF b = QPointF(c.X2, c.Y2) / TwipsPerPixel;
            const QPointF ab = b - a;
            const double len2 = QPointF::dotProduct(ab, ab);
            const double t =
                len2 > 0 ? std::clamp(QPointF::dotProduct(at - a, ab) / len2, 0.0, 1.0) : 0.0;
            const QPointF near = a + t * ab - at;
            if (std::hypot(near.x(), near.y()) <= std::max<double>(3, c.BorderWidth))
                return it->model;
        } else if (Bounds(*it, c).adjusted(2, 2, -2, -2).contains(at)) {
            return it->model;
        }
    }
    return nullptr;
}

bool Canvas::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const Control* c = ItemAt(QPointF(help->pos()) / scale_);
        if (c != nullptr && !c->ToolTip.empty())
            QToolTip::showText(help->globalPos(), QString::fromStdString(c->ToolTip), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    // A click on the network ends typing in a box, so that keys work the run
    // controls again.
    if (QWidget* focused = QApplication::focusWidget(); focused != nullptr && isAncestorOf(focused))
        focused->clearFocus();
    QWidget::mousePressEvent(event);
}

NetworkView::NetworkView(const Form1& form, QWidget* parent)
    : QWidget(parent), canvas_(new Canvas(form, this)), table_(new StationTable(form, this)),
      formSize_(FormPixels(form)) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ModelColour(form.Form.BackColor));
    setPalette(palette);
    setAutoFillBackground(true);
    resize(formSize_);
}

QSize NetworkView::sizeHint() const {
    if (table_->isHidden()) return formSize_;
    return formSize_ + QSize(table_->FormSize().width(), 0);
}

bool NetworkView::SyncTable() {
    const bool wanted = table_->Wanted();
    const bool changed = wanted == table_->isHidden();
    if (changed) {
        table_->setVisible(wanted);
        updateGeometry();
        // Right of the form at the scale it has now; the window makes room
        // for it (or the next resize shares the room out afresh).
        if (wanted)
            table_->setGeometry(canvas_->x() + canvas_->width(), canvas_->y(),
                                Round(table_->FormSize().width() * canvas_->Scale()),
                                canvas_->height());
    }
    if (wanted) table_->Sync();
    return changed;
}

void NetworkView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void NetworkView::Arrange() {
    const QSize whole = sizeHint();
    const double scale = std::max(
        0.05, std::min(double(width()) / whole.width(), double(height()) / whole.height()));
    canvas_->SetScale(scale);
    const int tableWidth = table_->isHidden() ? 0 : Round(table_->FormSize().width() * scale);
    const QPoint at((width() - canvas_->width() - tableWidth) / 2,
                    (height() - canvas_->height()) / 2);
    canvas_->move(at);
    if (!table_->isHidden()) {
        if (scale != table_->Scale()) table_->SetScale(scale);
        table_->setGeometry(at.x() + canvas_->width(), at.y(), tableWidth, canvas_->height());
    }
}

} // namespace maclab::qt
