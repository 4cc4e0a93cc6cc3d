#include "platform/qt/chart_pane.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/qt/main_window.h"
#include "sweep/chart.h"
#include "sweep/history_chart.h"

namespace maclab::qt {

namespace {

const QColor UtilisationColour(0x1f, 0x3f, 0x9f);
const QColor EfficiencyColour(0x20, 0x80, 0x40);
const QColor WaitingColour(0xa0, 0x30, 0x90);
const QColor NowColour(0xd0, 0x20, 0x20);

QLineSeries* Line(const QString& name, const QColor& colour, qreal width = 1.5) {
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(colour);
    pen.setWidthF(width);
    series->setPen(pen);
    return series;
}

QScatterSeries* Dots(const QString& name, const QColor& colour, qreal size,
                     QScatterSeries::MarkerShape shape) {
    auto* series = new QScatterSeries;
    series->setName(name);
    series->setColor(colour);
    series->setBorderColor(colour.darker(150));
    series->setMarkerSize(size);
    series->setMarkerShape(shape);
    return series;
}

QValueAxis* Axis(const QString& title, qreal low, qreal high, const char* format) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(low, high);
    axis->setLabelFormat(QString::fromLatin1(format));
    return axis;
}

// The tick axis at the start of a run; it widens to 2, 5, 10, ... times as
// much as the run goes on.
constexpr double FirstTickSpan = 1000;

// The size of every text of the pane at the form's own size: 20 pixels or
// more once the window, pane included, fills a screen 1920 pixels wide.
constexpr float TextPoints = 12.5f;

// 1, 2 or 5 times a power of ten, at least the value.
double RoundUp125(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(std::max(value, 1e-9))));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * power >= value) return m * power;
    return 10 * power;
}

QChart* Chart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    // Square corners and no shadow: cheaper to paint again.
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    return chart;
}

QChartView* View(QChart* chart) {
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing, false);
    // The chart's background covers the whole view (it has no frame): nothing
    // to fill under it first.
    view->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    view->setBackgroundBrush(Qt::NoBrush);
    return view;
}

