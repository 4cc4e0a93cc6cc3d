// The chart pane in the real window, headless: the run over time against
// the model, the sweep against maclab-sweep, Cancel, and the exported files.
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "core/form1.h"
#include "platform/qt/canvas.h"
#include "platform/qt/chart_pane.h"
#include "platform/qt/main_window.h"

namespace maclab::qt {
namespace {

class ChartPaneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(false);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    Form1& Model() { return window->Model(); }
    ChartPane& Pane() { return window->Charts(); }
    void Click(const Control& c) {
        QPushButton* button = window->ButtonOf(c);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void Ticks(int n) {
        for (int t = 0; t < n; ++t) window->Tick();
        QApplication::processEvents();
    }
    // Runs the sweep to its end while the window keeps ticking.
    void SweepToTheEnd() {
        ASSERT_TRUE(Pane().StartSweep());
        const Long before = Model().TickCount;
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                window->Tick();
                return !Pane().SweepRunning();
            },
            120000));
        EXPECT_GT(Model().TickCount, before); // the animation went on
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Well-formed XML; the "points" of every polyline of the class.
    static std::vector<QString> Polylines(const QByteArray& svg, const QString& cls) {
        std::vector<QString> out;
        QXmlStreamReader xml(svg);
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"polyline" &&
                xml.attributes().value("class") == cls)
                out.push_back(xml.attributes().value("points").toString());
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        return out;
    }

    std::unique_ptr<MainWindow> window;
};

// Every tenth tick the pane holds the model's figures unrounded, draws the
// newest one where its axes put it, and a reset empties it.  The pane lies
// beside the network and the key C shows and hides it.
TEST_F(ChartPaneTest, OverTimeFollowsTheModelAndEmptiesOnReset) {
    Form1& f = Model();
    const QRect network = window->Drawing().geometry();
    EXPECT_TRUE(Pane().isHidden());
    Click(f.chkChart);
    ASSERT_FALSE(Pane().isHidden());
    EXPECT_EQ(f.chkChart.Value, 1);
    QApplication::processEvents();
    EXPECT_FALSE(Pane().geometry().intersects(network));
    EXPECT_GE(window->width(), network.width() + Pane().width());
    EXPECT_EQ(window->Drawing().geometry(), network);

    f.UserPick(f.cmbNodes, " 24");
    Click(f.cmdStart[0]);
    f.UserEdit(f.cmbOT, "2.0");
    // The figures are taken as a tenth tick begins, from the counts the
    // tick before left: received x length / ticks and received / queued, the
    // labels' formulas, and the packets in the queues.
    for (int t = 1; t <= 3000; ++t) {
        std::int64_t waiting = 0;
        for (int i = 0; i < f.ActiveStations(); ++i) waiting += f.NodeTable[i].QueueCount;
        const double received = static_cast<double>(f.TotalReceived);
        const double queued = static_cast<double>(f.TotalQueued);
        window->Tick();
        if (f.TickCount % 10 != 0) continue;
        ASSERT_EQ(Pane().Samples().size(), static_cast<std::size_t>(f.TickCount / 10));
        const HistorySample& s = Pane().Samples().back();
        ASSERT_EQ(s.Tick, f.TickCount);
        ASSERT_NEAR(s.Utilisation, received * f.PacketLength / f.TickCount * 100,
                    1e-6 * s.Utilisation);
        ASSERT_EQ(WholeText(static_cast<long long>(std::floor(s.Utilisation + 0.5))),
                  f.lblUtilisation.Caption);
        if (queued > 0) {
            ASSERT_NEAR(s.Efficiency, received / queued * 100, 1e-5 * s.Efficiency);
            ASSERT_EQ(WholeText(static_cast<long long>(std::floor(s.Efficiency))),
                      f.lblEfficiency.Caption);
        } else {
            ASSERT_TRUE(std::isnan(s.Efficiency));
        }
        ASSERT_EQ(s.Waiting, waiting);
    }
    EXPECT_GT(Pane().Samples().back().Waiting, 0);
    QApplication::processEvents();
    // The newest utilisation sample is drawn at its place (within a pixel).
    const HistorySample& last = Pane().Samples()[Pane().Samples().size() - 20];
    const QPointF at = Pane().OverTimePixel(ChartPane::Curve::Utilisation,
                                            static_cast<double>(last.Tick), last.Utilisation);
    // There as the chart itself would put it.
    for (const auto& [curve, value] :
         {std::pair{ChartPane::Curve::Utilisation, last.Utilisation},
          std::pair{ChartPane::Curve::Efficiency, last.Efficiency},
          std::pair{ChartPane::Curve::Waiting, static_cast<double>(last.Waiting)}}) {
        const QPointF mine = Pane().OverTimePixel(curve, static_cast<double>(last.Tick), value);
        const QPointF charts = Pane().ChartPixel(curve, static_cast<double>(last.Tick), value);
        EXPECT_NEAR(mine.x(), charts.x(), 1.0);
        EXPECT_NEAR(mine.y(), charts.y(), 1.0);
    }
    const QImage layer = Pane().OverTimeLayer()->grab().toImage();
    bool drawn = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            drawn = drawn || layer.pixelColor(static_cast<int>(at.x()) + dx,
                                              static_cast<int>(at.y()) + dy) ==
                                 ChartPane::CurveColour(ChartPane::Curve::Utilisation);
    EXPECT_TRUE(drawn) << at.x() << "," << at.y();

    Click(f.cmdStart[1]); // Reset
    EXPECT_TRUE(Pane().Samples().empty());
    Click(f.cmdStart[0]);
    Ticks(10);
    ASSERT_EQ(Pane().Samples().size(), 1u);
    EXPECT_EQ(Pane().Samples().front().Tick, 10);

    QTest::keyClick(window.get(), Qt::Key_C);
    EXPECT_TRUE(Pane().isHidden());
    EXPECT_EQ(f.chkChart.Value, 0);
    QTest::keyClick(window.get(), Qt::Key_C);
    EXPECT_FALSE(Pane().isHidden());
}

