#pragma once
// One running player per user: the first start listens on a local socket inside the
// private temporary folder; a later start hands the paths of its command line over and ends.
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace app {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Role { First, HandedOver, NoAnswer };

    // What a running instance made of a hand-over.
    enum class Answer {
        Taken,       // it holds the paths and will open them
        Declined,    // it is closing and takes nothing more
        NoListener,  // nobody listens: no instance, or one that is starting or has gone
        Silent,      // it was given the paths but did not answer in time
    };

    struct Waits {
        // A running instance whose event loop is held up (a slow disk, a modal wait) answers
        // late, but it answers: the text is already in its socket.
        int answerMs = 20000;
        // Someone holds the lock but nobody listens: an instance between its lock and its
        // listening socket, or one that ended without removing its lock.
        int lockMs = 1500;
        // An instance that declined because it is closing: wait for it to go, then start.
        int closingMs = 15000;
    };

    // folder: the private folder holding the socket and the lock (ends in "/").
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands paths to a running instance, or becomes the first one and listens.
    Role start(const QStringList& paths, const Waits& waits);
    Role start(const QStringList& paths) { return start(paths, Waits{}); }

    // Closing: later hand-overs are declined, so their starts wait and open the file
    // themselves instead of handing it to a window that is going away.
    void stopAccepting() { accepting_ = false; }

    QString socketPath() const { return folder_ + QStringLiteral("Lumba.FLV.sock"); }

    // Client side alone.
    static Answer sendToFirstInstance(const QString& socketPath, const QStringList& paths,
                                      int timeoutMs);

  signals:
    // The running instance received a second start's paths (none: only come forward).
    // Always delivered from the event loop, never from inside the socket's own signals.
    void linkExecute(const QStringList& paths);

  protected:
    void connectNotify(const QMetaMethod& signal) override;

  private:
    bool listen();
    void deliver();
    void acceptConnection();
    void receive(QLocalSocket* socket);

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    bool accepting_ = true;
    QList<QStringList> received_;
};

}  // namespace app