void Attach(QChart* chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// The pen of a theory curve, read from the stroke maclab-sweep draws it with.
QPen PenOf(const std::string& style) {
    const QString text = QString::fromStdString(style);
    QPen pen(Qt::black);
    const auto colour =
        QRegularExpression(QStringLiteral(R"re(stroke="(#[0-9a-fA-F]{6})")re")).match(text);
    if (colour.hasMatch()) pen.setColor(QColor(colour.captured(1)));
    const auto width =
        QRegularExpression(QStringLiteral(R"re(stroke-width="([0-9.]+)")re")).match(text);
    pen.setWidthF(width.hasMatch() ? width.captured(1).toDouble() : 1.5);
    const auto dashes =
        QRegularExpression(QStringLiteral(R"re(stroke-dasharray="([0-9. ]+)")re")).match(text);
    if (dashes.hasMatch()) {
        QList<qreal> pattern;
        for (const QString& d : dashes.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            pattern.push_back(d.toDouble() / pen.widthF());
        pen.setDashPattern(pattern);
    }
    return pen;
}

// Grid lines at whole multiples of the step.
void Steps(QValueAxis* axis, double step) {
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
}

// A new range and step together.  The axis lays out a label for every step
// of its range at each of the two changes, so the change that leaves fewer
// labels in between goes first: a range widened from 1,000 to 200,000 ticks
// under the old step of 200 would lay out a thousand labels, for nothing.
void Rescale(QValueAxis* axis, double low, double high, double step) {
    const double rangeFirst = (high - low) / axis->tickInterval();
    const double stepFirst = (axis->max() - axis->min()) / step;
    if (stepFirst <= rangeFirst) Steps(axis, step);
    axis->setRange(low, high);
    if (stepFirst > rangeFirst) Steps(axis, step);
}

// A value range rounded up to a whole number of steps (as maclab-sweep's chart).
double NiceTop(double value, double step) {
    return std::max(step, std::ceil(value / step - 1e-9) * step);
}

QString Describe(const sweep::Settings& s) {
    return QStringLiteral("%1 on %2, %3 stations, packet length %4, %5%6")
        .arg(QString::fromStdString(s.Scheme), QString::fromStdString(s.Topology))
        .arg(s.Stations)
        .arg(QString::fromStdString(sweep::NumberText(s.PacketLength)))
        .arg(s.Reliable ? QStringLiteral("reliable") : QStringLiteral("unreliable"))
        .arg(s.Reliable ? (s.RandomBackoff ? QStringLiteral(", random backoff")
                                           : QStringLiteral(", constant backoff"))
                        : QString());
}

bool SameNetwork(const sweep::Settings& a, const sweep::Settings& b) {
    return a.Scheme == b.Scheme && a.Topology == b.Topology && a.Stations == b.Stations &&
           a.PacketLength == b.PacketLength && a.Reliable == b.Reliable &&
           (!a.Reliable || a.RandomBackoff == b.RandomBackoff);
}

bool WriteFile(const QString& path, const std::string& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const auto size = static_cast<qint64>(text.size());
    return file.write(text.data(), size) == size && file.flush();
}

} // namespace

ChartPane::ChartPane(const Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(MakeOverTimePage(), QStringLiteral("Over time"));
    tabs_->addTab(MakeSweepPage(), QStringLiteral("Against offered traffic"));
    column->addWidget(tabs_, 1);

    auto* exports = new QHBoxLayout;
    exports->addWidget(new QLabel(QStringLiteral("Export the chart on view:")));
    for (const QString& kind :
         {QStringLiteral("PNG"), QStringLiteral("SVG"), QStringLiteral("CSV")}) {
        auto* button = new QPushButton(kind == QLatin1String("CSV") ? QStringLiteral("Data (CSV)…")
                                                                    : kind + QStringLiteral("…"));
        button->setToolTip(kind == QLatin1String("CSV")
                               ? QStringLiteral("Save the numbers of the chart on view as a table.")
                               : QStringLiteral("Save the chart on view as a picture."));
        connect(button, &QPushButton::clicked, this, [this, kind] { Export(kind); });
        exports->addWidget(button);
    }
    exports->addStretch(1);
    column->addLayout(exports);

    connect(tabs_, &QTabWidget::currentChanged, this, [this] { Sync(); });
    release_.setSingleShot(true);
    release_.setInterval(15);
    connect(&release_, &QTimer::timeout, this, [this] { ReleaseRepaint(true); });
    poll_.setInterval(50);
    connect(&poll_, &QTimer::timeout, this, &ChartPane::PollSweep);
    SetScale(1);
    hide();
}

void ChartPane::SetScale(double scale) {
    if (scale == scale_) return;
    scale_ = scale;
    // The text of the charts, the tabs and the buttons, at the size of the
    // stations' status texts, so that it reads from as far away.
    const QFont text = PanelFont(TextPoints, scale);
    setFont(text);
    QFont title = text;
    title.setBold(true);
    for (QChart* chart : {overTime_, sweepU_, sweepE_}) {
        chart->setTitleFont(title);
        chart->legend()->setFont(text);
        for (QAbstractAxis* axis : chart->axes()) {
            axis->setLabelsFont(text);
            axis->setTitleFont(text);
        }
    }
}

ChartPane::~ChartPane() {
    CancelSweep();
}

// The curves of the run over time, painted over the chart's plot area into
// an image that each new sample only extends; drawn afresh when the axes or
// the plot area change.
class Layer final : public QWidget {
  public:
    Layer(ChartPane& pane, QChartView* view) : QWidget(view->viewport()), pane_(pane), view_(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        connect(view->chart(), &QChart::plotAreaChanged, this, &Layer::Place);
    }
    // Over the plot area, wherever the chart has put it.
    void Place() {
        QChart* chart = view_->chart();
        const QPolygonF corners = chart->mapToScene(chart->plotArea());
        // The view's own mapping of scene to pixels, unrounded.
        const QTransform toView = view_->viewportTransform();
        const QRectF exact(toView.map(corners[0]), toView.map(corners[2]));
        if (exact == exact_) return;
        exact_ = exact;
        setGeometry(exact.toAlignedRect());
        plot_ = exact.translated(-QPointF(pos()));
        Invalidate();
    }
    // The plot area in the layer's own pixels, unrounded.
    const QRectF& Plot() const { return plot_; }
    void Invalidate() {
        stale_ = true;
        if (!held_) update();
    }
    // While held, a stale layer waits to be repainted with the whole chart.
    void Hold(bool held) {
        held_ = held;
        if (!held && stale_) update();
    }
    // Draws the curves afresh now, if they are stale, for a later paint.
    void Prepare() {
        if (stale_) Redraw();
    }
    // Draws the samples not drawn yet.
    void Extend(const std::deque<HistorySample>& samples, std::uint64_t end) {
        if (stale_) return; // all of them at the next paint
        QRectF dirty;
        {
            QPainter painter(&image_);
            Draw(painter, samples, end, dirty);
        }
        if (!dirty.isEmpty()) update(dirty.toAlignedRect().adjusted(-2, -2, 2, 2));
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (stale_) Redraw();
        QPainter painter(this);
        painter.drawImage(event->rect(), image_,
                          QRectF(QPointF(event->rect().topLeft()) * ratio_,
                                 QSizeF(event->rect().size()) * ratio_));
    }
    void resizeEvent(QResizeEvent*) override { Invalidate(); }

  private:
    void Redraw() {
        ratio_ = devicePixelRatioF();
        const QSize pixels = (QSizeF(size()) * ratio_).toSize();
        // The same buffer while the size holds: a new one would be paged in
        // afresh at every change of the axes.
        if (image_.size() != pixels) image_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        image_.setDevicePixelRatio(ratio_);
        image_.fill(Qt::transparent);
        const std::deque<HistorySample>& samples = pane_.Samples();
        QPainter painter(&image_);
        const ChartPane::PixelMap map = pane_.OverTimeMap();
        // One polyline for each stretch of defined values.
        for (int c = 0; c < 3; ++c) {
            const auto curve = static_cast<ChartPane::Curve>(c);
            painter.setPen(QPen(ChartPane::CurveColour(curve), 1));
            open_[c] = false;
            Thinned line;
            const auto flush = [&] {
                const QPolygonF& points = line.Finish();
                if (points.size() == 1) painter.drawPoint(points.front());
                if (points.size() > 1) painter.drawPolyline(points);
                line = Thinned();
            };
            for (const HistorySample& s : samples) {
                const double v = Value(s, c);
                if (std::isnan(v)) {
                    flush();
                    open_[c] = false;
                    continue;
                }
                last_[c] = map(curve, static_cast<double>(s.Tick), v);
                line.Add(last_[c], ratio_);
                open_[c] = true;
            }
            flush();
        }
        // Every sample the pane holds is drawn now.
        end_ = drawn_ = pane_.fetched_;
        stale_ = false;
    }
    // One curve's points, no more than four to a column of device pixels: the
    // first and last of the column, and its highest and lowest in the order
    // met.  Every segment inside a column stays in the column, so a line one
    // pixel wide through these covers the same pixels as the line through
    // every point (up to the rounding of segment ends), however many samples
    // share the column: 10,000 samples become at most four points a column.
    class Thinned {
      public:
        void Add(const QPointF& at, qreal ratio) {
            const auto column = static_cast<long long>(std::floor(at.x() * ratio));
            if (count_ > 0 && column == column_) {
                if (at.y() < top_.y()) top_ = at, topAt_ = count_;
                if (at.y() > bottom_.y()) bottom_ = at, bottomAt_ = count_;
                last_ = at;
                ++count_;
                return;
            }
            Close();
            column_ = column;
            first_ = top_ = bottom_ = last_ = at;
            topAt_ = bottomAt_ = 0;
            count_ = 1;
        }
        const QPolygonF& Finish() {
            Close();
            return points_;
        }

      private:
        void Close() {
            if (count_ == 0) return;
            points_.append(first_);
            const bool topFirst = topAt_ < bottomAt_;
            for (const QPointF& p : {topFirst ? top_ : bottom_, topFirst ? bottom_ : top_, last_})
                if (p != points_.back()) points_.append(p);
            count_ = 0;
        }
        QPolygonF points_;
        QPointF first_, top_, bottom_, last_;
        long long column_ = 0;
        int count_ = 0, topAt_ = 0, bottomAt_ = 0;
    };
    static double Value(const HistorySample& s, int curve) {
        return curve == 0   ? s.Utilisation
               : curve == 1 ? s.Efficiency
                            : static_cast<double>(s.Waiting);
    }
    // Segments from the last drawn sample to each new one, a break where a
    // value is undefined.
    void Draw(QPainter& painter, const std::deque<HistorySample>& samples, std::uint64_t end,
              QRectF& dirty) {
        end_ = end;
        const std::uint64_t front = end - samples.size();
        for (std::uint64_t m = std::max(drawn_, front); m < end; ++m) {
            const HistorySample& s = samples[static_cast<std::size_t>(m - front)];
            const double values[3] = {s.Utilisation, s.Efficiency, static_cast<double>(s.Waiting)};
            for (int c = 0; c < 3; ++c) {
                if (std::isnan(values[c])) {
                    open_[c] = false;
                    continue;
                }
                const auto curve = static_cast<ChartPane::Curve>(c);
                const QPointF at =
                    pane_.OverTimePixel(curve, static_cast<double>(s.Tick), values[c]);
                painter.setPen(QPen(ChartPane::CurveColour(curve), 1));
                if (open_[c])
                    painter.drawLine(last_[c], at);
                else
                    painter.drawPoint(at);
                dirty |= QRectF(last_[c], at).normalized() | QRectF(at, QSizeF(1, 1));
                last_[c] = at;
                open_[c] = true;
            }
        }
        drawn_ = end;
    }

    ChartPane& pane_;
    QChartView* view_;
    QImage image_;
    QRectF exact_, plot_;
    qreal ratio_ = 1;
    bool stale_ = true, held_ = false;
    std::uint64_t drawn_ = 0, end_ = 0; // sample numbers: drawn up to, known up to
    QPointF last_[3];
    bool open_[3] = {false, false, false};
};

QColor ChartPane::CurveColour(Curve curve) {
    return curve == Curve::Utilisation  ? UtilisationColour
           : curve == Curve::Efficiency ? EfficiencyColour
                                        : WaitingColour;
}

QWidget* ChartPane::OverTimeLayer() const {
    return layer_;
}

ChartPane::PixelMap ChartPane::OverTimeMap() const {
    const QRectF& plot = layer_->Plot();
    return {plot.left(),
            plot.width(),
            tickAxis_->min(),
            tickAxis_->max() - tickAxis_->min(),
            plot.top(),
            plot.height(),
            {percentAxis_->min(), waitingAxis_->min()},
            {percentAxis_->max() - percentAxis_->min(), waitingAxis_->max() - waitingAxis_->min()}};
}

QPointF ChartPane::OverTimePixel(Curve curve, double tick, double value) const {
    return OverTimeMap()(curve, tick, value);
}

QPointF ChartPane::ChartPixel(Curve curve, double tick, double value) const {
    const QPointF scene =
        overTime_->mapToScene(overTime_->mapToPosition({tick, value}, legend_[int(curve)]));
    return overTimeView_->viewportTransform().map(scene) - QPointF(layer_->pos());
}

QWidget* ChartPane::MakeOverTimePage() {
    overTime_ = Chart(QStringLiteral("The run over time (every tenth tick)"));
    tickAxis_ = Axis(QStringLiteral("tick"), 0, FirstTickSpan, "%.0f");
    Steps(tickAxis_, FirstTickSpan / 5);
    percentAxis_ = Axis(QStringLiteral("per cent"), 0, 100, "%.0f");
    Steps(percentAxis_, 20);
    waitingAxis_ = Axis(QStringLiteral("packets waiting in all queues"), 0, 10, "%.0f");
    Steps(waitingAxis_, 2);
    overTime_->addAxis(tickAxis_, Qt::AlignBottom);
    overTime_->addAxis(percentAxis_, Qt::AlignLeft);
    overTime_->addAxis(waitingAxis_, Qt::AlignRight);
    // Empty series: they name the curves in the legend, the layer draws them.
    for (const auto& [name, curve] : {std::pair{"utilisation %", Curve::Utilisation},
                                      std::pair{"efficiency %", Curve::Efficiency},
                                      std::pair{"packets waiting (right)", Curve::Waiting}}) {
        legend_[int(curve)] = Line(QString::fromUtf8(name), CurveColour(curve), 2);
        Attach(overTime_, legend_[int(curve)], tickAxis_,
               curve == Curve::Waiting ? waitingAxis_ : percentAxis_);
    }
    auto* view = View(overTime_);
    view->setToolTip(QStringLiteral(
        "Utilisation (received x packet length / ticks) and efficiency (received / queued) "
        "since the last reset, and the packets waiting in all queues, every tenth tick."));
    layer_ = new Layer(*this, view);
    overTimeView_ = view;
    return view;
}

QWidget* ChartPane::MakeSweepPage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    const auto make = [this](const QString& title, const QString& yTitle, QChart*& chart,
                             QValueAxis*& x, QValueAxis*& y, QLineSeries*& measured,
                             QScatterSeries*& dots, QScatterSeries*& now) {
        chart = Chart(title);
        x = Axis(QStringLiteral("offered traffic G"), 0, 2, "%.1f");
        y = Axis(yTitle, 0, 1, "%.1f");
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        measured = Line(QStringLiteral("measured"), UtilisationColour, 2);
        dots = Dots(QString(), UtilisationColour, 7, QScatterSeries::MarkerShapeCircle);
        now = Dots(QStringLiteral("the network now"), NowColour, 12,
                   QScatterSeries::MarkerShapeRectangle);
        Attach(chart, measured, x, y);
        Attach(chart, dots, x, y);
        Attach(chart, now, x, y);
        chart->legend()->hide(); // one legend below both charts, in full
        Steps(x, 0.5);
        Steps(y, yTitle == QLatin1String("efficiency") ? 0.2 : 0.1);
    };
    QValueAxis* effY = nullptr;
    make(QStringLiteral("Utilisation S against offered traffic"), QStringLiteral("utilisation S"),
         sweepU_, sweepUX_, sweepUY_, measuredU_, measuredUDots_, nowU_);
    make(QStringLiteral("Efficiency (delivered / queued)"), QStringLiteral("efficiency"), sweepE_,
         sweepEX_, effY, measuredE_, measuredEDots_, nowE_);
    column->addWidget(View(sweepU_), 1);
    column->addWidget(View(sweepE_), 1);
    sweepLegend_ = new QLabel;
    sweepLegend_->setWordWrap(true);
    sweepLegend_->setTextFormat(Qt::RichText);
    sweepLegend_->setContentsMargins(8, 0, 8, 0);
    column->addWidget(sweepLegend_);

    auto* row = new QHBoxLayout;
    sweepButton_ = new QPushButton(QStringLiteral("Sweep"));
    sweepButton_->setToolTip(QStringLiteral(
        "Run this scheme, topology, station count, packet length and reliable/backoff setting "
        "at each offered traffic of maclab-sweep's list, in the background."));
    ticks_ = new QSpinBox;
    ticks_->setRange(100, 100000000);
    ticks_->setSingleStep(10000);
    ticks_->setValue(100000);
    ticks_->setGroupSeparatorShown(true);
    ticks_->setSuffix(QStringLiteral(" ticks a point"));
    progress_ = new QProgressBar;
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setTextVisible(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"));
    cancelButton_->setEnabled(false);
    row->addWidget(sweepButton_);
    row->addWidget(ticks_);
    row->addWidget(progress_, 1);
    row->addWidget(cancelButton_);
    column->addLayout(row);
    sweepNote_ = new QLabel(
        QStringLiteral("Sweep measures the window's settings at offered traffic 0.05 to 2.0; "
                       "the square marks the network now."));
    sweepNote_->setWordWrap(true);
    column->addWidget(sweepNote_);
    connect(sweepButton_, &QPushButton::clicked, this, [this] { StartSweep(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelSweep(); });
    return page;
}

void ChartPane::Sync() {
    const bool shown = form_.chkChart.Value == 1;
    if (shown == isHidden()) setVisible(shown);
    if (!shown) return;
    FetchSamples();
    if (CurrentPage() == Page::OverTime)
        UpdateOverTime();
    else
        MoveNowMarkers();
}

// ---- Over time ----

void ChartPane::FetchSamples() {
    const RunHistory& history = form_.History;
    // A reset (a new run), or the session moved to another tick: start afresh.
    if (history.Clears() != clears_ || history.Added() < fetched_ ||
        form_.Restores() != restores_) {
        restores_ = form_.Restores();
        samples_.clear();
        fetched_ = 0;
        clears_ = history.Clears();
        mostWaiting_ = 0;
        Rescale(tickAxis_, 0, FirstTickSpan, FirstTickSpan / 5);
        Rescale(waitingAxis_, 0, 10, 2);
        layer_->Invalidate();
    }
    const std::uint64_t added = history.Added();
    if (added == fetched_) return;
    const std::uint64_t oldest = added - history.Size(); // number of the oldest kept
    for (std::uint64_t m = std::max(fetched_, oldest); m < added; ++m) {
        samples_.push_back(history[static_cast<std::size_t>(m - oldest)]);
        mostWaiting_ = std::max(mostWaiting_, samples_.back().Waiting);
    }
    fetched_ = added;
    while (samples_.size() > RunHistory::Capacity) samples_.pop_front();
}

// The axes change only now and then, in whole steps; most new samples just
// extend the curves.
void ChartPane::UpdateOverTime() {
    ReleaseRepaint(false);
    bool ticksChanged = false, waitingChanged = false;
    if (!samples_.empty()) {
        const double first = static_cast<double>(samples_.front().Tick);
        const double last = static_cast<double>(samples_.back().Tick);
        double low = tickAxis_->min(), span = tickAxis_->max() - low;
        if (last > low + span) span = RoundUp125(1.25 * (last - low));
        if (first >= low + span / 5) low = std::floor(first / (span / 5)) * (span / 5);
        if (last > low + span) span = RoundUp125(1.25 * (last - low));
        if (low != tickAxis_->min() || low + span != tickAxis_->max()) {
            Rescale(tickAxis_, low, low + span, span / 5);
            ticksChanged = true;
        }
    }
    const double top = std::max(10.0, RoundUp125(static_cast<double>(mostWaiting_)));
    if (top > waitingAxis_->max()) {
        Rescale(waitingAxis_, 0, top, top / 5);
        waitingChanged = true;
    }
    const bool rescaled = ticksChanged || waitingChanged;
    if (rescaled) HoldRepaint(ticksChanged, waitingChanged);
    layer_->Place();
    if (rescaled)
        layer_->Invalidate();
    else
        layer_->Extend(samples_, fetched_);
}

// New axes cost a tick several times the usual work: Qt Charts lays out the
// labels, the curves are drawn afresh for the new scale, and the chart is
// painted again.  Each has a tick of its own: the layout now, the curves at
// the next tick and the painting at the one after (or all that is left 15 ms
// on, if no tick comes sooner).
void ChartPane::HoldRepaint(bool ticks, bool waiting) {
    held_.Ticks = held_.Ticks || ticks;
    held_.Waiting = held_.Waiting || waiting;
    if (held_.Active) return;
    held_.Active = true;
    held_.Plot = layer_->geometry();
    held_.Mode = overTimeView_->viewportUpdateMode();
    overTimeView_->setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    layer_->Hold(true);
    release_.start();
}

// Repaints what new axes change: the plot area, and beside it the labels of
// the axes that changed (the tick labels and the axis title down to the
// legend; the waiting counts on the right), or the whole view if the plot
// area moved.  The title, the legend and the per-cent labels stay as drawn.
void ChartPane::ReleaseRepaint(bool now) {
    if (!held_.Active) return;
    if (!now && !held_.Drawn) {
        layer_->Prepare();
        held_.Drawn = true;
        release_.start();
        return;
    }
    release_.stop();
    overTimeView_->setViewportUpdateMode(held_.Mode);
    layer_->Hold(false);
    QWidget* port = overTimeView_->viewport();
    const QRect plot = layer_->geometry();
    QRegion region = port->rect();
    if (plot == held_.Plot) {
        region = plot.adjusted(-2, -2, 2, 2);
        if (held_.Ticks) {
            QLegend* legend = overTime_->legend();
            const QRect below =
                overTimeView_->mapFromScene(legend->mapRectToScene(legend->boundingRect()))
                    .boundingRect();
            const int end =
                legend->isVisible() && below.top() > plot.bottom() ? below.top() : port->height();
            region |= QRect(0, plot.bottom(), port->width(), end - plot.bottom());
        }
        if (held_.Waiting)
            region |= QRect(plot.right(), 0, port->width() - plot.right(), port->height());
    }
    port->update(region);
    held_ = Held();
}

// ---- Against offered traffic ----

std::optional<sweep::Settings> ChartPane::SweepSettings(QString* why) const {
    const auto refuse = [why](const char* reason) {
        if (why) *why = QString::fromUtf8(reason);
        return std::nullopt;
    };
    sweep::Settings s;
    for (const SchemeName& name : SchemeNames)
        if (name.Code == form_.Settings.CurrentScheme) s.Scheme = name.Text;
    if (s.Scheme.empty()) return refuse("The scheme box names no scheme: pick one from its list.");
    s.Stations = form_.ActiveStations();
    if (s.Stations < 2) return refuse("There is no network: pick 2 to 24 nodes.");
    s.Topology = TopologyOf(form_.Topology).Name;
    s.PacketLength = form_.PacketLength;
    s.Reliable = form_.Settings.Reliable == 1;
    s.RandomBackoff = form_.Settings.RandomBackoff == 1;
    s.Ticks = ticks_->value();
    return s;
}

void ChartPane::SetTicksPerPoint(int ticks) {
    ticks_->setValue(ticks);
}

bool ChartPane::StartSweep() {
    if (SweepRunning()) return false;
    QString why;
    const std::optional<sweep::Settings> settings = SweepSettings(&why);
    if (!settings) {
        sweepNote_->setText(why);
        return false;
    }
    running_ = *settings;
    const std::vector<sweep::Job> jobs = sweep::JobsFor(running_, sweep::DefaultOffered());
    cancel_ = false;
    finished_ = false;
    ticksDone_ = 0;
    ticksTotal_ = std::max<long long>(1, running_.Ticks * static_cast<long long>(jobs.size()));
    runner_ = std::thread([this, jobs] {
        sweep::SweepOptions options;
        options.Cancel = &cancel_;
        options.OnProgress = [this](const sweep::Progress& p) { ticksDone_ = p.TicksDone; };
        sweep::SweepResult result = sweep::RunSweep(jobs, options);
        {
            const std::lock_guard<std::mutex> lock(resultLock_);
            result_ = std::move(result);
        }
        finished_ = true;
    });
    sweepButton_->setEnabled(false);
    ticks_->setEnabled(false);
    cancelButton_->setEnabled(true);
    progress_->setValue(0);
    sweepNote_->setText(QStringLiteral("Sweeping %1 on %2 workers…")
                            .arg(Describe(running_))
                            .arg(sweep::WorkersPerCore()));
    poll_.start();
    return true;
}

void ChartPane::PollSweep() {
    progress_->setValue(static_cast<int>(1000 * ticksDone_.load() / ticksTotal_.load()));
    if (finished_) FinishSweep();
}

void ChartPane::CancelSweep() {
    if (!runner_.joinable()) return;
    cancel_ = true;
    FinishSweep();
}

void ChartPane::FinishSweep() {
    runner_.join(); // at most one stretch of ticks per worker after a cancel
    poll_.stop();
    sweep::SweepResult result;
    {
        const std::lock_guard<std::mutex> lock(resultLock_);
        result = std::move(result_);
    }
    sweepButton_->setEnabled(true);
    ticks_->setEnabled(true);
    cancelButton_->setEnabled(false);
    if (result.Cancelled) {
        progress_->setValue(0);
        sweepNote_->setText(QStringLiteral("Sweep cancelled."));
        return;
    }
    progress_->setValue(progress_->maximum());
    swept_ = running_;
    points_ = std::move(result.Points);
    PlotSweep();
}

void ChartPane::PlotSweep() {
    for (QLineSeries* curve : theory_) {
        curve->chart()->removeSeries(curve);
        delete curve;
    }
    theory_.clear();
    const sweep::CurveSet curves = sweep::CurvesFor(swept_);
    // The ranges of maclab-sweep's chart.
    double gMax = 0, uMax = 0;
    for (const sweep::Point& p : points_) {
        gMax = std::max(gMax, p.Offered);
        uMax = std::max(uMax, p.Utilisation);
    }
    const double xMax = NiceTop(gMax, 0.5);
    for (const sweep::Curve& c : curves.Throughput)
        for (int k = 0; k <= 100; ++k) uMax = std::max(uMax, c.Value(xMax * k / 100));
    sweepUX_->setRange(0, xMax);
    sweepEX_->setRange(0, xMax);
    sweepUY_->setRange(0, NiceTop(uMax * 1.05, 0.1));
    for (QValueAxis* x : {sweepUX_, sweepEX_}) Steps(x, xMax <= 1 ? 0.1 : xMax <= 3 ? 0.5 : 1.0);

    const auto draw = [this, xMax](QChart* chart, const std::vector<sweep::Curve>& set,
                                   QValueAxis* x) {
        QValueAxis* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
        for (const sweep::Curve& c : set) {
            auto* series = new QLineSeries;
            series->setName(QString::fromStdString(c.Label));
            series->setPen(PenOf(c.Style));
            QList<QPointF> points;
            constexpr int Samples = 200;
            for (int k = 0; k <= Samples; ++k) {
                const double g = xMax * k / Samples;
                points.append({g, c.Value(g)});
            }
            series->replace(points);
            Attach(chart, series, x, y);
            theory_.push_back(series);
        }
    };
    draw(sweepU_, curves.Throughput, sweepUX_);
    draw(sweepE_, curves.Efficiency, sweepEX_);
    // The legend, as maclab-sweep's chart words it.
    const auto entry = [](const QColor& colour, const QString& text, const char* mark) {
        return QStringLiteral("<span style=\"color:%1\"><b>%2</b></span>&nbsp;%3")
            .arg(colour.name(), QString::fromUtf8(mark), text.toHtmlEscaped());
    };
    QStringList legend = {
        entry(UtilisationColour, QStringLiteral("measured (this simulator)"), "\u2014\u25cf\u2014"),
        entry(NowColour, QStringLiteral("the network now"), "\u25a0")};
    for (const sweep::Curve& c : curves.Efficiency)
        legend.push_back(entry(PenOf(c.Style).color(), QString::fromStdString(c.Label),
                               PenOf(c.Style).style() == Qt::SolidLine ? "\u2014\u2014" : "- - -"));
    sweepLegend_->setText(legend.join(QStringLiteral("<br>")));

    QList<QPointF> u, e;
    for (const sweep::Point& p : points_) {
        u.append({p.Offered, p.Utilisation});
        e.append({p.Offered, p.Efficiency});
    }
    measuredU_->replace(u);
    measuredUDots_->replace(u);
    measuredE_->replace(e);
    measuredEDots_->replace(e);
    // The markers of the network now stay on top of the curves.
    for (QChart* chart : {sweepU_, sweepE_}) {
        QScatterSeries* now = chart == sweepU_ ? nowU_ : nowE_;
        chart->removeSeries(now);
        Attach(chart, now, chart == sweepU_ ? sweepUX_ : sweepEX_,
               static_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst()));
    }
    sweepNote_->setText(QStringLiteral("%1, %2 ticks a point. The square marks the network now.")
                            .arg(Describe(swept_))
                            .arg(QLocale().toString(swept_.Ticks)));
    nowAt_ = ~std::uint64_t{0};
    MoveNowMarkers();
}

void ChartPane::MoveNowMarkers() {
    // The figures change every tenth tick, with the history.
    const std::uint64_t at = form_.History.Added() + (form_.History.Clears() << 40);
    if (at == nowAt_) return;
    nowAt_ = at;
    const double g = form_.Settings.OfferedTraffic;
    if (form_.TickCount > 0 && form_.Running)
        nowU_->replace({QPointF(g, form_.UtilisationPercent() / 100)});
    else
        nowU_->clear();
    if (form_.TotalQueued > 0 && form_.Running)
        nowE_->replace({QPointF(g, form_.EfficiencyPercent() / 100)});
    else
        nowE_->clear();
    if (!points_.empty()) {
        const std::optional<sweep::Settings> now = SweepSettings();
        nowU_->setName(now && SameNetwork(*now, swept_)
                           ? QStringLiteral("the network now")
                           : QStringLiteral("the network now (other settings than the sweep)"));
    }
}

// ---- Export ----

void ChartPane::ShowPage(Page page) {
    tabs_->setCurrentIndex(static_cast<int>(page));
}

ChartPane::Page ChartPane::CurrentPage() const {
    return tabs_->currentIndex() == 1 ? Page::AgainstTraffic : Page::OverTime;
}

bool ChartPane::ExportPng(const QString& path) {
    Sync();
    QWidget* page = tabs_->currentWidget();
    // The charts only, without the sweep's buttons.
    QRect area = page->rect();
    if (CurrentPage() == Page::AgainstTraffic) area.setBottom(progress_->geometry().top() - 4);
    return page->grab(area).save(path, "PNG");
}

bool ChartPane::ExportSvg(const QString& path) const {
    std::ostringstream out;
    if (CurrentPage() == Page::OverTime) {
        const std::optional<sweep::Settings> s = SweepSettings();
        const std::string title =
            (s ? Describe(*s).toStdString() + ": " : std::string()) + "the run over time";
        sweep::WriteHistorySvg(out, {samples_.begin(), samples_.end()}, title);
    } else {
        if (points_.empty()) return false;
        sweep::WriteSvg(out, swept_, points_);
    }
    return WriteFile(path, out.str());
}

bool ChartPane::ExportCsv(const QString& path) const {
    std::ostringstream out;
    if (CurrentPage() == Page::OverTime) {
        sweep::WriteHistoryCsv(out, {samples_.begin(), samples_.end()});
    } else {
        if (points_.empty()) return false;
        sweep::WriteCsv(out, swept_, points_);
    }
    return WriteFile(path, out.str());
}

void ChartPane::Export(const QString& kind) {
    const bool overTime = CurrentPage() == Page::OverTime;
    if (!overTime && points_.empty()) {
        sweepNote_->setText(QStringLiteral("Nothing to export yet: press Sweep first."));
        return;
    }
    const QString stem =
        overTime ? QStringLiteral("maclab-over-time") : QStringLiteral("maclab-sweep");
    const QString suffix = kind.toLower();
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export the chart"), stem + QLatin1Char('.') + suffix,
        kind + QStringLiteral(" (*.") + suffix + QLatin1Char(')'));
    if (path.isEmpty()) return;
    const bool written = kind == QLatin1String("PNG")   ? ExportPng(path)
                         : kind == QLatin1String("SVG") ? ExportSvg(path)
                                                        : ExportCsv(path);
    if (!written) sweepNote_->setText(QStringLiteral("Could not write ") + path);
}

} // namespace maclab::qt
