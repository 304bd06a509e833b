#include "app/platform.h"

#include <QByteArray>
#include <QFileInfo>
#include <QtGlobal>
#include <clocale>

namespace app {

namespace {

bool xDisplayReachable(const QByteArray& display) {
    if (display.isEmpty()) return false;
    // ":N" or ":N.S" is a local server with a socket; anything else names a host.
    if (!display.startsWith(':')) return true;
    QByteArray number = display.mid(1);
    if (const qsizetype dot = number.indexOf('.'); dot >= 0) number.truncate(dot);
    return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + QString::fromLatin1(number));
}

}  // namespace

void choosePlatform() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    if (xDisplayReachable(qgetenv("DISPLAY"))) qputenv("QT_QPA_PLATFORM", "xcb");
}

void fixNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace app
