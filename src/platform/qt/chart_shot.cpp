// maclab-chart-shot: pictures of both charts of the chart pane.
//
//   maclab-chart-shot <over-time.png> <sweep.png> [ticks [ticks-a-point]]
//
// ALOHA on Star, 24 nodes, Start, offered traffic 0.5, as a user sets it;
// the given ticks run (6000 by default) with the pane shown, then a sweep of
// the window's settings (100,000 ticks a point by default); each chart is
// saved as the pane's PNG export saves it.
#include <QApplication>
#include <QTest>
#include <cstdio>

#include "platform/qt/chart_pane.h"
#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: maclab-chart-shot <over-time.png> <sweep.png> [ticks "
                             "[ticks-a-point]]\n");
        return 2;
    }
    const int ticks = args.size() > 3 ? args[3].toInt() : 6000;
    const int perPoint = args.size() > 4 ? args[4].toInt() : 100000;

    maclab::qt::MainWindow window(false);
    maclab::Form1& form = window.Model();
    window.show();
    form.UserPick(form.cmbNodes, " 24");
    form.cmdStart_Click(0);
    form.UserEdit(form.cmbOT, "0.5");
    form.UserToggle(form.chkChart);
    window.Sync();
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    for (int t = 0; t < ticks; ++t) window.Tick();
    QApplication::processEvents();
    maclab::qt::ChartPane& pane = window.Charts();
    bool ok = pane.ExportPng(args[1]);

    pane.ShowPage(maclab::qt::ChartPane::Page::AgainstTraffic);
    pane.SetTicksPerPoint(perPoint);
    ok = ok && pane.StartSweep();
    while (pane.SweepRunning()) {
        window.Tick();
        QTest::qWait(20);
    }
    QApplication::processEvents();
    ok = ok && pane.ExportPng(args[2]);
    if (!ok) {
        std::fprintf(stderr, "maclab-chart-shot: cannot write the pictures\n");
        return 1;
    }
    return 0;
}
