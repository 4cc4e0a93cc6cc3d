// maclab-shot: plays a fixed busy run in the real window and saves a picture.
//
//   maclab-shot <topology> <picture.png> [ticks] [--nodes N] [--status] [--legend]
//               [--symbols] [--reach] [--point N] [--window]
//
// Shows the window full screen (or at its own size with --window), picks the
// topology, 12 nodes (or N), presses Start, sets the offered traffic to 2.0 and
// runs the given number of ticks (300 by default), exactly as a user would
// through the window's controls, then saves what the window shows.  --status,
// --legend, --symbols and --reach press Show Status, Legend, Symbols and Reach
// first; --point N rests the pointer on station N.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/qt/canvas.h"
#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    const bool status = args.removeAll(QStringLiteral("--status")) > 0;
    const bool legend = args.removeAll(QStringLiteral("--legend")) > 0;
    const bool windowed = args.removeAll(QStringLiteral("--window")) > 0;
    const bool symbols = args.removeAll(QStringLiteral("--symbols")) > 0;
    const bool reach = args.removeAll(QStringLiteral("--reach")) > 0;
    // An option with a number after it, or -1.
    const auto number = [&args](const QString& option) {
        const int at = args.indexOf(option);
        if (at < 0 || at + 1 >= args.size()) return -1;
        const int value = args[at + 1].toInt();
        args.remove(at, 2);
        return value;
    };
    const int nodes = number(QStringLiteral("--nodes"));
    const int point = number(QStringLiteral("--point"));
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: maclab-shot <topology> <picture.png> [ticks] [--nodes N] "
                             "[--status] [--legend] [--symbols] [--reach] [--point N] "
                             "[--window]\n");
        return 2;
    }
    const std::string topology = args[1].toStdString();
    const int ticks = args.size() > 3 ? args[3].toInt() : 300;

    maclab::qt::MainWindow window(false);
    maclab::Form1& form = window.Model();
    if (windowed) {
        window.show();
    } else {
        window.showFullScreen();
        // With no window manager to honour the request, take the screen anyway.
        if (QScreen* screen = window.screen(); screen && window.size() != screen->size())
            window.setGeometry(screen->geometry());
    }
    (void)QTest::qWaitForWindowExposed(&window);
    form.UserPick(form.cmbTopology, topology);
    form.UserPick(form.cmbNodes, " " + std::to_string(nodes > 0 ? nodes : 12));
    window.Sync();
    form.cmdStart_Click(0);
    form.UserPick(form.cmbOT, "2.0");
    if (status) form.UserToggle(form.chkStatus);
    if (legend) form.UserToggle(form.chkLegend);
    if (symbols) form.UserToggle(form.chkSymbols);
    if (reach) form.UserToggle(form.chkReach);
    window.Sync();
    // No text cursor in the picture.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    for (int t = 0; t < ticks; ++t) window.Tick();
    if (point >= 0) window.Drawing().SetHovered(point);
    QApplication::processEvents();
    if (!window.grab().save(args[2])) {
        std::fprintf(stderr, "maclab-shot: cannot write %s\n", args[2].toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
