#include "tools/buzy_show.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "common/prompts.h"
#include "tools/busy_state.h"
#include "tools/busy_window.h"
#include "tools/runner.h"
#include "tools/tool_host.h"

namespace tools {

HiddenWindow BuzyHiddenWindow = HiddenWindow::None;

namespace {
QPointer<frmBuzy> gBuzy;

bool shown(QWidget* w) { return w && w->isVisible(); }
}  // namespace

frmBuzy* currentBuzy() { return gBuzy.data(); }

void buzySateShow(bool show, QWidget* caller, bool* stopped) {
    ToolHost& host = toolHost();
    if (show) {
        BuzyHiddenWindow = HiddenWindow::None;
        QWidget* mainW = host.mainWindow();
        QWidget* listW = host.listWindow();
        if (caller != mainW && shown(mainW)) {
            BuzyHiddenWindow = HiddenWindow::Main;
            mainW->hide();
        } else if (caller && caller == mainW && shown(listW)) {
            BuzyHiddenWindow = HiddenWindow::List;
            listW->hide();
        }
        delete gBuzy.data();
        gBuzy = new frmBuzy(caller);
        if (caller) gBuzy->setGeometry(caller->window()->geometry());
        enterBusy(gBuzy->cmdBreak());
        setRunObserver(gBuzy.data());
        gBuzy->show();
        gBuzy->raise();
        gBuzy->activateWindow();
        gBuzy->cmdBreak()->setFocus();  // the one control that acts, from the keyboard too
        QCoreApplication::processEvents();
        if (stopped) *stopped = false;
        return;
    }

    const bool userStopped = gBuzy && gBuzy->stopPressed();
    // The gate would hold back the message box's own input.
    setRunObserver(nullptr);
    leaveBusy();
    if (userStopped) prompts::msgBox(QStringLiteral("你已經中止程序！"), prompts::Buttons::Ok);
    if (stopped) *stopped = userStopped;
    delete gBuzy.data();
    if (BuzyHiddenWindow == HiddenWindow::Main && host.mainWindow()) host.mainWindow()->show();
    if (BuzyHiddenWindow == HiddenWindow::List && host.listWindow()) host.listWindow()->show();
    if (caller) {
        caller->window()->raise();
        caller->window()->activateWindow();
        caller->setFocus();
    }
    BuzyHiddenWindow = HiddenWindow::None;
    QCoreApplication::processEvents();
}

}  // namespace tools
