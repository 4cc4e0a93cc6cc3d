// The real window, run headless on Qt's offscreen platform: what it shows at
// start-up, which handler each user action reaches, and what the tick paints.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "core/form1.h"
#include "core/view_colours.h"
#include "platform/qt/canvas.h"
#include "platform/qt/colours.h"
#include "platform/qt/main_window.h"
#include "platform/qt/ring_raster.h"
#include "platform/qt/station_table.h"
#include "support/recording_surface.h"

namespace maclab::qt {
namespace {

using testing::RecordingSurface;

QRect Pixels(const Control& c) {
    const auto px = [](float t) { return static_cast<int>(std::lround(t / TwipsPerPixel)); };
    return {px(c.Left), px(c.Top), px(c.Width), px(c.Height)};
}

// Records every drawing call of the model and passes it on to the window's canvas.
class Tap final : public Surface {
  public:
    explicit Tap(Surface& inner) : inner_(inner) {}
    void Clear() override {
        log.Clear();
        inner_.Clear();
    }
    void DrawRing(Long x, Long y, Integer size, Long colour) override {
        log.DrawRing(x, y, size, colour);
        inner_.DrawRing(x, y, size, colour);
    }
    void DrawBusSegment(Long x, Long y) override {
        log.DrawBusSegment(x, y);
        inner_.DrawBusSegment(x, y);
    }
    void Repaint(RepaintTarget t, int i) override {
        log.Repaint(t, i);
        inner_.Repaint(t, i);
    }
    RecordingSurface log;

  private:
    Surface& inner_;
};

// A started window without its own clock (the tests tick it), and a second,
// window-free Form1 that takes the same actions through the entry points
// directly: the window must have the same effect, no more and no less.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(false);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        tap = std::make_unique<Tap>(window->Drawing());
        window->Model().SetSurface(tap.get());
        reference.SetSurface(&referenceLog);
        reference.Form_Load();
        referenceLog.Reset();
    }
    void TearDown() override {
        window->Model().SetSurface(&window->Drawing());
        window.reset();
    }
    Form1& Model() { return window->Model(); }
    void Click(const Control& c) {
        QPushButton* button = window->ButtonOf(c);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Picks an entry from the open list of a box, with the keyboard.
    void PickFromList(const ComboBox& box, const QString& entry) {
        QComboBox* combo = window->ComboOf(box);
        const int row = combo->findText(entry);
        ASSERT_GE(row, 0);
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(row, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }
    // Number of network resets in a drawing log: every reset ends by clearing
    // the surface once more after clearing the stations.
    static std::size_t Clears(const RecordingSurface& log) {
        return log.Count(RecordingSurface::Kind::Clear);
    }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Tap> tap;
    Form1 reference;
    RecordingSurface referenceLog;
};

TEST_F(WindowTest, StartUpShowsTheModel) {
    EXPECT_EQ(window->size(), QSize(938, 672));
    EXPECT_TRUE(window->windowTitle().contains("maclab"));
    Form1& f = Model();
    for (const Control* c :
         {&f.Label14, &f.Label4, &f.Label1, &f.Label3, &f.Label13, &f.Label5, &f.Label6,
          &f.lblTotalTx, &f.Label7, &f.lblTotalRx, &f.Label8, &f.lblTotalQueued, &f.Label10,
          &f.lblUtilisation, &f.Label9, &f.Label12, &f.lblEfficiency, &f.Label11, &f.Label2}) {
        QLabel* label = window->LabelOf(*c);
        ASSERT_NE(label, nullptr) << c->Caption;
        EXPECT_EQ(label->geometry(), Pixels(*c)) << c->Caption;
        EXPECT_EQ(label->text().toStdString(), c->Caption);
        EXPECT_EQ(label->isVisibleTo(window.get()), c->Visible) << c->Caption;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), ModelColour(c->ForeColor));
        EXPECT_FALSE(label->autoFillBackground()) << c->Caption; // text only
        EXPECT_EQ(label->toolTip().toStdString(), c->ToolTip);
    }
    EXPECT_FALSE(window->LabelOf(f.Label2)->isVisibleTo(window.get()));
    EXPECT_EQ(window->LabelOf(f.lblTotalTx)->palette().color(QPalette::WindowText),
              QColor(0, 128, 0));
    EXPECT_EQ(window->LabelOf(f.Label13)->font().pixelSize(), 18); // 13.5 pt
    EXPECT_EQ(window->LabelOf(f.Label14)->font().pixelSize(), 24); // 18 pt
    // The stations' status is shown in the station table, hidden at start-up.
    EXPECT_FALSE(window->View().Table().isVisibleTo(window.get()));

