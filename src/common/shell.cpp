#include "common/shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include "common/file_object.h"
#include "common/media_kinds.h"
#include "common/paths.h"

namespace {

Shell* g_shell = nullptr;

QUrl urlFor(const QString& pathOrUrl) {
    if (isUrl(pathOrUrl)) return QUrl(pathOrUrl);
    return QUrl::fromLocalFile(absoluteFromCurrent(pathOrUrl));
}

}  // namespace

bool Shell::open(const QString& pathOrUrl) {
    // QDesktopServices needs the platform integration of a QGuiApplication.
    if (pathOrUrl.isEmpty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    return QDesktopServices::openUrl(urlFor(pathOrUrl));
}

bool Shell::exploreSelect(const QString& path) {
    if (path.isEmpty()) return false;
    const QString full = absoluteFromCurrent(path);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(full).toString()} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage) return true;
    }
    // No file manager on the bus: at least show the folder.
    return open(fso().GetParentFolderName(full));
}

Shell& shell() {
    static Shell desktop;
    return g_shell ? *g_shell : desktop;
}

void installShell(Shell* s) { g_shell = s; }

bool shellOpen(const QString& pathOrUrl) { return shell().open(pathOrUrl); }

bool exploreSelect(const QString& path) { return shell().exploreSelect(path); }
