// The chart pane beside the network: the run over time, and throughput and
// efficiency against offered traffic with the theory curves.
//
// Over time it shows what Form1 records every tenth tick (its History),
// fetching only the samples added since the last look.  The sweep runs the
// window's current settings over maclab-sweep's offered-traffic list on
// worker threads, each point on a Form1 of its own, never the window's.
#pragma once

#include <QGraphicsView>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/form1.h"
#include "sweep/sweep.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QSpinBox;
class QTabWidget;
class QValueAxis;

namespace maclab::qt {

class ChartPane final : public QWidget {
  public:
    ChartPane(const Form1& form, QWidget* parent);
    ~ChartPane() override; // cancels a running sweep and waits for its workers

    // Shown while the model's chart toggle is pressed; when shown, brings the
    // visible chart up to date with the model.  Called after every tick and
    // user action.
    void Sync();

    // Its width in form pixels: it grows with the window as the form does.
    static constexpr int FormWidth = 600;
    // Widget pixels per form pixel: the text and the width of the pane.
    void SetScale(double scale);

    // ---- Over time ----
    // The samples kept (at least the last RunHistory::Capacity), oldest first.
    const std::deque<HistorySample>& Samples() const { return samples_; }
    // The curves are painted over the chart's plot area by a light layer that
    // adds only each new sample's segments (a QLineSeries lays out and strokes
    // all its points again for every point added: 41 ms at 10,000 samples).
    enum class Curve { Utilisation, Efficiency, Waiting };
    QWidget* OverTimeLayer() const;
    // Where a value of a curve at a tick is drawn, in the layer's pixels.
    QPointF OverTimePixel(Curve curve, double tick, double value) const;
    // The same mapping with the axes' ranges read once, for many points.
    struct PixelMap {
        double left, width, low, span, top, height, bottom[2], range[2];
        QPointF operator()(Curve curve, double tick, double value) const {
            const int y = curve == Curve::Waiting ? 1 : 0;
            return {left + width * (tick - low) / span,
                    top + height * (1 - (value - bottom[y]) / range[y])};
        }
    };
    PixelMap OverTimeMap() const;
    // The same point as the chart itself maps it, for comparison.
    QPointF ChartPixel(Curve curve, double tick, double value) const;
    static QColor CurveColour(Curve curve);

    // ---- Against offered traffic ----
    // The window's settings as a sweep runs them, or nothing (and why) when
    // they cannot be swept: a scheme text that names no scheme, no network.
    std::optional<sweep::Settings> SweepSettings(QString* why = nullptr) const;
    void SetTicksPerPoint(int ticks);
    // Starts the sweep in the background; false when one is running or the
    // settings cannot be swept.
    bool StartSweep();
    // Stops every worker and returns once they have all ended.
    void CancelSweep();
    bool SweepRunning() const { return runner_.joinable(); }
    // The last finished sweep: its settings and points, in list order.
    const sweep::Settings& SweptSettings() const { return swept_; }
    const std::vector<sweep::Point>& SweptPoints() const { return points_; }
    QLineSeries* MeasuredUtilisationSeries() const { return measuredU_; }
    QLineSeries* MeasuredEfficiencySeries() const { return measuredE_; }
    QScatterSeries* NowUtilisationMarker() const { return nowU_; }
    QScatterSeries* NowEfficiencyMarker() const { return nowE_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* SweepButton() const { return sweepButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

    // ---- Export of the chart on view ----
    enum class Page { OverTime = 0, AgainstTraffic = 1 };
    void ShowPage(Page page);
    Page CurrentPage() const;
    bool ExportPng(const QString& path);
    bool ExportSvg(const QString& path) const;
    bool ExportCsv(const QString& path) const;

  private:
    QWidget* MakeOverTimePage();
    QWidget* MakeSweepPage();
    friend class Layer;
    void FetchSamples();
    void UpdateOverTime();
    void HoldRepaint(bool ticks, bool waiting);
    void ReleaseRepaint(bool now);
    void PollSweep();
    void FinishSweep();
    void PlotSweep();
    void MoveNowMarkers();
    void Export(const QString& kind);

    const Form1& form_;
    double scale_ = 0;
    QTabWidget* tabs_ = nullptr;

    // Over time.
    std::deque<HistorySample> samples_;
    std::uint64_t fetched_ = 0;  // samples of this run seen (History::Added)
    std::uint64_t clears_ = 0;   // History::Clears when last fetched
    std::uint64_t restores_ = 0; // Form1::Restores when last fetched
    std::int64_t mostWaiting_ = 0;
    QChart* overTime_ = nullptr;
    QValueAxis *tickAxis_ = nullptr, *percentAxis_ = nullptr, *waitingAxis_ = nullptr;
    class Layer* layer_ = nullptr;
    QChartView* overTimeView_ = nullptr;
    QLineSeries* legend_[3] = {}; // empty: they name the curves in the legend
    QTimer release_;              // repaints a chart whose axes changed, if no tick does
    struct Held {                 // while the repaint after new axes waits
        bool Active = false;
        bool Ticks = false, Waiting = false; // which axes changed
        bool Drawn = false;                  // the curves for the new axes are drawn
        QRect Plot;                          // where the plot area was
        QGraphicsView::ViewportUpdateMode Mode = QGraphicsView::MinimalViewportUpdate;
    } held_;

    // Against offered traffic.
    QChart *sweepU_ = nullptr, *sweepE_ = nullptr;
    QValueAxis *sweepUX_ = nullptr, *sweepUY_ = nullptr, *sweepEX_ = nullptr;
    QLineSeries *measuredU_ = nullptr, *measuredE_ = nullptr;
    QScatterSeries *measuredUDots_ = nullptr, *measuredEDots_ = nullptr;
    QScatterSeries *nowU_ = nullptr, *nowE_ = nullptr;
    std::vector<QLineSeries*> theory_;
    QSpinBox* ticks_ = nullptr;
    QPushButton *sweepButton_ = nullptr, *cancelButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* sweepNote_ = nullptr;
    QLabel* sweepLegend_ = nullptr;
    std::thread runner_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::atomic<long long> ticksDone_{0}, ticksTotal_{1};
    std::mutex resultLock_;
    sweep::SweepResult result_; // written by the runner, read after it ends
    sweep::Settings running_;   // settings of the sweep in progress
    sweep::Settings swept_;
    std::vector<sweep::Point> points_;
    QTimer poll_;
    std::uint64_t nowAt_ = ~std::uint64_t{0}; // History::Added when the markers last moved
};

} // namespace maclab::qt