    for (const Control* c : {&f.chkSpeed, &f.chkStatus, &f.chkReliable, &f.chkRandom,
                             &f.cmdStart[0], &f.cmdStart[1], &f.cmdPause}) {
        QPushButton* button = window->ButtonOf(*c);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), Pixels(*c)) << c->Caption;
        EXPECT_EQ(button->text().simplified().toStdString(), c->Caption);
        EXPECT_EQ(button->isVisibleTo(window.get()), c->Visible) << c->Caption;
        EXPECT_EQ(button->isChecked(), c->Value == 1) << c->Caption;
    }
    EXPECT_FALSE(window->ButtonOf(f.chkRandom)->isVisibleTo(window.get()));
    EXPECT_TRUE(window->ButtonOf(f.chkSpeed)->isCheckable());

    for (const ComboBox* box :
         {&f.cmbTopology, &f.cmbScheme, &f.cmbNodes, &f.cmbOT, &f.cmbLength}) {
        QComboBox* combo = window->ComboOf(*box);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->geometry(), Pixels(*box));
        EXPECT_TRUE(combo->isEditable());
        EXPECT_EQ(combo->completer(), nullptr);
        EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(combo->currentText().toStdString(), box->Text);
        ASSERT_EQ(combo->count(), static_cast<int>(box->List.size()));
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_EQ(combo->itemText(i).toStdString(), box->List[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(window->ComboOf(f.cmbOT)->currentText(), " 0.1");
    EXPECT_EQ(window->ComboOf(f.cmbNodes)->currentText(), " 7");

    for (int i = 0; i < StationControls; ++i) {
        QPushButton* node = window->ButtonOf(f.cmdNode[i]);
        EXPECT_EQ(node->isVisibleTo(window.get()), i < 7) << i;
        EXPECT_EQ(node->geometry(), Pixels(f.cmdNode[i]));
        EXPECT_EQ(node->palette().color(QPalette::Button), ModelColour(f.cmdNode[i].BackColor));
        if (i < 7) {
            EXPECT_EQ(f.cmdNode[i].BackColor, f.NodeTable[static_cast<size_t>(i)].AddressColour);
        }
        // No status text stands on the network: the station table shows them.
        EXPECT_EQ(window->WidgetOf(f.lblTxStatus[i]), nullptr);
    }
    // Nothing has been drawn on the medium: it shows silence, the panel its background.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(938, 672));
    EXPECT_EQ(shot.pixelColor(600, 400), ModelColour(f.Medium.BackColor));
    EXPECT_EQ(shot.pixelColor(900, 400), ModelColour(PanelColour));
}

TEST_F(WindowTest, ButtonsReachTheirHandlersOnce) {
    Form1& f = Model();
    Click(f.cmdStart[0]);
    EXPECT_EQ(f.cmdStart[0].Caption, "Stop");
    EXPECT_EQ(f.Running, VbTrue);
    EXPECT_EQ(window->ButtonOf(f.cmdStart[0])->text(), "Stop");

    Click(f.cmdNode[2]);
    EXPECT_EQ(f.TotalQueued, 1);
    EXPECT_EQ(f.NodeTable[2].QueueCount, 1);
    Click(f.cmdNode[2]);
    EXPECT_EQ(f.TotalQueued, 2);

    Click(f.cmdPause);
    EXPECT_EQ(f.cmdPause.Caption, "Cont");
    EXPECT_FALSE(f.Timer1.Enabled);
    EXPECT_EQ(window->ButtonOf(f.cmdPause)->text(), "Cont");
    // Paused, a tick of the clock does nothing.
    const Long ticks = f.TickCount;
    window->Tick();
    EXPECT_EQ(f.TickCount, ticks);
    Click(f.cmdPause);
    EXPECT_TRUE(f.Timer1.Enabled);

    Click(f.cmdStart[0]); // Stop: no reset
    EXPECT_EQ(f.cmdStart[0].Caption, "Start");
    EXPECT_EQ(f.Running, VbFalse);
    EXPECT_EQ(f.TotalQueued, 2);
    tap->log.Reset();
    Click(f.cmdStart[1]); // Reset
    EXPECT_EQ(f.TotalQueued, 0);
    EXPECT_EQ(window->LabelOf(f.lblTotalQueued)->text(), "0");
    reference.cmdStart_Click(1);
    EXPECT_EQ(Clears(tap->log), Clears(referenceLog));
}

TEST_F(WindowTest, TogglesFlipOnceAndStayPressed) {
    Form1& f = Model();
    Click(f.chkSpeed);
    EXPECT_EQ(f.chkSpeed.Value, 1);
    EXPECT_EQ(f.chkSpeed.Caption, "Fast");
    EXPECT_EQ(f.Timer1.Interval, 10);
    EXPECT_TRUE(window->ButtonOf(f.chkSpeed)->isChecked());
    EXPECT_EQ(window->ButtonOf(f.chkSpeed)->text(), "Fast");
    Click(f.chkSpeed);
    EXPECT_EQ(f.chkSpeed.Caption, "Slow");
    EXPECT_EQ(f.Timer1.Interval, 200);
    EXPECT_FALSE(window->ButtonOf(f.chkSpeed)->isChecked());

    Click(f.chkReliable);
    EXPECT_EQ(f.chkReliable.Caption, "Reliable");
    EXPECT_TRUE(window->ButtonOf(f.chkRandom)->isVisibleTo(window.get()));
    EXPECT_EQ(window->ButtonOf(f.chkRandom)->text().simplified(), "Random Backoff");
    EXPECT_TRUE(window->ButtonOf(f.chkRandom)->isChecked());
    Click(f.chkRandom);
    EXPECT_EQ(f.chkRandom.Value, 0);
    EXPECT_EQ(window->ButtonOf(f.chkRandom)->text().simplified(), "Constant Backoff");

    Click(f.chkStatus);
    EXPECT_EQ(f.chkStatus.Caption, "Hide Status");
    EXPECT_TRUE(window->View().Table().isVisibleTo(window.get()));
    EXPECT_EQ(window->View().Table().Rows(), 7);
    Click(f.chkStatus);
    EXPECT_FALSE(window->View().Table().isVisibleTo(window.get()));
}

TEST_F(WindowTest, TypingRunsTheTextChangeHandlerAtEveryKeystroke) {
    Form1& f = Model();
    Click(f.cmdNode[0]);
    ASSERT_EQ(f.TotalQueued, 1);
    QLineEdit* editor = window->ComboOf(f.cmbNodes)->lineEdit();
    editor->setFocus();
    editor->selectAll();

    tap->log.Reset();
    QTest::keyClick(editor, Qt::Key_1); // " 7" selected, replaced by "1"
    reference.UserEdit(reference.cmbNodes, "1");
    EXPECT_EQ(f.cmbNodes.Text, "1");
    EXPECT_EQ(f.NodeCount, 0); // one station is no network
    EXPECT_EQ(f.TotalQueued, 0);
    EXPECT_EQ(Clears(tap->log), Clears(referenceLog));

    tap->log.Reset();
    referenceLog.Reset();
    QTest::keyClick(editor, Qt::Key_2);
    reference.UserEdit(reference.cmbNodes, "12");
    EXPECT_EQ(f.cmbNodes.Text, "12");
    EXPECT_EQ(f.NodeCount, 12);
    EXPECT_EQ(Clears(tap->log), Clears(referenceLog));
    EXPECT_TRUE(window->ButtonOf(f.cmdNode[11])->isVisibleTo(window.get()));
    EXPECT_EQ(editor->text(), "12");

    // Typing a list entry and then pressing Return or leaving the box is not a pick.
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, " 7");
    EXPECT_EQ(f.NodeCount, 7);
    tap->log.Reset();
    QTest::keyClick(editor, Qt::Key_Return);
    Click(f.cmdNode[0]); // takes the focus from the box
    EXPECT_FALSE(editor->hasFocus());
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Enter);
    window->ComboOf(f.cmbScheme)->lineEdit()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(f.TotalQueued, 1);
    EXPECT_EQ(Clears(tap->log), 0u);

    // Typing works for every scheme; a typed text is never added to the list.
    QLineEdit* scheme = window->ComboOf(f.cmbScheme)->lineEdit();
    scheme->selectAll();
    QTest::keyClicks(scheme, "CSMA/CD + R");
    EXPECT_EQ(f.Settings.CurrentScheme, Scheme::CsmaCdR);
    QTest::keyClicks(scheme, "x");
    EXPECT_EQ(f.Settings.CurrentScheme, Scheme::Other);
    QTest::keyClick(scheme, Qt::Key_Return);
    EXPECT_EQ(window->ComboOf(f.cmbScheme)->count(), 8);
}

