// zorel8z-icon: draws the program's emblem as the square PNG icons that the desktop entry names.
// Runs at build time on the offscreen platform.
//
//   zorel8z-icon OUT_DIR SIZE...     writes OUT_DIR/SIZExSIZE/zorel8z-configurator.png for each size
#include "Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: zorel8z-icon OUT_DIR SIZE...\n");
        return 2;
    }
    for (int i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int side = args[i].toInt(&ok);
        if (!ok || side < 16 || side > 1024) {
            std::fprintf(stderr, "zorel8z-icon: bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2").arg(args[1]).arg(side);
        const QString path = dir + QStringLiteral("/zorel8z-configurator.png");
        // The emblem is drawn for the window's 128 x 100 corner: kept in that shape, centred.
        const QSize drawn(side, side * 100 / 128);
        QPixmap emblem = zorel8z::gui::art::emblem(drawn);
        emblem.setDevicePixelRatio(1.0);
        QImage icon(side, side, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        {
            QPainter p(&icon);
            p.drawPixmap(QRect(QPoint(0, (side - drawn.height()) / 2), drawn), emblem);
        }
        if (!QDir().mkpath(dir) || !icon.save(path, "PNG")) {
            std::fprintf(stderr, "zorel8z-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
