#pragma once
// One running player per user: the first start listens on a local socket inside the
// private temporary folder; a later start hands its command text over and ends.
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace app {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Role { First, HandedOver, NoAnswer };

    // folder: the private folder holding the socket and the lock (ends in "/").
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands commandText to a running instance, or becomes the first one and listens.
    // Gives up after timeoutMs when an instance holds the lock but does not answer.
    Role start(const QString& commandText, int timeoutMs = 1500);

    QString socketPath() const { return folder_ + QStringLiteral("Lumba.FLV.sock"); }

    // Client side alone: true when a running instance took the text.
    static bool sendToFirstInstance(const QString& socketPath, const QString& commandText,
                                    int timeoutMs);

  signals:
    // The running instance received a second start's command text (possibly empty).
    void linkExecute(const QString& commandText);

  private:
    bool listen();
    void acceptConnection();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace app
