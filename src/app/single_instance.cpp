#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

namespace app {

namespace {

// Message: the UTF-8 byte count in decimal, a line feed, then the bytes. Answer: "OK\n".
QByteArray frame(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return QByteArray::number(bytes.size()) + '\n' + bytes;
}

constexpr qsizetype kMaxMessage = 64 * 1024;

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

bool SingleInstance::sendToFirstInstance(const QString& socketPath, const QString& commandText,
                                         int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) return false;
    socket.write(frame(commandText));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) return false;
    }
    return socket.readLine() == "OK\n";
}

SingleInstance::Role SingleInstance::start(const QString& commandText, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    if (sendToFirstInstance(socketPath(), commandText, timeoutMs)) return Role::HandedOver;

    // Two first starts at the same moment: the lock decides which one listens.
    lock_ = std::make_unique<QLockFile>(folder_ + QStringLiteral("Lumba.FLV.lock"));
    lock_->setStaleLockTime(0);  // only a dead owner makes the lock stale
    while (!lock_->tryLock(50)) {
        if (lock_->error() == QLockFile::PermissionError || deadline.hasExpired()) {
            lock_.reset();
            return Role::NoAnswer;
        }
        // Whoever holds the lock may be listening by now.
        if (sendToFirstInstance(socketPath(), commandText, 200)) {
            lock_.reset();
            return Role::HandedOver;
        }
    }
    // Holding the lock: a socket that answers belongs to an instance that started before
    // locks were taken; anything else is left over from a run that ended abnormally.
    if (sendToFirstInstance(socketPath(), commandText, 200)) {
        lock_->unlock();
        lock_.reset();
        return Role::HandedOver;
    }
    if (!listen()) {
        lock_->unlock();
        lock_.reset();
        return Role::NoAnswer;
    }
    return Role::First;
}

bool SingleInstance::listen() {
    QLocalServer::removeServer(socketPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath())) return false;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QByteArray buffer = socket->property("lumbaBuffer").toByteArray() + socket->readAll();
            const qsizetype nl = buffer.indexOf('\n');
            bool ok = false;
            const qsizetype size = nl < 0 ? -1 : buffer.left(nl).toLongLong(&ok);
            if (buffer.size() > kMaxMessage + 32 ||
                (nl >= 0 && (!ok || size < 0 || size > kMaxMessage))) {
                socket->abort();
                return;
            }
            if (nl < 0 || buffer.size() - nl - 1 < size) {
                socket->setProperty("lumbaBuffer", buffer);
                return;
            }
            const QString text = QString::fromUtf8(buffer.mid(nl + 1, size));
            socket->setProperty("lumbaBuffer", QByteArray());
            socket->write("OK\n");
            socket->flush();
            socket->disconnectFromServer();
            emit linkExecute(text);
        });
    }
}

}  // namespace app
