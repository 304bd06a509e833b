#include "tools/busy_state.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace tools {
namespace {

bool isInputEvent(QEvent::Type t) {
    switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::NativeGesture:
            return true;
        default:
            return false;
    }
}

class InputGate : public QObject {
  public:
    QPointer<QWidget> allowed;
    std::vector<QPointer<QWidget>> closesWaiting;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (t == QEvent::Close) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (!w || !w->isWindow()) return false;
            // A window closing mid-job would pull the caller away from under the tool: the
            // close waits until the job has ended.
            event->ignore();
            closesWaiting.emplace_back(w);
            return true;
        }
        if (!isInputEvent(t)) return false;
        auto* w = qobject_cast<QWidget*>(watched);
        // Shortcuts reach actions and shortcut objects, which are not widgets.
        if (t == QEvent::Shortcut || t == QEvent::ShortcutOverride)
            return !(allowed && w && (w == allowed || allowed->isAncestorOf(w)));
        if (allowed && w && (w == allowed || allowed->isAncestorOf(w))) return false;
        if (!w && !watched->isWidgetType()) {
            // Events for windows (QWindow) reach the widgets as widget events afterwards;
            // letting the window see them keeps the stop button reachable.
            return false;
        }
        return true;
    }
};

InputGate* gGate = nullptr;
bool gJob = false;
std::vector<QPointer<QWidget>> gCloses;
std::vector<std::function<void()>> gDeferred;

void runDeferred() {
    auto closes = std::move(gCloses);
    gCloses.clear();
    for (auto& w : closes) {
        // Queued, so the code that ended the job finishes first.
        if (w)
            QTimer::singleShot(0, w.data(), [w] {
                if (w) w->close();
            });
    }
    auto deferred = std::move(gDeferred);
    gDeferred.clear();
    for (auto& f : deferred) f();
}

}  // namespace

bool isBusy() { return gJob || gGate; }
bool inputGated() { return gGate != nullptr; }

bool beginJob() {
    if (isBusy()) return false;
    gJob = true;
    return true;
}

void endJob() {
    gJob = false;
    if (!gGate) runDeferred();
}

void enterBusy(QWidget* allowed) {
    if (!gGate && QCoreApplication::instance()) {
        gGate = new InputGate;
        QCoreApplication::instance()->installEventFilter(gGate);
    }
    if (gGate) gGate->allowed = allowed;
}

void leaveBusy() {
    if (!gGate) return;
    for (auto& w : gGate->closesWaiting) gCloses.push_back(w);
    delete gGate;  // removes the filter
    gGate = nullptr;
    if (!gJob) runDeferred();
}

void whenIdle(std::function<void()> f) {
    if (!isBusy()) {
        f();
        return;
    }
    gDeferred.push_back(std::move(f));
}

}  // namespace tools
