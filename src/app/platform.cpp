#include "app/platform.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>
#include <clocale>
#include <cstddef>
#include <cstring>

namespace app {

namespace {

// Connects to the local X server's socket (the abstract name first, as Xorg and Xvfb offer
// both); a socket file left behind by a server that has gone does not count.
bool localServerAnswers(const QByteArray& number) {
    const QByteArray path = "/tmp/.X11-unix/X" + number;
    for (const bool abstract : {true, false}) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const size_t offset = abstract ? 1 : 0;
        if (size_t(path.size()) + offset >= sizeof(addr.sun_path)) {
            ::close(fd);
            return false;
        }
        std::memcpy(addr.sun_path + offset, path.constData(), size_t(path.size()));
        const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size());
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
        ::close(fd);
        if (ok) return true;
    }
    return false;
}

bool xDisplayReachable(const QByteArray& display) {
    if (display.isEmpty()) return false;
    // ":N" or ":N.S" is a local server; anything else names a host, which we trust.
    if (!display.startsWith(':')) return true;
    QByteArray number = display.mid(1);
    if (const qsizetype dot = number.indexOf('.'); dot >= 0) number.truncate(dot);
    return localServerAnswers(number);
}

}  // namespace

void choosePlatform() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    if (xDisplayReachable(qgetenv("DISPLAY"))) qputenv("QT_QPA_PLATFORM", "xcb");
}

void fixNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace app
