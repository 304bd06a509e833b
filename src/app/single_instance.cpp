#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaMethod>
#include <QVariant>

namespace app {

namespace {

// Message: the UTF-8 byte count in decimal, a line feed, then the paths separated by NUL, the
// one character no path holds. Answer: "OK\n" when they were taken, "NO\n" when the instance
// is closing.
QByteArray frame(const QStringList& paths) {
    const QByteArray bytes = paths.join(QChar(0)).toUtf8();
    return QByteArray::number(bytes.size()) + '\n' + bytes;
}

QStringList unframe(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    return QString::fromUtf8(bytes).split(QChar(0));
}

constexpr qsizetype kMaxMessage = 64 * 1024;

int remaining(const QDeadlineTimer& deadline) { return int(deadline.remainingTime()); }

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

SingleInstance::Answer SingleInstance::sendToFirstInstance(const QString& socketPath,
                                                           const QStringList& paths,
                                                           int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    // A listening socket accepts at once, whatever its owner is doing.
    if (!socket.waitForConnected(remaining(deadline))) return Answer::NoListener;
    socket.write(frame(paths));
    if (!socket.waitForBytesWritten(remaining(deadline)))
        return socket.state() == QLocalSocket::ConnectedState ? Answer::Silent : Answer::NoListener;
    while (!socket.canReadLine()) {
        if (socket.waitForReadyRead(remaining(deadline))) continue;
        // Closed without a word: its owner went away while reading.
        if (socket.state() != QLocalSocket::ConnectedState && !socket.canReadLine())
            return Answer::NoListener;
        if (deadline.hasExpired()) return Answer::Silent;
    }
    const QByteArray answer = socket.readLine();
    if (answer == "OK\n") return Answer::Taken;
    return answer == "NO\n" ? Answer::Declined : Answer::NoListener;
}

SingleInstance::Role SingleInstance::start(const QStringList& paths, const Waits& waits) {
    QDeadlineTimer deadline(waits.lockMs);
    bool declined = false;
    lock_ = std::make_unique<QLockFile>(folder_ + QStringLiteral("Lumba.FLV.lock"));
    lock_->setStaleLockTime(0);  // only a dead owner makes the lock stale
    for (;;) {
        switch (sendToFirstInstance(socketPath(), paths, waits.answerMs)) {
            case Answer::Taken:
                lock_.reset();
                return Role::HandedOver;
            case Answer::Silent:
                // It has the paths and may still open them; starting a second player would
                // open the file twice.
                lock_.reset();
                return Role::NoAnswer;
            case Answer::Declined:
                if (!declined) deadline.setRemainingTime(waits.closingMs);
                declined = true;
                break;
            case Answer::NoListener:
                break;
        }
        // Nobody takes them: the lock decides who listens. Two first starts at the same
        // moment meet here, and an instance that is closing lets go of it when it ends.
        if (lock_->tryLock(50)) break;
        if (lock_->error() == QLockFile::PermissionError || deadline.hasExpired()) {
            lock_.reset();
            return Role::NoAnswer;
        }
    }
    // Holding the lock: a socket that answers belongs to an instance that started before
    // locks were taken; anything else is left over from a run that ended abnormally.
    if (sendToFirstInstance(socketPath(), paths, 200) == Answer::Taken) {
        lock_.reset();
        return Role::HandedOver;
    }
    if (!listen()) {
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
        // Bytes that came with the connection do not always raise readyRead again.
        if (socket->bytesAvailable() > 0) receive(socket);
    }
}

void SingleInstance::receive(QLocalSocket* socket) {
    QByteArray buffer = socket->property("lumbaBuffer").toByteArray() + socket->readAll();
    const qsizetype nl = buffer.indexOf('\n');
    bool ok = false;
    const qsizetype size = nl < 0 ? -1 : buffer.left(nl).toLongLong(&ok);
    if (buffer.size() > kMaxMessage + 32 || (nl >= 0 && (!ok || size < 0 || size > kMaxMessage))) {
        socket->abort();
        return;
    }
    if (nl < 0 || buffer.size() - nl - 1 < size) {
        socket->setProperty("lumbaBuffer", buffer);
        return;
    }
    const QStringList paths = unframe(buffer.mid(nl + 1, size));
    socket->setProperty("lumbaBuffer", QByteArray());
    socket->write(accepting_ ? "OK\n" : "NO\n");
    socket->flush();
    socket->disconnectFromServer();
    if (!accepting_) return;
    received_.append(paths);
    // Opening a file runs nested event loops; they must not run inside this socket's signal.
    QMetaObject::invokeMethod(this, &SingleInstance::deliver, Qt::QueuedConnection);
}

void SingleInstance::deliver() {
    // Taken before the window listens (the splash's first events): kept until it does.
    if (!isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::linkExecute))) return;
    while (!received_.isEmpty()) emit linkExecute(received_.takeFirst());
}

void SingleInstance::connectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&SingleInstance::linkExecute) && !received_.isEmpty())
        QMetaObject::invokeMethod(this, &SingleInstance::deliver, Qt::QueuedConnection);
}

}  // namespace app