TEST_F(WindowTest, PickingRunsOnlyTheListPickHandler) {
    Form1& f = Model();
    Click(f.cmdNode[0]);
    // Picking the node count in use still resets the network, once.
    tap->log.Reset();
    PickFromList(f.cmbNodes, " 7");
    reference.UserPick(reference.cmbNodes, " 7");
    EXPECT_EQ(f.TotalQueued, 0);
    EXPECT_EQ(Clears(tap->log), Clears(referenceLog));
    EXPECT_GT(Clears(tap->log), 0u);

    // Picking the topology in use does nothing at all.
    tap->log.Reset();
    Click(f.cmdNode[0]);
    PickFromList(f.cmbTopology, "Star");
    EXPECT_EQ(f.TotalQueued, 1);
    EXPECT_EQ(Clears(tap->log), 0u);

    // Another topology: the pick handler runs the change handler, once.
    referenceLog.Reset();
    PickFromList(f.cmbTopology, "Ring");
    reference.UserPick(reference.cmbTopology, "Ring");
    EXPECT_EQ(f.Topology, TopoRing);
    EXPECT_EQ(window->ComboOf(f.cmbTopology)->currentText(), "Ring");
    EXPECT_EQ(Clears(tap->log), Clears(referenceLog));

    // Offered traffic has no handler; the tick reads the text.
    PickFromList(f.cmbOT, "2.0");
    EXPECT_EQ(f.cmbOT.Text, "2.0");
    PickFromList(f.cmbLength, " 50");
    EXPECT_EQ(f.PacketLength, 50);
}

