// maclab: the window that teachers run.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
    // Answered before any display is needed, so that a package check can run it anywhere.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("maclab %s\n", MACLAB_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: maclab [--version] [--full-screen]\n"
                        "Animates medium access control for teaching; see the README.\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("maclab"));
    QApplication::setApplicationVersion(QStringLiteral(MACLAB_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("maclab"));
    maclab::qt::MainWindow window;
    if (QApplication::arguments().contains(QStringLiteral("--full-screen")))
        window.showFullScreen();
    else
        window.show();
    return QApplication::exec();
}
