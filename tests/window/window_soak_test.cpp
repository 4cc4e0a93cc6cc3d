// The real window under a long random session: clicks on whatever button is
// shown, typing into the boxes (junk included), keys wherever the focus is,
// the wheel over the boxes, tooltips, resizes and full screen, interleaved
// with ticks.  After every event and every tick the model's state must stay
// sound and every packet accounted for (support/soak_audit.h), and now and
// then the widgets must show what the model says.  At the end the window must
// still run a network: nothing is stuck.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "core/form1.h"
#include "platform/qt/canvas.h"
#include "platform/qt/main_window.h"
#include "support/soak_audit.h"
#include "support/soak_texts.h"

namespace maclab::qt {
namespace {

class WindowSoak {
  public:
    WindowSoak(MainWindow& window, unsigned seed)
        : window_(window), form_(window.Model()), choose_(seed), audit_(form_) {
        // Every button but the two that open a file dialog (a person, not a
        // random click, chooses a file) and Back.
        for (QPushButton* b : window.Drawing().findChildren<QPushButton*>())
            if (b != &window.SaveButton() && b != &window.OpenButton() &&
                b != window.ButtonOf(window.Model().cmdBack))
                buttons_.push_back(b);
        // (Going back, which the audit below cannot follow, has tests of its own.)
        for (QComboBox* c : window.Drawing().findChildren<QComboBox*>()) boxes_.push_back(c);
        audit_.Start("start-up");
    }

    void Run(int events) {
        for (int e = 0; e < events && !::testing::Test::HasFatalFailure(); ++e) {
            // Mostly a tick or two between events; now and then the class
            // watches a frame or two go by.
            const int ticks = Uniform(0, 99) < 2 ? Uniform(20, 60) : Uniform(0, 2);
            for (int t = ticks; t > 0 && !::testing::Test::HasFatalFailure(); --t) Tick();
            Event();
            // Let Qt paint and deliver what the events posted, now and then.
            if (e % 64 == 0) QApplication::processEvents();
            if (e % 256 == 0) CheckWidgets();
            ++events_;
        }
    }

    long long Events() const { return events_; }
    long long Ticks() const { return ticks_; }
    long long Arrivals() const { return audit_.Arrivals(); }
    long long Departures() const { return audit_.Departures(); }
    long long Resizes() const { return resizes_; }
    long long Resets() const { return resets_; }

  private:
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(choose_); }
    template <typename T> T* Any(const std::vector<T*>& from) {
        return from.empty() ? nullptr : from[Uniform(0, static_cast<int>(from.size()) - 1)];
    }

    void Tick() {
        audit_.Before();
        const bool running = form_.Running != 0, ticking = form_.Timer1.Enabled;
        window_.Tick();
        ticks_ += ticking;
        audit_.After("tick", ticking, running);
    }

    void Event() {
        audit_.Before();
        const bool running = form_.Running != 0;
        const Long tick = form_.TickCount;
        const std::int64_t queued = form_.TotalQueued;
        const char* what = Act();
        // Step (its button or its key) runs one tick, as the clock would.
        const bool ticked = form_.TickCount == tick + 1;
        resets_ += form_.TotalQueued < queued || form_.TickCount < tick;
        audit_.After(what, ticked, running && ticked);
    }

    QWidget* Focused() {
        QWidget* w = QApplication::focusWidget();
        return w != nullptr ? w : &window_;
    }

