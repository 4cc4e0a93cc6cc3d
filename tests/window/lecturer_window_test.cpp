// The window as a lecturer meets it on a projector: two dozen stations with
// their status shown, what a click does while the clock is paused, the keys
// after the chart pane closes, a small window, text that grows with the
// window, and the captions and shapes of the panel.  Measured through the
// real widgets on grabbed pixels and on the boxes the widgets take.
#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/form1.h"
#include "core/symbol_kind.h"
#include "core/view_colours.h"
#include "platform/qt/canvas.h"
#include "platform/qt/chart_pane.h"
#include "platform/qt/colours.h"
#include "platform/qt/main_window.h"
#include "platform/qt/station_table.h"

namespace maclab::qt {
namespace {

// How far apart two colours are: the largest difference of a channel.
int Apart(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

class LecturerWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(false);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    Form1& Model() { return window->Model(); }
    QImage Grab() {
        QApplication::processEvents();
        return window->grab().toImage();
    }
    void Click(const Control& c) {
        QPushButton* button = window->ButtonOf(c);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void Press(Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : window.get(), key);
    }
    // A box of the form (twips) in the window's pixels.
    QRect Box(const Control& c) {
        const Canvas& canvas = window->Drawing();
        return canvas.ToWidget(c.Left, c.Top, c.Width, c.Height)
            .translated(canvas.mapTo(window.get(), QPoint(0, 0)));
    }
    QPoint At(double x, double y) {
        const Canvas& c = window->Drawing();
        return c.mapTo(window.get(), QPoint(0, 0)) +
               QPoint(static_cast<int>(std::lround(x / TwipsPerPixel * c.Scale())),
                      static_cast<int>(std::lround(y / TwipsPerPixel * c.Scale())));
    }
    // A busy run of 24 stations on a topology.
    void Busy(const char* topology, int ticks) {
        Form1& f = Model();
        f.UserPick(f.cmbTopology, topology);
        f.UserPick(f.cmbNodes, " 24");
        f.cmdStart_Click(0);
        f.UserPick(f.cmbOT, "2.0");
        window->Sync();
        for (int t = 0; t < ticks; ++t) window->Tick();
    }

    std::unique_ptr<MainWindow> window;
};

// Every status text of 24 stations on every topology, at the window's own
// size, at a small size and full screen on a projector: each shown whole (not
// cut short), each saying what the station's record says, and none
// overlapping another, a control, the legend or the medium.
TEST_F(LecturerWindow, StatusOfTwoDozenStationsOverlapsNothing) {
    Form1& f = Model();
    Click(f.chkStatus);
    Click(f.chkLegend);
    for (const char* topology : {"Bus", "Star", "Ring", "Space", "Wide Space"}) {
        Busy(topology, 150);
        // Long words too: waiting with a timer, a control frame pending.
        f.UserToggle(f.chkReliable);
        for (int t = 0; t < 150; ++t) window->Tick();
        f.UserToggle(f.chkReliable);
        window->Sync();
        for (const QSize size : {QSize(), QSize(700, 480), QSize(1920, 1080)}) {
            if (size.isValid()) window->resize(size);
            QApplication::processEvents();
            const std::string where = std::string(topology) + " at " +
                                      std::to_string(window->width()) + "x" +
                                      std::to_string(window->height());
            StationTable& table = window->View().Table();
            ASSERT_TRUE(table.isVisible()) << where;
            ASSERT_EQ(table.Rows(), 24) << where;
            std::vector<std::pair<std::string, QRect>> texts;
            for (int r = 0; r < table.Rows(); ++r) {
                const StationStatus status = f.DescribeStation(r);
                EXPECT_EQ(table.Text(r, StationTable::Sender).toStdString(), status.Sender);
                EXPECT_EQ(table.Text(r, StationTable::Receiver).toStdString(), status.Receiver);
                EXPECT_EQ(table.Text(r, StationTable::Queue).toStdString(), status.Queue);
                for (int c = 0; c < StationTable::Columns; ++c) {
                    const auto column = StationTable::Column(c);
                    const QRect box = table.TextBox(r, column);
                    texts.emplace_back("station " + std::to_string(r) + " column " +
                                           std::to_string(c),
                                       box.translated(table.mapTo(window.get(), QPoint(0, 0))));
                    if (column == StationTable::Number) continue;
                    // Whole: the box is as wide as the words need.
                    EXPECT_GE(
                        box.width(),
                        QFontMetrics(table.TextFont()).horizontalAdvance(table.Text(r, column)) - 1)
                        << where << " " << texts.back().first << ": "
                        << table.Text(r, column).toStdString();
                }
            }
            std::vector<std::pair<std::string, QRect>> others;
            for (QWidget* w : window->Drawing().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (w->isVisible())
                    others.emplace_back(w->metaObject()->className(),
                                        w->geometry().translated(
                                            window->Drawing().mapTo(window.get(), QPoint(0, 0))));
            others.emplace_back("legend", Box(f.shpLegendBox));
            others.emplace_back("medium", Box(f.Medium));
            for (size_t a = 0; a < texts.size(); ++a) {
                EXPECT_TRUE(window->rect().contains(texts[a].second)) << where << texts[a].first;
                for (size_t b = a + 1; b < texts.size(); ++b)
                    EXPECT_FALSE(texts[a].second.intersects(texts[b].second))
                        << where << ": " << texts[a].first << " and " << texts[b].first;
                for (const auto& [name, box] : others)
                    EXPECT_FALSE(texts[a].second.intersects(box))
                        << where << ": " << texts[a].first << " and " << name;
            }
            if (HasFailure()) return;
        }
        window->resize(window->sizeHint());
        QApplication::processEvents();
    }
}

// While the clock is paused, what the records hold is shown at once: the
// status appears when its toggle is pressed, and a packet queued by a click
// shows in the table, without a tick.
TEST_F(LecturerWindow, PausedTheWindowShowsAClickAtOnce) {
    Form1& f = Model();
    Click(f.cmdPause);
    ASSERT_FALSE(f.Timer1.Enabled);
    const Long tick = f.TickCount;
    const QImage hidden = Grab();
    Click(f.chkStatus);
    const QImage shown = Grab();
    StationTable& table = window->View().Table();
    ASSERT_TRUE(table.isVisible());
    EXPECT_NE(hidden, shown);
    EXPECT_EQ(table.Text(3, StationTable::Queue), "queued 0");

    const QRect row = table.RowBox(3).translated(table.mapTo(window.get(), QPoint(0, 0)));
    Click(f.cmdNode[3]);
    const QImage clicked = Grab();
    EXPECT_EQ(f.TickCount, tick);
    EXPECT_EQ(table.Text(3, StationTable::Queue), "queued 1");
    EXPECT_NE(shown.copy(row), clicked.copy(row));
    // Only that row changed in the table.
    const QRect other = table.RowBox(4).translated(table.mapTo(window.get(), QPoint(0, 0)));
    EXPECT_EQ(shown.copy(other), clicked.copy(other));

    // And a step shows the station sending at once.
    Click(f.cmdStep);
    EXPECT_EQ(table.Text(3, StationTable::Sender), "sends data");

    // Full screen, the table comes and goes beside the form, never over it
    // nor past the window's edge.
    window->showFullScreen();
    QApplication::processEvents();
    const QSize form = window->Drawing().size() / window->Drawing().Scale();
    for (int k = 0; k < 2; ++k) {
        Click(f.chkStatus);
        QApplication::processEvents();
        ASSERT_FALSE(table.isVisible());
        // The form alone fills the room again.
        EXPECT_NEAR(window->Drawing().Scale(),
                    std::min(double(window->View().width()) / form.width(),
                             double(window->View().height()) / form.height()),
                    0.01);
        Click(f.chkStatus);
        QApplication::processEvents();
        ASSERT_TRUE(table.isVisible());
        const QRect box = table.geometry().translated(window->View().pos());
        EXPECT_TRUE(window->rect().contains(box));
        EXPECT_FALSE(box.intersects(window->Drawing().geometry().translated(window->View().pos())));
        EXPECT_EQ(box.height(), window->Drawing().height());
    }
}

// After working the chart pane with the mouse and closing it with C, the
// keys work the run controls again: S starts the run, it does not type "s"
// into a box the user never clicked.
TEST_F(LecturerWindow, AfterTheChartPaneClosesTheKeysWorkTheRun) {
    Form1& f = Model();
    Press(Qt::Key_C);
    ChartPane& charts = window->Charts();
    ASSERT_TRUE(charts.isVisible());
    charts.ShowPage(ChartPane::Page::AgainstTraffic);
    charts.SetTicksPerPoint(100);
    QTest::mouseClick(charts.SweepButton(), Qt::LeftButton);
    for (int k = 0; k < 500 && charts.SweepRunning(); ++k) QTest::qWait(10);
    QApplication::processEvents();
    EXPECT_FALSE(window->Typing());
    Press(Qt::Key_C);
    ASSERT_FALSE(charts.isVisible());
    EXPECT_FALSE(window->Typing());
    const std::string topology = f.cmbTopology.Text;
    Press(Qt::Key_S);
    EXPECT_EQ(f.Running, VbTrue);
    EXPECT_EQ(f.cmbTopology.Text, topology);
    Press(Qt::Key_S);
    EXPECT_EQ(f.Running, VbFalse);

    // The same with the pane's number field clicked last: a box the user
    // clicked keeps the keyboard until the pane closes.
    Press(Qt::Key_C);
    QTest::mouseClick(charts.findChild<QAbstractSpinBox*>(), Qt::LeftButton);
    EXPECT_TRUE(charts.findChild<QAbstractSpinBox*>()->hasFocus());
    window->setFocus();
    Press(Qt::Key_C);
    Press(Qt::Key_S);
    EXPECT_EQ(f.Running, VbTrue);
}

// Below the form's own size every station circle, the hub and the legend's
// swatches are drawn whole: the outline shows all the way round.
TEST_F(LecturerWindow, ASmallWindowDrawsEveryCircleWhole) {
    Form1& f = Model();
    f.UserPick(f.cmbNodes, " 24");
    f.UserToggle(f.chkLegend);
    window->Sync();
    for (int t = 0; t < 12; ++t) window->Tick(); // the outlines have faded to black
    window->resize(700, 480);
    const QImage shot = Grab();
    ASSERT_LT(window->Drawing().Scale(), 0.8);
    std::vector<QRect> covered;
    for (QWidget* w : window->Drawing().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            covered.push_back(
                w->geometry().translated(window->Drawing().pos()).adjusted(-1, -1, 1, 1));
    // Points on the middle of a circle's outline (or inside a filled swatch)
    // that no widget covers, and how many show the colour.
    const auto check = [&](const Control& c, double inset, Long colour, Long around,
                           const std::string& name) {
        const double scale = window->Drawing().Scale();
        const double d = std::min(c.Width, c.Height) / TwipsPerPixel;
        const QPointF centre(At(c.Left + c.Width / 2, c.Top + c.Height / 2));
        const double radius = (d / 2 - inset) * scale;
        int seen = 0, right = 0;
        for (int a = 0; a < 360; a += 15) {
            const double t = a * M_PI / 180;
            const QPoint p =
                (centre + QPointF(radius * std::cos(t), radius * std::sin(t))).toPoint();
            bool hidden = false;
            for (const QRect& r : covered) hidden = hidden || r.contains(p);
            if (hidden) continue;
            ++seen;
            // The colour, or nearer to it than to what lies around, at the
            // point or a pixel beside it (the outline's edges are smoothed).
            int nearest = 255;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    nearest = std::min(
                        nearest, Apart(shot.pixelColor(p + QPoint(dx, dy)), ModelColour(colour)));
            right += nearest * 2 < Apart(ModelColour(colour), ModelColour(around));
        }
        EXPECT_GE(seen, 8) << name;
        EXPECT_EQ(right, seen) << name;
    };
    for (int i = 0; i < 24; ++i)
        check(f.shpNode[i], f.shpNode[i].BorderWidth / 2, f.shpNode[i].BorderColor,
              f.Medium.BackColor, "station " + std::to_string(i));
    check(f.Shape1, f.Shape1.BorderWidth / 2, 0, f.Medium.BackColor, "hub");
    // Half-way out in each swatch: its fill, against the legend's background.
    for (int k = 0; k < LegendRows; ++k)
        check(f.shpLegend[k], f.shpLegend[k].Width / TwipsPerPixel / 4, f.shpLegend[k].FillColor,
              f.shpLegendBox.BackColor, "swatch " + std::to_string(k));
}

// Every text the window shows fits its box at every size: none is cut off.
TEST_F(LecturerWindow, EveryLabelFitsItsBoxAtEverySize) {
    Form1& f = Model();
    f.UserToggle(f.chkLegend);
    window->Sync();
    for (const QSize size :
         {QSize(560, 390), QSize(700, 480), QSize(938, 644), QSize(1400, 961), QSize(1920, 1080)}) {
        window->resize(size);
        QApplication::processEvents();
        for (const ControlEntry& e : f.Controls()) {
            const QLabel* label = window->LabelOf(*e.Model);
            if (label == nullptr || !label->isVisible() || label->text().isEmpty()) continue;
            // On one line, as wide as the box at most: a word pushed to a
            // second line would be cut off below the box.
            const qreal wide = QFontMetricsF(label->font()).horizontalAdvance(label->text());
            EXPECT_LE(wide, label->width())
                << e.Name << " " << e.Index << " at " << size.width() << "x" << size.height();
        }
    }
}

// The tooltips and the chart pane's text grow with the window: 20 pixels or
// more full screen at 1920 x 1080, and more than at the form's own size.
TEST_F(LecturerWindow, TooltipsAndChartsGrowWithTheWindow) {
    Form1& f = Model();
    Click(f.chkChart);
    ChartPane& charts = window->Charts();
    ASSERT_TRUE(charts.isVisible());
    const auto sizes = [&] {
        auto* view = charts.findChild<QChartView*>();
        QChart* chart = view->chart();
        int least = 1000;
        for (QAbstractAxis* axis : chart->axes())
            least =
                std::min({least, axis->labelsFont().pixelSize(), axis->titleFont().pixelSize()});
        least =
            std::min({least, chart->titleFont().pixelSize(), chart->legend()->font().pixelSize(),
                      charts.SweepButton()->font().pixelSize(),
                      charts.findChild<QTabWidget*>()->tabBar()->font().pixelSize()});
        return std::pair{least, QToolTip::font().pixelSize()};
    };
    const auto [chartSmall, tipSmall] = sizes();
    window->resize(1920, 1080);
    QApplication::processEvents();
    const auto [chartLarge, tipLarge] = sizes();
    EXPECT_GE(chartLarge, 20);
    EXPECT_GE(tipLarge, 20);
    EXPECT_GT(chartLarge, chartSmall);
    EXPECT_GT(tipLarge, tipSmall);
    // The pane grew with the network: both keep their proportions.
    EXPECT_NEAR(double(charts.width()) / window->Drawing().width(),
                double(ChartPane::FormWidth) / 938, 0.01);
    // A tooltip shown now uses that size.
    const QRect start = window->ButtonOf(f.cmdStart[0])->geometry();
    QHelpEvent overStart(QEvent::ToolTip, QPoint(4, 4),
                         window->ButtonOf(f.cmdStart[0])->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(window->ButtonOf(f.cmdStart[0]), &overStart);
    EXPECT_FALSE(start.isEmpty());
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_GE(QToolTip::font().pixelSize(), 20);
    QToolTip::hideText();
}

// The captions "Offered Traffic" and "Packet Length" stand on the panel's
// colour, even where rings are drawn next to them; the Ring has no circle in
// its middle.
TEST_F(LecturerWindow, CaptionsStandOnThePanelAndTheRingHasNoHub) {
    Form1& f = Model();
    // Rings right beside the captions, inside the medium.
    for (const Control* caption : {&f.Label3, &f.Label5})
        window->Drawing().DrawRing(9200, static_cast<Long>(caption->Top + caption->Height / 2), 12,
                                   CollisionColour);
    window->Drawing().Flush();
    QImage shot = Grab();
    for (const Control* caption : {&f.Label3, &f.Label5}) {
        const QRect box = Box(*caption);
        int panel = 0, all = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                ++all;
                panel += c == ModelColour(PanelColour);
                EXPECT_NE(c, ModelColour(f.Medium.BackColor)) << caption->Caption << " " << x;
                EXPECT_NE(c, ModelColour(CollisionColour)) << caption->Caption << " " << x;
                if (HasFailure()) return;
            }
        EXPECT_GT(panel, all / 2) << caption->Caption; // the rest is its letters
    }

    // On the Star the hub is drawn; on the Ring its place is plain medium.
    const Control& hub = f.Shape1;
    // The middle of its outline, left of its centre (a circle as large as
    // the shape's shorter side).
    const double side = std::min(hub.Width, hub.Height);
    const QPoint rim = At(hub.Left + hub.Width / 2 - side / 2 + hub.BorderWidth * TwipsPerPixel / 2,
                          hub.Top + hub.Height / 2);
    EXPECT_EQ(shot.pixelColor(rim), QColor(Qt::black));
    f.UserPick(f.cmbTopology, "Ring");
    window->Sync();
    ASSERT_TRUE(hub.Visible); // the model keeps it; the window does not draw it
    shot = Grab();
    EXPECT_EQ(shot.pixelColor(rim), ModelColour(f.Medium.BackColor));
    const QPoint inside = rim - window->Drawing().pos();
    QHelpEvent help(QEvent::ToolTip, inside, window->Drawing().mapToGlobal(inside));
    QApplication::sendEvent(&window->Drawing(), &help);
    EXPECT_FALSE(QToolTip::isVisible() && QToolTip::text().contains("hub"));
}

} // namespace
} // namespace maclab::qt

namespace maclab::qt {
namespace {

// A box of a grab in grey levels, one byte a pixel.
std::vector<int> Greys(const QImage& shot, const QRect& box) {
    std::vector<int> out;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) out.push_back(qGray(shot.pixel(x, y)));
    return out;
}

// Pixels of two boxes of the same size that differ clearly in grey level.
int GreyDifferences(const std::vector<int>& a, const std::vector<int>& b) {
    int n = 0;
    for (size_t k = 0; k < std::min(a.size(), b.size()); ++k) n += std::abs(a[k] - b[k]) > 40;
    return n;
}

// Near black or near white at a point or next to it (the strokes drawn over
// the medium are smoothed, black edged with a white middle); the medium
// around is mid grey.
bool Ink(const QImage& shot, QPoint p) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int grey = qGray(shot.pixel(p + QPoint(dx, dy)));
            if (grey < 50 || grey > 215) return true;
        }
    return false;
}

// With Symbols pressed (key Y) every kind of symbol on the medium, taken
// from real runs, and every row of the legend is told apart from every other
// in grey levels alone: the marks differ in shape, not only in colour.
TEST_F(LecturerWindow, SymbolsTellEveryKindApartInGrey) {
    Form1& f = Model();
    Press(Qt::Key_Y);
    ASSERT_EQ(f.chkSymbols.Value, 1);
    Click(f.chkLegend);
    const std::vector<SymbolKind> kinds = {
        SymbolKind::Silence, SymbolKind::Address, SymbolKind::Data, SymbolKind::End,
        SymbolKind::Garbled, SymbolKind::Start,   SymbolKind::Rts,  SymbolKind::Cts,
        SymbolKind::Token,   SymbolKind::Ack};
    std::map<SymbolKind, std::vector<int>> seen;
    // A cell whose mark stands clear of every other mark, shape and control.
    const auto capture = [&](int station, int cell) {
        const Node& s = f.NodeTable[station];
        const Long colour = s.CellShown[cell];
        const SymbolKind kind = SymbolKindOf(f, colour);
        if (seen.count(kind) != 0 || s.CellSize[cell] > 2 * Canvas::MarkRadius + 4) return;
        const double scale = window->Drawing().Scale();
        const double side = 2 * (Canvas::MarkRadius + 2) * scale;
        const QPoint centre = At(s.CellX[cell], s.CellY[cell]);
        const QRect box(centre - QPoint(int(side / 2), int(side / 2)), QSize(int(side), int(side)));
        for (int i = 0; i < f.ActiveStations(); ++i)
            for (int k = 0; k < f.PathLength; ++k) {
                if (i == station && k == cell) continue;
                const Node& o = f.NodeTable[i];
                if (o.CellShown[k] == f.BackColour) continue;
                const QPoint c = At(o.CellX[k], o.CellY[k]);
                if (std::hypot(c.x() - centre.x(), c.y() - centre.y()) < side + 2) return;
            }
        for (int i = 0; i < StationControls; ++i)
            if (f.shpNode[i].Visible && Box(f.shpNode[i]).adjusted(-4, -4, 4, 4).intersects(box))
                return;
        if (Box(f.Shape1).adjusted(-4, -4, 4, 4).intersects(box)) return;
        seen[kind] = Greys(Grab(), box);
    };
    const auto run = [&](const char* scheme, int ticks) {
        f.UserPick(f.cmbScheme, scheme);
        f.UserPick(f.cmbNodes, " 8");
        if (f.chkReliable.Value == 0) f.UserToggle(f.chkReliable);
        f.cmdStart_Click(0);
        f.UserPick(f.cmbOT, "0.6");
        window->Sync();
        for (int t = 0; t < ticks && seen.size() < kinds.size(); ++t) {
            window->Tick();
            for (int i = 0; i < f.ActiveStations(); ++i)
                for (int k = 0; k < f.PathLength; ++k) capture(i, k);
        }
    };
    run("RTS/CTS", 3000);
    run("Polling", 1500);
    run("ALOHA", 1500);
    for (const SymbolKind kind : kinds)
        ASSERT_EQ(seen.count(kind), 1u) << "no clear cell of kind " << int(kind);
    for (size_t a = 0; a < kinds.size(); ++a)
        for (size_t b = a + 1; b < kinds.size(); ++b)
            EXPECT_GE(GreyDifferences(seen[kinds[a]], seen[kinds[b]]), 10)
                << "kinds " << int(kinds[a]) << " and " << int(kinds[b]);

    // The legend: each row's swatch shows its symbol's mark; silence none.
    const QImage shot = Grab();
    std::vector<std::vector<int>> rows;
    for (int k = 0; k < LegendRows; ++k) rows.push_back(Greys(shot, Box(f.shpLegend[k])));
    for (int a = 0; a < LegendRows; ++a)
        for (int b = a + 1; b < LegendRows; ++b)
            EXPECT_GE(GreyDifferences(rows[a], rows[b]), 6) << "legend rows " << a << " and " << b;
}

// Reach (key H, on Space and Wide Space only) draws every station's range;
// the pointer over a station marks those it hears with a solid ring and those
// out of its reach with a broken ring, crossed out.  Who is marked as heard is
// who hears a lone frame of that station on the real medium.
TEST_F(LecturerWindow, ReachAndWhoHearsTheStationUnderThePointer) {
    Form1& f = Model();
    EXPECT_FALSE(window->ButtonOf(f.chkReach)->isVisible()); // the Star has no radio
    f.UserPick(f.cmbTopology, "Wide Space");
    f.UserPick(f.cmbNodes, " 12");
    window->Sync();
    ASSERT_TRUE(window->ButtonOf(f.chkReach)->isVisible());

    // Station 2 sends one frame; these hear something of it.
    const int talker = 2;
    std::vector<bool> heard(12, false);
    Click(f.cmdNode[talker]);
    for (int t = 0; t < 60; ++t) {
        window->Tick();
        for (int j = 0; j < 12; ++j) heard[j] = heard[j] || f.NodeTable[j].Heard != f.BackColour;
    }
    int out = 0;
    for (int j = 0; j < 12; ++j)
        if (j != talker) {
            EXPECT_EQ(f.RadioHearsStation(j, talker), heard[j]) << j;
            out += !heard[j];
        }
    ASSERT_GT(out, 2); // Wide Space hides stations from each other

    // Stroke pixels (black or white) at points round a circle, of those
    // that no control covers and that lie on the medium.
    const auto stroked = [&](const QImage& shot, QPointF centre, double radius) {
        std::vector<QRect> covered;
        for (QWidget* w : window->Drawing().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible()) covered.push_back(w->geometry().adjusted(-2, -2, 2, 2));
        const QRect medium = Box(f.Medium).adjusted(3, 3, -3, -3);
        int all = 0, ink = 0;
        for (int a = 0; a < 360; a += 3) {
            const double t = a * M_PI / 180;
            const QPoint p =
                (centre + QPointF(radius * std::cos(t), radius * std::sin(t))).toPoint();
            bool hidden = !medium.contains(p);
            for (const QRect& r : covered) hidden = hidden || r.contains(p);
            if (hidden) continue;
            ++all;
            ink += Ink(shot, p);
        }
        return all == 0 ? 0.0 : double(ink) / all;
    };
    const double scale = window->Drawing().Scale();
    const Node& s = f.NodeTable[talker];
    const QPointF centre = At(s.CellX[0], s.CellY[0]);
    const double reach = f.RadioReach() / TwipsPerPixel * scale;
    EXPECT_LT(stroked(Grab(), centre, reach), 0.05);
    Press(Qt::Key_H);
    ASSERT_EQ(f.chkReach.Value, 1);
    EXPECT_GT(stroked(Grab(), centre, reach), 0.4); // dashed
    EXPECT_LT(stroked(Grab(), centre, reach + 8), 0.3);
    Press(Qt::Key_H);
    EXPECT_LT(stroked(Grab(), centre, reach), 0.05);

    // The pointer over station 2's button.
    QTest::mouseMove(window->ButtonOf(f.cmdNode[talker]));
    QApplication::processEvents();
    EXPECT_EQ(window->Drawing().Hovered(), talker);
    const QImage shot = Grab();
    EXPECT_GT(stroked(shot, centre, reach), 0.8); // its own reach, unbroken
    for (int j = 0; j < 12; ++j) {
        if (j == talker) continue;
        const Control& shape = f.shpNode[j];
        const QPointF middle = At(shape.Left + shape.Width / 2, shape.Top + shape.Height / 2);
        const double r = (std::max(shape.Width, shape.Height) / 2 / TwipsPerPixel + 4) * scale;
        const double ring = stroked(shot, middle, r);
        // The cross, between the button and the ring.
        const QPointF diagonal = middle + QPointF(r, -r) * 0.75 / std::sqrt(2.0) * 1.2;
        const bool cross = Ink(shot, diagonal.toPoint());
        if (heard[j]) {
            EXPECT_GT(ring, 0.9) << "station " << j << " is heard";
        } else {
            EXPECT_LT(ring, 0.9) << "station " << j << " is out of reach";
            EXPECT_GT(ring, 0.3) << "station " << j << " is out of reach";
            EXPECT_TRUE(cross) << "station " << j << " is not crossed out";
        }
    }
    // The pointer leaves: nothing is marked.
    QTest::mouseMove(window.get(), QPoint(window->width() - 5, window->height() - 5));
    QApplication::processEvents();
    EXPECT_EQ(window->Drawing().Hovered(), -1);
    EXPECT_LT(stroked(Grab(), centre, reach), 0.05);
}

// A number box whose text is not taken as typed turns red with the model's
// warning; a good number clears it.  And the totals count what was dropped,
// each station's tooltip its own share.
TEST_F(LecturerWindow, InvalidNumbersTurnRedAndDroppedPacketsAreCounted) {
    Form1& f = Model();
    for (ComboBox* box : {&f.cmbNodes, &f.cmbOT, &f.cmbLength}) {
        QLineEdit* editor = window->ComboOf(*box)->lineEdit();
        const std::string plain = box->ToolTip;
        QTest::mouseClick(editor, Qt::LeftButton);
        editor->selectAll();
        QTest::keyClicks(editor, "abc");
        EXPECT_NE(box->ForeColor, SystemColourWindowText) << box->Text;
        EXPECT_EQ(editor->palette().color(QPalette::Text), ModelColour(box->ForeColor));
        EXPECT_EQ(window->ComboOf(*box)->toolTip().toStdString(), box->ToolTip);
        EXPECT_NE(box->ToolTip, plain); // it says what is used instead
        editor->selectAll();
        QTest::keyClicks(editor, "12");
        EXPECT_EQ(box->ForeColor, SystemColourWindowText);
        EXPECT_EQ(editor->palette().color(QPalette::Text), ModelColour(SystemColourWindowText));
        EXPECT_EQ(window->ComboOf(*box)->toolTip().toStdString(), plain);
        Press(Qt::Key_Escape);
    }

    f.UserPick(f.cmbScheme, "CSMA/CD");
    Busy("Bus", 3000);
    ASSERT_GT(f.TotalDropped, 0);
    EXPECT_EQ(window->LabelOf(f.lblTotalDropped)->text().trimmed().toLongLong(), f.TotalDropped);
    EXPECT_TRUE(window->LabelOf(f.lblTotalDropped)->isVisible());
    Long sum = 0;
    for (int i = 0; i < 24; ++i) {
        const std::string tip = window->ButtonOf(f.cmdNode[i])->toolTip().toStdString();
        const std::string says = ", " + std::to_string(f.StationDropped(i)) + " dropped";
        EXPECT_EQ(tip.substr(tip.size() - says.size()), says) << tip;
        sum += f.StationDropped(i);
    }
    EXPECT_EQ(sum, f.TotalDropped);
}

} // namespace
} // namespace maclab::qt
