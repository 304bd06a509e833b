#pragma once
// SIGTERM, SIGINT and SIGHUP end the program through its normal shutdown: the handler only
// writes a byte to a pipe, and the event loop turns that into a call.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace app {

class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    // onSignal runs on the Qt thread, once per delivered signal.
    explicit TerminationSignals(std::function<void(int signalNumber)> onSignal,
                                QObject* parent = nullptr);
    ~TerminationSignals() override;

  private:
    void drain();

    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace app
