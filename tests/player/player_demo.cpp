// Shows the main window on a file, for looking at it and for the processor benchmark:
//   player_demo FILE [--grab PNG] [--quit-after MS] [--size WxH]
#include <QApplication>
#include <QTimer>
#include <clocale>

#include "player/frm_main.h"
#include "player/media_opener.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QString file, grab;
    int quitAfter = 0, w = 660, h = 460;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--grab") && i + 1 < args.size()) {
            grab = args[++i];
        } else if (args[i] == QLatin1String("--quit-after") && i + 1 < args.size()) {
            quitAfter = args[++i].toInt();
        } else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(u'x');
            if (wh.size() == 2) w = wh[0].toInt(), h = wh[1].toInt();
        } else {
            file = args[i];
        }
    }
    frmMain win;
    win.resize(w, h);
    win.show();
    if (!file.isEmpty()) win.opener().playSingle(file, player::PlayRequest::User);
    if (quitAfter > 0) {
        QTimer::singleShot(quitAfter, &app, [&] {
            if (!grab.isEmpty()) win.grab().save(grab);
            app.quit();
        });
    }
    return app.exec();
}