// Shown after a long run, the pane widens its tick axis without laying out a
// label for every old step of the new range, and its curves, thinned to a
// few points a pixel column, still pass through every column's extremes.
TEST_F(ChartPaneTest, ShownAfterALongRun) {
    Form1& f = Model();
    f.UserPick(f.cmbNodes, " 24");
    Click(f.cmdStart[0]);
    f.UserEdit(f.cmbOT, "0.3");
    for (int t = 0; t < 60000; ++t) f.Timer1_Timer();
    auto* view = Pane().findChild<QChartView*>();
    ASSERT_NE(view, nullptr);
    auto* ticks = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(ticks, nullptr);
    double mostSteps = 0;
    const auto count = [&] {
        mostSteps = std::max(mostSteps, (ticks->max() - ticks->min()) / ticks->tickInterval());
    };
    QObject::connect(ticks, &QValueAxis::rangeChanged, count);
    QObject::connect(ticks, &QValueAxis::tickIntervalChanged, count);
    Click(f.chkChart);
    QApplication::processEvents();
    ASSERT_EQ(Pane().Samples().size(), 6000u);
    EXPECT_GE(ticks->max(), 60000);
    EXPECT_LE(mostSteps, 10);

    const QImage layer = Pane().OverTimeLayer()->grab().toImage();
    // The waiting count, the noisiest curve and the one drawn last.
    const QColor colour = ChartPane::CurveColour(ChartPane::Curve::Waiting);
    const auto drawnNear = [&](const QPointF& at) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const QPoint p(static_cast<int>(at.x()) + dx, static_cast<int>(at.y()) + dy);
                if (layer.valid(p) && layer.pixelColor(p) == colour) return true;
            }
        return false;
    };
    // A pixel column holds about thirteen samples: the highest and the
    // lowest of each column are drawn, wherever they fall in it.
    std::map<int, std::pair<QPointF, QPointF>> columns; // top, bottom
    for (const HistorySample& s : Pane().Samples()) {
        const QPointF at = Pane().OverTimePixel(
            ChartPane::Curve::Waiting, static_cast<double>(s.Tick), static_cast<double>(s.Waiting));
        auto [it, fresh] = columns.try_emplace(static_cast<int>(std::floor(at.x())), at, at);
        if (at.y() < it->second.first.y()) it->second.first = at;
        if (at.y() > it->second.second.y()) it->second.second = at;
    }
    ASSERT_GT(columns.size(), 100u);
    int missed = 0;
    for (const auto& [column, ends] : columns)
        missed += !drawnNear(ends.first) + !drawnNear(ends.second);
    EXPECT_EQ(missed, 0);
}