// Points on a ring of the given size around a cell, in window pixels, that no
// widget or station shape covers.
std::vector<QPoint> OpenRingPoints(MainWindow& w, Long x, Long y, int radius) {
    std::vector<QRect> covered;
    for (QWidget* child : w.Drawing().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible()) covered.push_back(child->geometry());
    const Form1& f = w.Model();
    for (const Control* c : {&f.Shape1, &f.Shape4[0], &f.Shape4[1]})
        if (c->Visible) covered.push_back(Pixels(*c).adjusted(-4, -4, 4, 4));
    for (const Control& shape : f.shpNode)
        if (shape.Visible) covered.push_back(Pixels(shape).adjusted(-1, -1, 1, 1));
    std::vector<QPoint> points;
    for (int a = 0; a < 360; a += 10) {
        const double t = a * M_PI / 180;
        const QPoint p(static_cast<int>(std::lround(x / TwipsPerPixel)) +
                           static_cast<int>(std::lround(radius * std::cos(t))),
                       static_cast<int>(std::lround(y / TwipsPerPixel)) +
                           static_cast<int>(std::lround(radius * std::sin(t))));
        bool hidden = false;
        for (const QRect& r : covered) hidden = hidden || r.contains(p);
        if (!hidden && QRect(0, 0, 938, 672).contains(p)) points.push_back(p);
    }
    return points;
}