    const char* Act() {
        const int roll = Uniform(0, 9999);
        if (roll < 3000) {
            std::vector<QPushButton*> shown;
            for (QPushButton* b : buttons_)
                if (b->isVisible()) shown.push_back(b);
            if (QPushButton* b = Any(shown)) QTest::mouseClick(b, Qt::LeftButton);
            return "click";
        }
        if (roll < 3800) {
            QComboBox* box = Any(boxes_);
            QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
            if (Uniform(0, 1) == 0)
                QTest::keyClick(box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
            return "click into a box";
        }
        if (roll < 7400) {
            static const Qt::Key keys[] = {
                Qt::Key_Space, Qt::Key_Right,  Qt::Key_S,         Qt::Key_R,      Qt::Key_F,
                Qt::Key_L,     Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Up,
                Qt::Key_Down,  Qt::Key_Home,   Qt::Key_Delete,    Qt::Key_0,      Qt::Key_1,
                Qt::Key_2,     Qt::Key_4,      Qt::Key_5,         Qt::Key_9,      Qt::Key_Period,
                Qt::Key_Minus, Qt::Key_E,      Qt::Key_A,         Qt::Key_C,      Qt::Key_Tab};
            const Qt::Key key = keys[Uniform(0, static_cast<int>(std::size(keys)) - 1)];
            QTest::keyClick(Focused(), key,
                            Uniform(0, 19) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
            return "key";
        }
        if (roll < 8000) {
            // Typing a whole text, key by key, into the box that has the keyboard.
            if (auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
                const auto& texts = testing::JunkTexts();
                const std::string& text = texts[Uniform(0, static_cast<int>(texts.size()) - 1)];
                if (text.size() <= 16) QTest::keyClicks(editor, QString::fromStdString(text));
            }
            return "typing";
        }
        if (roll < 8800) {
            QComboBox* box = Any(boxes_);
            QWidget* target = Uniform(0, 1) == 0 ? static_cast<QWidget*>(box) : box->lineEdit();
            const QPointF at(target->width() / 2.0, target->height() / 2.0);
            QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(),
                              QPoint(0, Uniform(0, 1) == 0 ? 120 : -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
            return "wheel";
        }
        if (roll < 9300) {
            // A click on the network (ends typing) or a rest of the pointer on it.
            Canvas& canvas = window_.Drawing();
            const QPoint at(Uniform(0, std::max(0, canvas.width() - 1)),
                            Uniform(0, std::max(0, canvas.height() - 1)));
            if (Uniform(0, 1) == 0) {
                QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, at);
            } else {
                QHelpEvent help(QEvent::ToolTip, at, canvas.mapToGlobal(at));
                QApplication::sendEvent(&canvas, &help);
            }
            return "network";
        }
        if (roll < 9310) {
            ++resizes_;
            window_.resize(Uniform(200, 2200), Uniform(150, 1300));
            return "resize";
        }
        if (roll < 9315) {
            ++resizes_;
            QTest::keyClick(&window_, Uniform(0, 1) == 0 ? Qt::Key_F11 : Qt::Key_Escape);
            return "full screen";
        }
        if (roll < 9340) {
            // The list opened with the keyboard; its own keys pick or close it.
            QComboBox* box = Any(boxes_);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_F4);
            if (QWidget* list = QApplication::activePopupWidget()) {
                QTest::keyClick(list, Qt::Key_Down);
                QTest::keyClick(list, Uniform(0, 1) == 0 ? Qt::Key_Return : Qt::Key_Escape);
            }
            return "list";
        }
        // Nothing: the lecturer talks.
        return "pause";
    }

    // Every widget shows its control as the model has it.
    void CheckWidgets() {
        for (const ControlEntry& e : form_.Controls()) {
            QWidget* w = window_.WidgetOf(*e.Model);
            if (w == nullptr) continue;
            ASSERT_EQ(w->isVisibleTo(&window_.Drawing()), e.Model->Visible)
                << e.Name << " " << e.Index;
            if (e.Type == ControlEntry::Kind::ComboBox) {
                auto* box = static_cast<QComboBox*>(w);
                ASSERT_EQ(box->lineEdit()->text().toStdString(), e.Combo().Text) << e.Name;
                ASSERT_EQ(box->count(), static_cast<int>(e.Combo().List.size())) << e.Name;
            } else if (e.Type == ControlEntry::Kind::Toggle) {
                ASSERT_EQ(static_cast<QPushButton*>(w)->isChecked(), e.Model->Value == 1) << e.Name;
            }
            const Canvas& c = window_.Drawing();
            ASSERT_EQ(w->geometry(),
                      c.ToWidget(e.Model->Left, e.Model->Top, e.Model->Width, e.Model->Height))
                << e.Name << " " << e.Index;
        }
    }

    MainWindow& window_;
    Form1& form_;
    std::mt19937 choose_;
    testing::SoakAudit audit_;
    std::vector<QPushButton*> buttons_;
    std::vector<QComboBox*> boxes_;
    long long events_ = 0, ticks_ = 0, resizes_ = 0, resets_ = 0;
};

// Two sessions of 50,000 events each (100,000 in all), one a test, so that
// the two can run side by side.
class WindowSoakSession : public ::testing::TestWithParam<unsigned> {};

TEST_P(WindowSoakSession, RandomUserEventsKeepTheModelSoundAndTheWindowWorking) {
    const unsigned seed = GetParam();
    MainWindow window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    WindowSoak soak(window, seed);
    soak.Run(50000);
    if (::testing::Test::HasFatalFailure()) return;

    // Nothing is stuck: with the list closed and the keyboard free, the
    // keys reset and start a run, and a busy network delivers.
    if (QWidget* list = QApplication::activePopupWidget()) list->close();
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    window.showNormal();
    Form1& f = window.Model();
    f.UserPick(f.cmbTopology, "Bus");
    f.UserPick(f.cmbNodes, " 12");
    f.UserPick(f.cmbScheme, "ALOHA");
    f.UserPick(f.cmbLength, " 10");
    if (f.chkReliable.Value == 1) f.UserToggle(f.chkReliable);
    window.Sync();
    if (!f.Timer1.Enabled) QTest::keyClick(&window, Qt::Key_Space);
    if (f.Running != 0) QTest::keyClick(&window, Qt::Key_S);
    QTest::keyClick(&window, Qt::Key_S);
    ASSERT_EQ(f.Running, VbTrue);
    f.UserPick(f.cmbOT, "0.4");
    for (int t = 0; t < 2000; ++t) window.Tick();
    QApplication::processEvents();
    EXPECT_EQ(f.TickCount, 2000);
    EXPECT_GT(f.TotalReceived, 10)
        << "queued " << f.TotalQueued << " sent " << f.TotalSent << " scheme " << f.cmbScheme.Text
        << " reliable " << f.chkReliable.Value << " length " << f.PacketLength << " nodes "
        << f.NodeCount << " tx0 " << f.NodeTable[0].TxState;

    std::printf("seed %u: events %lld ticks %lld arrivals %lld departures %lld resizes %lld "
                "resets %lld\n",
                seed, soak.Events(), soak.Ticks(), soak.Arrivals(), soak.Departures(),
                soak.Resizes(), soak.Resets());
    EXPECT_GE(soak.Events(), 50000);
    // The session did what it is meant to.
    EXPECT_GT(soak.Ticks(), 25000);
    EXPECT_GT(soak.Arrivals(), 500);
    EXPECT_GT(soak.Departures(), 50);
    EXPECT_GT(soak.Resizes(), 50);
    EXPECT_GT(soak.Resets(), 500);
}

INSTANTIATE_TEST_SUITE_P(Seeds, WindowSoakSession, ::testing::Values(11u, 12u));

} // namespace
} // namespace maclab::qt

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
