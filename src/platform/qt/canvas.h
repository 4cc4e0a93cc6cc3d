// The window's drawing surface: a persistent image that the tick paints rings
// into, with the network picture (bus line, end pieces, hub, drop lines and
// station shapes) painted over it.
//
// The canvas shows the whole form at a scale: the model stays in twips, one
// "form pixel" is 15 twips, and the canvas is Scale() widget pixels for every
// form pixel.  The image is kept at the device resolution of that scale, so
// rings stay one device pixel sharp at every size; when the scale changes, the
// image is drawn again from the colours the model's cells show.
#pragma once

#include <QHash>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/form1.h"
#include "core/surface.h"

namespace maclab::qt {

class StationTable;

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

    // What is drawn over the medium besides the rings: a mark in every ring
    // while "Symbols" is pressed, each station's radio reach while "Reach"
    // is, and who hears the station under the pointer.  Follows the model's
    // toggles; marks what must be painted again.
    void SyncOverlays();
    // The station under the pointer (-1: none).  On Space and Wide Space
    // its reach is drawn, and each other station is marked as heard or not.
    void SetHovered(int station);
    int Hovered() const { return hovered_; }
    // Where the marks of a ring of this size stand, in form pixels: in its
    // middle, or (a wave in space, with smaller rings inside) on its band.
    static std::vector<QPointF> MarkPlaces(Long x, Long y, Integer size);
    // Radius of a mark, in form pixels.
    static constexpr double MarkRadius = 7;

    // Widget pixels per form pixel (1 at the form's own size).
    double Scale() const { return scale_; }
    // Shows the form at this scale: the canvas takes the form's size times it.
    void SetScale(double scale);
    // Called after the scale changed, once the image is drawn again.
    void OnRescale(std::function<void()> handler) { onRescale_ = std::move(handler); }
    // A rectangle of the form, in twips, as widget pixels of the canvas.
    QRect ToWidget(float left, float top, float width, float height) const;

    // The persistent drawing (device pixels, with its device pixel ratio).
    const QImage& Image() const { return image_; }
    // Number of paint events handled, and the box around all they covered
    // (widget pixels) since it was last forgotten, for measurements.
    long PaintCount() const { return paints_; }
    QRect Painted() const { return painted_; }
    void ForgetPainted() { painted_ = QRect(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    enum class Look { Line, Box, Circle };
    struct Item {
        const Control* model;
        Look look;
        Control shown;
    };

    // The image at the current size and density, drawn again when either changed.
    void AdoptGeometry();
    void Redraw();
    void FillBackground();
    void Ring(Long x, Long y, Integer size, Long colour);
    // The lines of the picture as pixel runs of the image, drawn again over
    // whatever a ring or a box just covered in [left, right) x [top, bottom).
    void TraceLines();
    void RestoreLines(int left, int top, int right, int bottom);
    // The panel's colour again behind the captions that stand in the
    // medium's area, where a ring or silence covered them in this area.
    void KeepCaptions(const QRect& area);
    // Whether a shape is painted (and answers the pointer).
    bool Drawn(const Item& item) const;
    // An area in form pixels, marked for painting.
    void MarkDirty(const QRectF& area);
    static QRectF Bounds(const Item& item, const Control& c);
    void PaintItem(class QPainter& painter, const Item& item);
    enum class Part { Box, Disc, Outline };
    const QImage& ShapePart(const Control& c, Part part, Long colour);
    // The tooltip of the topmost shape or line at a point in form pixels.
    const Control* ItemAt(QPointF at) const;
    // The overlays, painted over the rings (marks, reach) and over the
    // shapes (who hears whom), within the painted area (form pixels).
    void PaintMarks(QPainter& p, const QRectF& area, const QRegion& region);
    void PaintMark(QPainter& p, QPointF at, Long colour);
    void PaintReach(QPainter& p);
    void CopyLayer(QPainter& p, QImage& layer, const QRegion& region);
    void PaintHearing(QPainter& p);
    // A mark for a symbol, drawn once per colour and density and then copied.
    const QImage& Glyph(Long colour);
    // The station whose shape or button lies under a point in form pixels.
    int StationAt(QPointF at) const;
    bool Radio() const;

    const Form1& form_;
    QImage image_;
    double scale_ = 1;
    qreal density_ = 1; // device pixels per widget pixel
    qreal ratio_ = 1;   // image pixels per form pixel: scale times density
    // The medium's area in image pixels: rings are drawn only inside it, and
    // silence there shows in the medium's own colour.
    int mediumLeft_ = 0, mediumTop_ = 0, mediumRight_ = 0, mediumBottom_ = 0;
    std::vector<QRect> captions_; // image pixels
    bool blank_ = true;           // nothing drawn since the image was last cleared
    // Boxes around everything to be painted again (widget pixels): a few
    // boxes, each copied to the screen in one go, instead of one per ring.
    std::vector<QRect> dirty_;
    void AddDirty(QRect box);
    std::vector<Item> items_;
    struct Run {
        int left, right; // pixels [left, right) of one image row
        std::uint32_t colour;
    };
    std::vector<std::vector<Run>> lineRuns_; // per image row, bottom to top
    int lineTop_ = 0, lineBottom_ = 0;       // rows that hold any run
    std::function<void()> onRescale_;
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
    QRect painted_;
    bool symbols_ = false; // marks in the rings
    bool reach_ = false;   // every station's reach
    int hovered_ = -1;
    QHash<Long, QImage> glyphs_;
    QImage reachLayer_, hearingLayer_; // device pixels, transparent but for their strokes
    bool layersStale_ = true;
    // The stations' places and the one under the pointer when last drawn.
    std::array<Long, 2 * StationControls + 2> overlaid_{};
};

// The network and its panel as one widget that takes whatever area it is
// given: the canvas, with every control on it, is scaled to fit and centred,
// its proportions kept (the rest is the panel's colour).  While the status is
// shown, the station table stands right of the panel at the same scale.
class NetworkView final : public QWidget {
  public:
    NetworkView(const Form1& form, QWidget* parent);
    Canvas& Drawing() { return *canvas_; }
    StationTable& Table() { return *table_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return formSize_ / 4; }
    // Shows or hides the station table as the model wants and brings it up
    // to date; true when it came or went.
    bool SyncTable();
    // Shares its room out between the form and the table afresh.
    void Arrange();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    Canvas* canvas_;
    StationTable* table_;
    QSize formSize_;
};

} // namespace maclab::qt
