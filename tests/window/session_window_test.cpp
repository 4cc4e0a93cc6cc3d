// The session in the window: the actions taken through its real widgets and
// keys are recorded, Back and the timeline go back exactly, and a saved
// session replays in maclab-run to the same summary and opens to the same
// state; a faulty file changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/main_window.h"

namespace maclab::qt {
namespace {

std::unique_ptr<MainWindow> Shown() {
    auto window = std::make_unique<MainWindow>(false);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return window;
}

std::string Summary(const Form1& f) {
    return "summary t=" + std::to_string(f.TickCount) + " q=" + std::to_string(f.TotalQueued) +
           " s=" + std::to_string(f.TotalSent) + " r=" + std::to_string(f.TotalReceived);
}

TEST(SessionWindow, ASessionSavedThroughTheWidgetsReplaysAndOpensAlike) {
    const auto window = Shown();
    Form1& f = window->Model();
    const auto click = [&](const Control& c) {
        QTest::mouseClick(window->ButtonOf(c), Qt::LeftButton);
    };
    click(f.cmdStart[0]);
    for (int t = 0; t < 300; ++t) window->Tick();
    QTest::keyClick(window.get(), Qt::Key_Space); // paused
    for (int k = 0; k < 3; ++k) QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_EQ(f.SessionTick, 303u);
    // Back twice, then the timeline back to tick 250: the state the run had.
    QTest::keyClick(window.get(), Qt::Key_Left);
    click(f.cmdBack);
    EXPECT_EQ(f.SessionTick, 301u);
    ASSERT_TRUE(window->Timeline().isEnabled());
    window->Timeline().setValue(250);
    EXPECT_EQ(f.SessionTick, 250u);
    EXPECT_EQ(f.TickCount, 250);
    // On from there: a click on a station and the reliable toggle, the clock again.
    click(f.cmdNode[2]);
    click(f.chkReliable);
    QTest::keyClick(window.get(), Qt::Key_Space);
    for (int t = 0; t < 200; ++t) window->Tick();
    click(f.cmdPause);
    EXPECT_EQ(f.SessionEnd(), 450u); // what came after tick 250 was dropped

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("class.maclab"));
    ASSERT_TRUE(window->SaveSession(path));
    QProcess run;
    run.start(QStringLiteral(MACLAB_RUNNER_PROGRAM), {path});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(run.readAllStandardOutput()).trimmed();
    EXPECT_EQ(out.split('\n').last().toStdString(), Summary(f));

    const auto other = Shown();
    QString error;
    ASSERT_TRUE(other->OpenSession(path, &error)) << error.toStdString();
    EXPECT_TRUE(static_cast<const FormState&>(other->Model()) == f);
    EXPECT_FALSE(other->Model().Timer1.Enabled);

    // A faulty file: one message naming the line, the network as it was.
    const QString bad = dir.filePath(QStringLiteral("bad.maclab"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("click cmdStart 0\ntick 10\nclick cmdNode 99\n");
    file.close();
    const FormState before = f;
    ASSERT_FALSE(window->OpenSession(bad, &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("line 3: index out of range"))) << error.toStdString();
    EXPECT_TRUE(static_cast<const FormState&>(f) == before);
}

} // namespace
} // namespace maclab::qt
