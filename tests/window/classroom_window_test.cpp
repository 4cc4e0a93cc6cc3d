// The window as a class sees it, measured on grabbed pixels: every symbol
// stands out from silence, the status texts leave the rings under them
// visible, the picture scales with the window; and as a lecturer works it:
// Step, the keys, the wheel, tooltips, the legend and the warning on a
// scheme text that names no scheme.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "core/form1.h"
#include "core/view_colours.h"
#include "platform/qt/canvas.h"
#include "platform/qt/colours.h"
#include "platform/qt/main_window.h"

namespace maclab::qt {
namespace {

Long Packed(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// A shown window without its own clock, and a window-free Form1 that takes
// the same actions through the entry points: the window must do what it does.
class ClassroomWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(false);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        reference.Form_Load();
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
    // A key pressed with the keyboard wherever it has the focus now.
    void Press(Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : window.get(), key);
    }
    // Where a point of the form (twips) shows in a grab of the window.
    QPoint At(double x, double y) {
        const Canvas& c = window->Drawing();
        return c.pos() + QPoint(static_cast<int>(std::lround(x / TwipsPerPixel * c.Scale())),
                                static_cast<int>(std::lround(y / TwipsPerPixel * c.Scale())));
    }

    std::unique_ptr<MainWindow> window;
    Form1 reference;
};

// Every colour that travels on the medium, drawn as a ring on an empty part of
// it, against the silence around it: 2 : 1 or more for the marker greys, white
// and every station's data tint, 4.5 : 1 for black; and every text of the panel
// against the pixels behind it, 4.5 : 1.
TEST_F(ClassroomWindow, EverySymbolStandsOutFromSilenceInTheGrab) {
    Form1& f = Model();
    f.UserPick(f.cmbNodes, " 24");
    window->Sync();
    struct Symbol {
        std::string name;
        Long colour;
        double least;
    };
    std::vector<Symbol> symbols = {
        {"white", f.ColourWhite, 2},      {"grey 192", f.ColourGrey192, 2},
        {"grey 224", f.ColourGrey224, 2}, {"grey 240", f.ColourGrey240, 2},
        {"grey 248", f.ColourGrey248, 2}, {"black", EndMarker, 4.5},
        {"red", CollisionColour, 0}};
    // (Red and the stations' own colours differ from silence in hue rather
    // than in lightness; their pixels are checked, not their contrast.)
    for (int i = 0; i < StationControls; ++i) {
        symbols.push_back({"data " + std::to_string(i), f.NodeTable[i].DataColour, 2});
        symbols.push_back({"address " + std::to_string(i), f.NodeTable[i].AddressColour, 0});
    }
    // Bottom left of the Star: no station, spoke or label there.
    const Long x = 900, y = 9100;
    for (const Symbol& s : symbols) {
        window->Drawing().DrawRing(x, y, 8, s.colour);
        window->Drawing().Flush();
        const QImage shot = Grab();
        const Long ring = Packed(shot.pixelColor(At(x + 8 * TwipsPerPixel, y)));
        const Long silence = Packed(shot.pixelColor(At(x + 20 * TwipsPerPixel, y)));
        const Long centre = Packed(shot.pixelColor(At(x, y)));
        EXPECT_EQ(ring, s.colour == f.BackColour ? f.Medium.BackColor : s.colour) << s.name;
        EXPECT_EQ(silence, f.Medium.BackColor) << s.name;
        EXPECT_EQ(centre, f.Medium.BackColor) << s.name;
        if (s.least > 0) {
            EXPECT_GE(ContrastRatio(ring, silence), s.least) << s.name;
        }
    }
    // Silence itself is none of the symbols.
    for (const Symbol& s : symbols) EXPECT_NE(s.colour, f.BackColour) << s.name;

    // Texts: each label's colour against what lies behind it, the drawing
    // under every control (the panel's colour or silence).
    f.cmdStart_Click(1);
    f.UserToggle(f.chkStatus);
    window->Sync();
    Grab();
    const QImage& drawing = window->Drawing().Image();
    const qreal density = drawing.devicePixelRatio();
    int texts = 0;
    for (const ControlEntry& e : f.Controls()) {
        if (e.Type != ControlEntry::Kind::Label || !e.Model->Visible) continue;
        const QLabel* label = window->LabelOf(*e.Model);
        // The colour behind most of the label (a spoke may cross a few pixels of it).
        const QRect r = label->geometry();
        std::map<Long, int> seen;
        for (int y = r.top(); y <= r.bottom(); y += 2)
            for (int x = r.left(); x <= r.right(); x += 2)
                ++seen[Packed(drawing.pixelColor(QPoint(x, y) * density))];
        const auto most = std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) {
                              return a.second < b.second;
                          })->first;
        EXPECT_GE(ContrastRatio(Packed(label->palette().color(QPalette::WindowText)), most), 4.5)
            << e.Name << " " << e.Index;
        ++texts;
    }
    EXPECT_GT(texts, 80); // the panel's and the status texts of 24 stations
}

