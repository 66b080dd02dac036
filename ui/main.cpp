#include <QApplication>

#include "ui/Tarvane.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(Tarvane::kTitle);
    Tarvane::applyLook();
    Tarvane window;
    QObject::connect(&window, &Tarvane::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
