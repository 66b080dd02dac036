// How long the EPSG dialog takes to narrow its whole list at each keystroke:
// the slowest keystroke of the best of five rounds, typed into the real
// widget, offscreen. A pause a user can see starts at about 16 ms, a frame.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <cstdio>

#include "core/crs/Registry.h"
#include "ui/EpsgDialog.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QElapsedTimer opening;
    opening.start();
    const Epsg::Registry registry;
    EpsgDialog dialog(registry.List(), '.', nullptr);
    dialog.show();
    const double openMs = opening.nsecsElapsed() / 1e6;
    double slowest = 1e9;
    for (int round = 0; round < 5; ++round) {
        dialog.txtSearch->clear();
        double worst = 0;
        for (const char c : QByteArray("Texas SOUTH cent")) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(dialog.txtSearch, c);
            QApplication::processEvents();
            worst = std::max(worst, timer.nsecsElapsed() / 1e6);
        }
        slowest = std::min(slowest, worst);
    }
    std::printf("| EPSG dialog, %d grids | opening %.0f ms | slowest keystroke %.1f ms |\n",
                dialog.lstGrids->count(), openMs, slowest);
    return 0;
}
