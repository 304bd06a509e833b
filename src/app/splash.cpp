#include "app/splash.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "common/texts.h"
#include "common/window_helpers.h"

namespace app {

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(320, 120);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    setTopMost(this, true);
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(32, 40, 56));
    p.setPen(QColor(240, 200, 80));
    QFont f = font();
    f.setPointSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(rect().adjusted(0, 0, 0, -30), Qt::AlignCenter, texts::kProgramTitle);
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(0, 60, 0, 0), Qt::AlignCenter,
               QStringLiteral("FLV 播放與無損編輯，啟動中 ..."));
}

}  // namespace app