// A status text is drawn as text only: a ring passing under it shows between
// its letters.
TEST_F(ClassroomWindow, RingsShowUnderTheStatusTexts) {
    Form1& f = Model();
    Click(f.chkStatus);
    ASSERT_TRUE(window->LabelOf(f.lblTxStatus[3])->isVisible());
    int checked = 0;
    for (const Control* label : {&f.lblTxStatus[3], &f.lblRxStatus[3], &f.lblQueued[3]}) {
        const float cx = label->Left + label->Width / 2, cy = label->Top + label->Height / 2;
        window->Drawing().DrawRing(static_cast<Long>(cx), static_cast<Long>(cy), 4,
                                   CollisionColour);
        window->Drawing().Flush();
        const QImage shot = Grab();
        // The band of the ring: radius 2.5 to 6.5 pixels around the centre.
        const QPoint c = At(cx, cy);
        int band = 0, red = 0;
        for (int dy = -7; dy <= 7; ++dy)
            for (int dx = -7; dx <= 7; ++dx) {
                const double d2 = dx * dx + dy * dy;
                if (d2 < 3 * 3 || d2 >= 6 * 6) continue;
                ++band;
                red += shot.pixelColor(c + QPoint(dx, dy)) == QColor(255, 0, 0);
            }
        // The letters cover a few of the band's pixels at most.
        EXPECT_GT(red, band * 6 / 10) << label->Caption << ": " << red << " of " << band;
        ++checked;
    }
    EXPECT_EQ(checked, 3);
}

