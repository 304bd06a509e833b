// Lumba.FLV: the player program.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

#include "app/platform.h"
#include "media/mci.h"
#include "media/mpv_mci_device.h"
#include "media/video_surface.h"

int main(int argc, char* argv[]) {
    app::choosePlatform();
    QApplication application(argc, argv);
    app::fixNumericLocale();
    QApplication::setApplicationName(QStringLiteral("Lumba.FLV"));

    QStringList args = QApplication::arguments().mid(1);
    QString path = args.join(QLatin1Char(' ')).remove(QLatin1Char('"'));
    if (!path.isEmpty() && QFileInfo(path).isRelative() && QFileInfo::exists(path))
        path = QFileInfo(path).absoluteFilePath();

    MpvMciDevice device;
    setDefaultMciDevice(&device);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lumba.FLV"));
    auto* surface = new VideoSurface(&window);
    window.setCentralWidget(surface);
    window.resize(660, 400);
    window.show();

    MCI media;
    auto place = [&] {
        int w = 0, h = 0;
        media.getDefaultSize(w, h);
        media.putMCI(w, h, true, 0, 0, surface->width(), surface->height());
    };
    if (!path.isEmpty()) {
        media.openMCI(path, surface->surfaceId(), QStringLiteral("Lumba.FLV"));
        if (media.isSuccess()) {
            window.setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - Lumba.FLV"));
            place();
            media.playMCI(0, 0);
        }
    }
    const int rc = application.exec();
    media.closeMCI();
    return rc;
}
