// Writes the program's icon as PNG files in the hicolor layout
// (OUT/NxN/apps/tarvane.png), drawn by the same code as the window's icon.
//
// Usage: tarvane_icons OUT SIDE...
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>

#include "ui/Artwork.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: tarvane_icons OUT SIDE...\n");
        return 2;
    }
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int side = args[i].toInt(&ok);
        if (!ok || side <= 0) {
            std::fprintf(stderr, "tarvane_icons: not a size: %s\n", qPrintable(args[i]));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(side);
        const QString file = dir + QStringLiteral("/tarvane.png");
        const QImage image = Artwork::iconImage(side).toImage();
        if (!QDir().mkpath(dir) || image.size() != QSize(side, side) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "tarvane_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