// When the axes change, the chart is painted afresh two ticks later, or a
// moment later when no tick comes; what is then on the screen (only the
// parts new axes change are painted again) is what a whole repaint shows.
TEST_F(ChartPaneTest, NewAxesArePaintedWithoutAnotherTick) {
    Form1& f = Model();
    Click(f.chkChart);
    Click(f.cmdStart[0]);
    auto* view = Pane().findChild<QChartView*>();
    ASSERT_NE(view, nullptr);
    auto* ticks = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(ticks, nullptr);
    QWidget* port = view->viewport();
    const auto differing = [&] {
        const QPoint at = port->mapTo(window.get(), QPoint(0, 0));
        const QImage shown =
            window->screen()
                ->grabWindow(window->winId(), at.x(), at.y(), port->width(), port->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QImage whole = port->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown.size(), whole.size());
        int differ = 0;
        for (int y = 0; y < std::min(shown.height(), whole.height()); ++y)
            for (int x = 0; x < std::min(shown.width(), whole.width()); ++x)
                differ += shown.pixel(x, y) != whole.pixel(x, y);
        return differ;
    };
    // Paints of the viewport once the held repaint is let go (the view
    // updates itself again); a paint of something queued earlier, or one
    // done inside the same event pass as the change, is not the one sought.
    struct PaintCounter : QObject {
        QChartView* view = nullptr;
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint &&
                      view->viewportUpdateMode() != QGraphicsView::NoViewportUpdate;
            return false;
        }
    } counter;
    counter.view = view;
    port->installEventFilter(&counter);
    const auto tickUntilNewAxes = [&] {
        const double before = ticks->max();
        while (ticks->max() == before && f.TickCount < 5000) window->Tick();
        ASSERT_NE(ticks->max(), before);
        counter.paints = 0;
        QApplication::processEvents();
    };
    // No tick after the change.
    tickUntilNewAxes();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 1000));
    EXPECT_EQ(differing(), 0);
    // Ticks going on.
    tickUntilNewAxes();
    for (int t = 0; t < 2; ++t) {
        window->Tick();
        QApplication::processEvents();
    }
    EXPECT_EQ(differing(), 0);
}