// At twice the size every ring is at twice its place and twice its size, in
// device pixels drawn afresh (no stretched picture: the band stays 4 pixels
// wide at 1x and 8 at 2x), and every control is shown whole at twice its place.
TEST_F(ClassroomWindow, TwiceTheSizeShowsEverythingAtTwiceItsPlace) {
    Form1& f = Model();
    Click(f.cmdNode[1]);
    for (int t = 0; t < 12; ++t) window->Tick();
    const Node& s = f.NodeTable[1];
    std::vector<int> lit;
    for (int k = 0; k < f.PathLength; ++k)
        if (s.CellShown[k] != f.BackColour) lit.push_back(k);
    ASSERT_GE(lit.size(), 3u);
    std::vector<std::pair<QWidget*, QRect>> controls;
    for (QWidget* w : window->Drawing().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible()) controls.emplace_back(w, w->geometry());
    ASSERT_GT(controls.size(), 30u);

    // The band of a ring of size n covers radius n - 1.5 .. n + 2.5 at scale 1.
    const auto bandOnRow = [&](const QImage& shot, int k, double scale) {
        const QPoint c = At(s.CellX[k], s.CellY[k]);
        const QColor want = ModelColour(s.CellShown[k]);
        int count = 0;
        for (int dx = 0; dx < static_cast<int>((s.CellSize[k] + 6) * scale); ++dx)
            count += shot.pixelColor(c + QPoint(dx, 0)) == want;
        return count;
    };
    QImage shot = Grab();
    std::vector<int> before;
    for (int k : lit) before.push_back(bandOnRow(shot, k, 1));

    window->resize(2 * 938, 2 * 672);
    shot = Grab();
    EXPECT_EQ(window->Drawing().Scale(), 2.0);
    EXPECT_EQ(window->Drawing().pos(), QPoint(0, 0));
    EXPECT_EQ(shot.size(), QSize(2 * 938, 2 * 672));
    for (size_t j = 0; j < lit.size(); ++j) {
        const int k = lit[j];
        EXPECT_GE(before[j], 3) << "cell " << k;
        EXPECT_NEAR(bandOnRow(shot, k, 2), 2 * before[j], 1) << "cell " << k;
        // At twice the radius, not at the old one.
        const QPoint c = At(s.CellX[k], s.CellY[k]);
        EXPECT_EQ(shot.pixelColor(c + QPoint(2 * s.CellSize[k], 0)), ModelColour(s.CellShown[k]));
    }
    const QRect whole = window->rect();
    for (const auto& [w, was] : controls) {
        const QRect now = w->geometry().translated(window->Drawing().pos());
        EXPECT_TRUE(whole.contains(now)) << w->metaObject()->className();
        EXPECT_NEAR(now.left(), 2 * was.left(), 1);
        EXPECT_NEAR(now.top(), 2 * was.top(), 1);
        EXPECT_NEAR(now.width(), 2 * was.width(), 2);
        EXPECT_NEAR(now.height(), 2 * was.height(), 2);
    }
    // Texts grow with their boxes.
    EXPECT_EQ(window->LabelOf(f.Label14)->font().pixelSize(), 48);
    EXPECT_EQ(window->ButtonOf(f.cmdStart[0])->font().pixelSize(), 48);

    // A wider window keeps the proportions: the picture is centred, bars beside it.
    window->resize(3 * 938, 2 * 672);
    shot = Grab();
    EXPECT_EQ(window->Drawing().Scale(), 2.0);
    EXPECT_EQ(window->Drawing().pos(), QPoint(469, 0));
    EXPECT_EQ(shot.pixelColor(200, 600), ModelColour(PanelColour));
    // Back to the form's size: the rings are where they were.
    window->resize(938, 672);
    shot = Grab();
    for (size_t j = 0; j < lit.size(); ++j) EXPECT_EQ(bandOnRow(shot, lit[j], 1), before[j]);
}

TEST_F(ClassroomWindow, FullScreenWithF11AndEscLeaves) {
    EXPECT_FALSE(window->isFullScreen());
    Press(Qt::Key_F11);
    EXPECT_TRUE(window->windowState() & Qt::WindowFullScreen);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(window->windowState() & Qt::WindowFullScreen);
    Press(Qt::Key_F11);
    Press(Qt::Key_F11);
    EXPECT_FALSE(window->windowState() & Qt::WindowFullScreen);
}

// Step is there only while paused, and runs one tick: exactly what one tick
// of the clock does to the window-free twin.
TEST_F(ClassroomWindow, StepWhilePausedRunsExactlyOneTick) {
    Form1& f = Model();
    EXPECT_FALSE(window->ButtonOf(f.cmdStep)->isVisible());
    Click(f.cmdStart[0]);
    reference.cmdStart_Click(0);
    Click(f.cmdNode[2]);
    reference.cmdNode_Click(2);
    Click(f.cmdPause);
    reference.cmdPause_Click();
    ASSERT_TRUE(window->ButtonOf(f.cmdStep)->isVisible());
    for (int n = 1; n <= 15; ++n) {
        Click(f.cmdStep);
        reference.Timer1_Timer();
        ASSERT_EQ(f.TickCount, n);
        EXPECT_EQ(f.TotalQueued, reference.TotalQueued);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(f.NodeTable[i].TxState, reference.NodeTable[i].TxState) << n;
            EXPECT_EQ(f.NodeTable[i].Heard, reference.NodeTable[i].Heard) << n;
        }
    }
    EXPECT_EQ(window->LabelOf(f.lblTick)->text(), "Tick 15");
    // The clock stays paused; Cont hides Step again.
    window->Tick();
    EXPECT_EQ(f.TickCount, 15);
    Click(f.cmdPause);
    EXPECT_FALSE(window->ButtonOf(f.cmdStep)->isVisible());
}