TEST_F(WindowTest, TicksPaintRingsWhereTheModelDrewThem) {
    Form1& f = Model();
    Click(f.cmdNode[0]);
    // Run until the frame is on the spoke, then compare the grab with the model.
    int lit = 0;
    for (int t = 0; t < 40 && lit < 4; ++t) {
        window->Tick();
        lit = 0;
        for (int k = 0; k < f.PathLength; ++k) lit += f.NodeTable[0].CellShown[k] != f.BackColour;
    }
    ASSERT_GE(lit, 4);
    QApplication::processEvents();
    QImage shot = window->grab().toImage();
    const Node& s = f.NodeTable[0];
    for (int k = 0; k < f.PathLength; ++k) {
        const Long shown = s.CellShown[k];
        const QColor want = ModelColour(shown == f.BackColour ? f.Medium.BackColor : shown);
        // The middle two of the four circles: a rounded sample point stays in the band.
        for (const int radius : {int{s.CellSize[k]}, s.CellSize[k] + 1}) {
            const auto points = OpenRingPoints(*window, s.CellX[k], s.CellY[k], radius);
            ASSERT_GT(points.size(), 8u);
            int same = 0;
            for (const QPoint& p : points) same += shot.pixelColor(p) == want;
            // Drop lines cross the rings of a spoke at two points.
            EXPECT_GE(same, static_cast<int>(points.size()) - 4) << "cell " << k;
        }
    }
    // Once the frame has passed, its rings are erased.
    const Long address = s.AddressColour;
    for (int t = 0; t < 200; ++t) window->Tick();
    QApplication::processEvents();
    shot = window->grab().toImage();
    for (int k = 0; k < f.PathLength; ++k) {
        ASSERT_EQ(s.CellShown[k], f.BackColour);
        for (const QPoint& p : OpenRingPoints(*window, s.CellX[k], s.CellY[k], s.CellSize[k]))
            EXPECT_NE(shot.pixelColor(p), ModelColour(address)) << "cell " << k;
    }
}

TEST_F(WindowTest, AnIdleNetworkPaintsOnlyTheTickCounter) {
    // The station shapes fade their borders during the first ticks after a reset.
    for (int t = 0; t < 10; ++t) window->Tick();
    QApplication::processEvents();
    window->Drawing().ForgetPainted();
    for (int t = 0; t < 50; ++t) {
        window->Tick();
        QApplication::processEvents();
    }
    EXPECT_EQ(window->LabelOf(Model().lblTick)->text(), "Tick 60");
    // The tick counter and the session's timeline, which moves with it.
    const QRect counter =
        window->LabelOf(Model().lblTick)->geometry().united(window->Timeline().geometry());
    EXPECT_FALSE(window->Drawing().Painted().isEmpty());
    EXPECT_TRUE(counter.contains(window->Drawing().Painted()))
        << "painted beyond the tick counter: " << window->Drawing().Painted().x() << ","
        << window->Drawing().Painted().y();
}