// The pane sweeps the window's settings, on Form1s of its own, to exactly
// maclab-sweep's files for the same settings and ticks, and plots those numbers.
TEST_F(ChartPaneTest, SweepEqualsMaclabSweep) {
    Form1& f = Model();
    Click(f.chkChart);
    Pane().ShowPage(ChartPane::Page::AgainstTraffic);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char *topology, *scheme, *nodes, *length;
        bool reliable, random;
        QStringList options;
    };
    const Case cases[] = {
        {"Star",
         "ALOHA",
         " 10",
         "8",
         false,
         false,
         {"--scheme", "ALOHA", "--topology", "Star", "--stations", "10", "--length", "8"}},
        {"Ring",
         "CSMA/CD + R",
         " 8",
         " 20",
         true,
         true,
         {"--scheme", "CSMA/CD + R", "--topology", "Ring", "--stations", "8", "--length", "20",
          "--reliable", "--backoff", "random"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scheme);
        f.UserPick(f.cmbTopology, c.topology);
        f.UserPick(f.cmbScheme, c.scheme);
        f.UserPick(f.cmbNodes, c.nodes);
        f.UserEdit(f.cmbLength, c.length);
        if ((f.chkReliable.Value == 1) != c.reliable) Click(f.chkReliable);
        if (c.reliable && (f.chkRandom.Value == 1) != c.random) Click(f.chkRandom);
        // The window's own run, untouched by the sweep.
        Click(f.cmdStart[0]);
        f.UserEdit(f.cmbOT, "0.5");
        Ticks(500);
        const Long queued = f.TotalQueued;

        Pane().SetTicksPerPoint(3000);
        SweepToTheEnd();
        EXPECT_GE(f.TotalQueued, queued);
        ASSERT_EQ(Pane().SweptPoints().size(), 12u);
        const QString mine = dir.filePath("pane");
        ASSERT_TRUE(Pane().ExportCsv(mine + ".csv"));
        ASSERT_TRUE(Pane().ExportSvg(mine + ".svg"));
        ASSERT_TRUE(Pane().ExportPng(mine + ".png"));

        QProcess tool;
        tool.start(QStringLiteral(MACLAB_SWEEP_PROGRAM),
                   c.options + QStringList{"--ticks", "3000", "--out", dir.filePath("tool")});
        ASSERT_TRUE(tool.waitForFinished(120000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        const QByteArray csv = Read(dir.filePath("tool.csv"));
        ASSERT_FALSE(csv.isEmpty());
        EXPECT_EQ(Read(mine + ".csv"), csv);
        EXPECT_EQ(Read(mine + ".svg"), Read(dir.filePath("tool.svg")));
        Polylines(Read(mine + ".svg"), QString()); // well formed
        EXPECT_FALSE(QImage(mine + ".png").isNull());

        // The plotted points are the table's rows.
        const QList<QByteArray> rows = csv.split('\n');
        const QLineSeries* u = Pane().MeasuredUtilisationSeries();
        const QLineSeries* e = Pane().MeasuredEfficiencySeries();
        ASSERT_EQ(u->count(), 12);
        for (int k = 0; k < 12; ++k) {
            const QList<QByteArray> cells = rows[k + 1].split(',');
            EXPECT_EQ(u->at(k).x(), cells[0].toDouble());
            EXPECT_NEAR(u->at(k).y(), cells[1].toDouble(), 5e-7);
            EXPECT_NEAR(e->at(k).y(), cells[2].toDouble(), 5e-7);
        }
        // The network now: its offered traffic and utilisation.
        ASSERT_EQ(Pane().NowUtilisationMarker()->count(), 1);
        EXPECT_EQ(Pane().NowUtilisationMarker()->at(0).x(), 0.5);
    }
}

// Cancel ends every worker before it returns, the window goes on, and the
// next sweep runs; closing the window during a sweep ends it as well.
TEST_F(ChartPaneTest, CancelStopsEveryWorkerAndLeavesTheWindowUsable) {
    Form1& f = Model();
    Click(f.chkChart);
    Pane().ShowPage(ChartPane::Page::AgainstTraffic);
    f.UserPick(f.cmbTopology, "Space");
    f.UserPick(f.cmbNodes, " 24");
    Click(f.cmdStart[0]);
    Pane().SetTicksPerPoint(100000000); // hours of work
    ASSERT_TRUE(Pane().StartSweep());
    EXPECT_FALSE(Pane().StartSweep()); // one at a time
    EXPECT_FALSE(Pane().SweepButton()->isEnabled());
    Ticks(50);
    QTest::qWait(100);
    QTest::mouseClick(Pane().CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(Pane().SweepRunning()); // every worker has ended
    EXPECT_TRUE(Pane().SweptPoints().empty());
    EXPECT_TRUE(Pane().SweepButton()->isEnabled());
    EXPECT_FALSE(Pane().CancelButton()->isEnabled());

    const Long tick = f.TickCount;
    Ticks(20);
    EXPECT_EQ(f.TickCount, tick + 20);
    Pane().SetTicksPerPoint(500);
    SweepToTheEnd();
    EXPECT_EQ(Pane().SweptPoints().size(), 12u);
    EXPECT_EQ(Pane().Progress()->value(), Pane().Progress()->maximum());

    Pane().SetTicksPerPoint(100000000);
    ASSERT_TRUE(Pane().StartSweep());
    QTest::qWait(50);
    window.reset(); // must not hang or crash
}

// The exported table and picture of the run over time hold the very numbers
// the pane holds, every one of them.
TEST_F(ChartPaneTest, OverTimeExportsHoldThePlottedValues) {
    Form1& f = Model();
    Click(f.chkChart);
    Click(f.cmdStart[0]);
    f.UserEdit(f.cmbOT, "1.5");
    Ticks(2000);
    const std::deque<HistorySample>& samples = Pane().Samples();
    ASSERT_EQ(samples.size(), 200u);
    ASSERT_TRUE(std::isnan(samples.front().Efficiency) || samples.front().Efficiency >= 0);
    QTemporaryDir dir;
    const QString path = dir.filePath("run");
    ASSERT_TRUE(Pane().ExportCsv(path + ".csv"));
    ASSERT_TRUE(Pane().ExportSvg(path + ".svg"));
    ASSERT_TRUE(Pane().ExportPng(path + ".png"));
    EXPECT_FALSE(QImage(path + ".png").isNull());

    const QList<QByteArray> rows = Read(path + ".csv").trimmed().split('\n');
    ASSERT_EQ(rows.size(), 201);
    EXPECT_EQ(rows[0], "tick,utilisation_percent,efficiency_percent,waiting_packets");
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const QList<QByteArray> cells = rows[static_cast<int>(k) + 1].split(',');
        ASSERT_EQ(cells.size(), 4);
        EXPECT_EQ(cells[0].toLongLong(), samples[k].Tick);
        EXPECT_EQ(cells[1].toDouble(), samples[k].Utilisation);
        if (std::isnan(samples[k].Efficiency))
            EXPECT_TRUE(cells[2].isEmpty());
        else
            EXPECT_EQ(cells[2].toDouble(), samples[k].Efficiency);
        EXPECT_EQ(cells[3].toLongLong(), samples[k].Waiting);
    }

    const QByteArray svg = Read(path + ".svg");
    const auto values = [&](const char* cls) {
        std::vector<std::pair<double, double>> out;
        for (const QString& line : Polylines(svg, QString::fromLatin1(cls)))
            for (const QString& pair : line.split(' ', Qt::SkipEmptyParts)) {
                const QStringList xy = pair.split(',');
                out.emplace_back(xy[0].toDouble(), xy[1].toDouble());
            }
        return out;
    };
    const auto u = values("utilisation"), e = values("efficiency"), w = values("waiting");
    ASSERT_EQ(u.size(), samples.size());
    ASSERT_EQ(w.size(), samples.size());
    std::size_t defined = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        EXPECT_EQ(u[k].first, samples[k].Tick);
        EXPECT_EQ(u[k].second, samples[k].Utilisation);
        EXPECT_EQ(w[k].second, samples[k].Waiting);
        if (std::isnan(samples[k].Efficiency)) continue;
        ASSERT_LT(defined, e.size());
        EXPECT_EQ(e[defined].first, samples[k].Tick);
        EXPECT_EQ(e[defined].second, samples[k].Efficiency);
        ++defined;
    }
    EXPECT_EQ(defined, e.size());
}

} // namespace
} // namespace maclab::qt

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