// Each key works its control once, as a click would, whatever button was
// clicked last; none works while a box has the keyboard, where it types.
TEST_F(ClassroomWindow, KeysWorkTheirControlsOnceAndNeverWhileTyping) {
    Form1& f = Model();
    Click(f.cmdStart[0]); // the Start button now has the focus
    ASSERT_EQ(f.Running, VbTrue);
    Press(Qt::Key_Space); // Pause, not Start again
    EXPECT_EQ(f.Running, VbTrue);
    EXPECT_FALSE(f.Timer1.Enabled);
    EXPECT_EQ(f.cmdPause.Caption, "Cont");
    Press(Qt::Key_Right);
    Press(Qt::Key_Right);
    EXPECT_EQ(f.TickCount, 2);
    Press(Qt::Key_Space);
    EXPECT_TRUE(f.Timer1.Enabled);
    Press(Qt::Key_Right); // Step is hidden while the clock runs
    EXPECT_EQ(f.TickCount, 2);
    Press(Qt::Key_F);
    EXPECT_EQ(f.chkSpeed.Caption, "Fast");
    EXPECT_TRUE(window->ButtonOf(f.chkSpeed)->isChecked());
    Press(Qt::Key_L);
    EXPECT_TRUE(f.shpLegend[0].Visible);
    Press(Qt::Key_S);
    EXPECT_EQ(f.Running, VbFalse);
    Click(f.cmdNode[0]);
    Press(Qt::Key_R);
    EXPECT_EQ(f.TotalQueued, 0);
    EXPECT_EQ(f.TickCount, 0);

    // In a box, the keys type: only the box's text changes (the offered
    // traffic box has no handler).
    QLineEdit* editor = window->ComboOf(f.cmbOT)->lineEdit();
    QTest::mouseClick(editor, Qt::LeftButton);
    ASSERT_TRUE(window->Typing());
    Click(f.cmdPause);
    ASSERT_FALSE(window->Typing()); // a click on a button ends typing
    QTest::mouseClick(editor, Qt::LeftButton);
    editor->selectAll();
    const Control speed = f.chkSpeed, legend = f.chkLegend, pause = f.cmdPause;
    for (Qt::Key key :
         {Qt::Key_S, Qt::Key_Space, Qt::Key_R, Qt::Key_F, Qt::Key_L, Qt::Key_Right, Qt::Key_F11})
        Press(key);
    EXPECT_EQ(f.cmbOT.Text, "s rfl");
    EXPECT_EQ(f.Running, VbFalse);
    EXPECT_FALSE(f.Timer1.Enabled);
    EXPECT_EQ(f.TickCount, 0);
    EXPECT_EQ(f.chkSpeed.Value, speed.Value);
    EXPECT_EQ(f.chkLegend.Value, legend.Value);
    EXPECT_EQ(f.cmdPause.Caption, pause.Caption);
    EXPECT_FALSE(window->isFullScreen());
    // Esc ends typing; the keys work again.
    Press(Qt::Key_Escape);
    EXPECT_FALSE(window->Typing());
    Press(Qt::Key_Right);
    EXPECT_EQ(f.TickCount, 1);
}

