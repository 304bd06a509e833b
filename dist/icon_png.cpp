// Writes the program's icon, drawn in code, as the PNG files of the hicolor icon theme:
// icon_png OUT_DIR NAME SIZE... gives OUT_DIR/<S>x<S>/apps/NAME.png for every size.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "controls/icons.h"

int main(int argc, char* argv[]) {
    // Runs during the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: icon_png OUT_DIR NAME SIZE...\n");
        return 2;
    }
    const QString out = args.at(1);
    const QString name = args.at(2);
    for (const QString& sizeText : args.mid(3)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "icon_png: bad size %s\n", qPrintable(sizeText));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(dir) ||
            !icons::pixmap(icons::Kind::Program, size).toImage().save(file, "PNG")) {
            std::fprintf(stderr, "icon_png: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
