// maclab: the window that teachers run.
#include <QApplication>

#include "platform/qt/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    maclab::qt::MainWindow window;
    window.show();
    return QApplication::exec();
}