// The persistent image is painted at the screen's density: the four circles of
// a ring cover exactly the device pixels between radius size - 1.5 and size + 2.5
// logical pixels, and the grab shows them.
TEST_F(WindowTest, RingsAreCrispAtTheScreenDensity) {
    Canvas& canvas = window->Drawing();
    const Long x = 8400, y = 9000; // an empty spot at the bottom: (560, 600)
    const Integer size = 20;
    canvas.DrawRing(x, y, size, RGB(255, 0, 0));
    canvas.Flush();
    const QImage& image = canvas.Image();
    const double ratio = image.devicePixelRatio();
    EXPECT_EQ(image.width(), static_cast<int>(std::ceil(938 * ratio)));
    const int cx = static_cast<int>(std::lround(560 * ratio)),
              cy = static_cast<int>(std::lround(600 * ratio));
    const double inner = (size - 1.5) * ratio, outer = (size + 2.5) * ratio;
    const int reach = static_cast<int>(outer) + 2;
    int wrong = 0;
    for (int py = cy - reach; py <= cy + reach; ++py)
        for (int px = cx - reach; px <= cx + reach; ++px) {
            const double d2 = double(px - cx) * (px - cx) + double(py - cy) * (py - cy);
            const bool inBand = d2 >= inner * inner && d2 < outer * outer;
            wrong += (image.pixel(px, py) == qRgb(255, 0, 0)) != inBand;
        }
    EXPECT_EQ(wrong, 0);
    QApplication::processEvents();
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.width(), static_cast<int>(std::lround(938 * ratio)));
    EXPECT_EQ(shot.pixelColor(static_cast<int>(std::lround((560 + size) * ratio)), cy),
              QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(cx, cy), ModelColour(Model().Medium.BackColor));
}

TEST(RingRaster, BandIsExactAndClipped) {
    constexpr int W = 420, H = 300;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(W * H), 0);
    const PixelBuffer buffer{pixels.data(), W, H, W};
    for (int size : {11, 30, 190}) {
        std::fill(pixels.begin(), pixels.end(), 0);
        FillAnnulus(buffer, 200, 150, size - 1.5, size + 2.5, 1);
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const double d2 = double(x - 200) * (x - 200) + double(y - 150) * (y - 150);
                const bool in =
                    d2 >= (size - 1.5) * (size - 1.5) && d2 < (size + 2.5) * (size + 2.5);
                wrong += (pixels[static_cast<size_t>(y * W + x)] == 1) != in;
            }
        EXPECT_EQ(wrong, 0) << size;
    }
    // Centres outside the buffer, partly or wholly: only pixels inside are touched
    // (the sanitizers check the writes).
    std::fill(pixels.begin(), pixels.end(), 0);
    FillAnnulus(buffer, -100, -50, 188.5, 192.5, 1);
    FillAnnulus(buffer, W + 150, H / 2, 188.5, 192.5, 1);
    FillAnnulus(buffer, 10000, 10000, 188.5, 192.5, 2);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 2u), 0);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), 1u), 0);
    FillBox(buffer, -10, -10, 5, 3, 3);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 3u), 15);
}

TEST(WindowClock, DrivesTheTickAtTheModelsInterval) {
    MainWindow window; // with its own clock
    window.show();
    Form1& f = window.Model();
    EXPECT_TRUE(window.Clock().isActive());
    EXPECT_EQ(window.Clock().interval(), 100);
    EXPECT_EQ(window.Clock().timerType(), Qt::PreciseTimer);
    QTest::mouseClick(window.ButtonOf(f.chkSpeed), Qt::LeftButton);
    EXPECT_EQ(window.Clock().interval(), 10);
    const Long before = f.TickCount;
    QTest::qWait(300);
    EXPECT_GT(f.TickCount, before);
    QTest::mouseClick(window.ButtonOf(f.cmdPause), Qt::LeftButton);
    EXPECT_FALSE(window.Clock().isActive());
    const Long paused = f.TickCount;
    QTest::qWait(50);
    EXPECT_EQ(f.TickCount, paused);
}

} // namespace
} // namespace maclab::qt

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