// The wheel over a box that does not have the keyboard changes nothing; with
// the keyboard it picks, as the keys would.
TEST_F(ClassroomWindow, WheelOverAnUnfocusedBoxChangesNothing) {
    Form1& f = Model();
    Click(f.cmdNode[0]);
    const auto wheel = [](QWidget* target) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    for (ComboBox* box : {&f.cmbNodes, &f.cmbTopology, &f.cmbScheme, &f.cmbOT, &f.cmbLength}) {
        QComboBox* combo = window->ComboOf(*box);
        const std::string text = box->Text;
        wheel(combo);
        wheel(combo->lineEdit());
        EXPECT_EQ(box->Text, text);
        EXPECT_EQ(combo->currentText().toStdString(), text);
        EXPECT_FALSE(combo->hasFocus());
    }
    EXPECT_EQ(f.TotalQueued, 1); // no reset
    EXPECT_EQ(f.Topology, TopoStar);

    QComboBox* nodes = window->ComboOf(f.cmbNodes);
    nodes->setFocus();
    wheel(nodes);
    EXPECT_NE(f.cmbNodes.Text, " 7");
    EXPECT_EQ(f.TotalQueued, 0);
}

TEST_F(ClassroomWindow, TooltipsLegendAndTheUnknownScheme) {
    Form1& f = Model();
    // Every widget says what its control says.
    for (const ControlEntry& e : f.Controls()) {
        QWidget* w = window->WidgetOf(*e.Model);
        if (w == nullptr) continue;
        EXPECT_FALSE(e.Model->ToolTip.empty()) << e.Name;
        EXPECT_EQ(w->toolTip().toStdString(), e.Model->ToolTip) << e.Name << " " << e.Index;
    }
    // A station's tooltip follows its state, on its button and on its shape.
    Click(f.cmdNode[4]);
    Click(f.cmdNode[4]);
    EXPECT_TRUE(window->ButtonOf(f.cmdNode[4])->toolTip().contains("Station 4"));
    EXPECT_TRUE(window->ButtonOf(f.cmdNode[4])->toolTip().contains("2 queued"));
    const Control& shape = f.shpNode[4];
    const QPoint edge = At(shape.Left + shape.Width / 2, shape.Top + 60) - window->Drawing().pos();
    QHelpEvent help(QEvent::ToolTip, edge, window->Drawing().mapToGlobal(edge));
    QApplication::sendEvent(&window->Drawing(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), f.shpNode[4].ToolTip);

    // The legend is painted, its swatches in the medium's colours.
    QImage shot = Grab();
    const Control& swatch = f.shpLegend[0];
    const QPoint middle = At(swatch.Left + swatch.Width / 2, swatch.Top + swatch.Height / 2);
    EXPECT_EQ(shot.pixelColor(middle), ModelColour(PanelColour));
    Click(f.chkLegend);
    shot = Grab();
    for (int k = 0; k < LegendRows; ++k) {
        const Control& s = f.shpLegend[k];
        EXPECT_EQ(shot.pixelColor(At(s.Left + s.Width / 2, s.Top + s.Height / 2)),
                  ModelColour(s.FillColor))
            << k;
        EXPECT_TRUE(window->LabelOf(f.lblLegend[k])->isVisible());
    }
    EXPECT_EQ(f.shpLegend[LegendRows - 1].FillColor, f.Medium.BackColor);

    // A scheme text that names no scheme is red, with a warning; it takes effect.
    QLineEdit* scheme = window->ComboOf(f.cmbScheme)->lineEdit();
    QTest::mouseClick(scheme, Qt::LeftButton);
    scheme->selectAll();
    QTest::keyClicks(scheme, "ALOHAx");
    EXPECT_EQ(scheme->palette().color(QPalette::Text), ModelColour(NoSchemeColour));
    EXPECT_TRUE(window->ComboOf(f.cmbScheme)->toolTip().contains("never send"));
    QTest::keyClick(scheme, Qt::Key_Backspace);
    EXPECT_EQ(f.Settings.CurrentScheme, Scheme::Aloha);
    EXPECT_NE(scheme->palette().color(QPalette::Text), ModelColour(NoSchemeColour));
    // The listed CSMA/CD + R is picked as every other entry.
    EXPECT_GE(window->ComboOf(f.cmbScheme)->findText("CSMA/CD + R"), 0);
}

} // namespace
} // namespace maclab::qt
