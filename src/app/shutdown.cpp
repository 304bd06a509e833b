#include "app/shutdown.h"

#include <QApplication>
#include <QDialog>

#include "app/shell_menus.h"
#include "app/window_settings.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "player/frm_main.h"
#include "player/playback_controller.h"
#include "player/status_tick.h"
#include "tools/deployment.h"

namespace app {

using texts::kCrLf;

Shutdown::Shutdown(frmMain& window, WindowSettings& settings, std::function<void()> beforeRelease)
    : w_(window), settings_(settings), beforeRelease_(std::move(beforeRelease)) {}

void Shutdown::mnuEnd(int index) {
    saveOnClose_ = index != kEndWithoutSaving;
    w_.close();
}

void Shutdown::terminate() {
    quiet_ = true;
    // Open message boxes and dialogs would hold the close; they end unanswered.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    if (!closing_) w_.close();
    QCoreApplication::exit(0);
}

bool Shutdown::userKeepsRunning() {
    if (quiet_ || !w_.links().marks().checkDealRng()) return false;
    w_.playback().pausePrFn();
    const auto answer =
        prompts::msgBox(QStringLiteral("你選擇了結束與離開本軟體") + kCrLf +
                            QStringLiteral("但是你目前處於標記編輯的狀態") + kCrLf + kCrLf +
                            QStringLiteral("按「是」則結束與離開本軟體") + kCrLf +
                            QStringLiteral("按「否」則繼續使用本軟體"),
                        prompts::Buttons::YesNo, texts::kNoticeTitle, prompts::Icon::Question);
    if (answer == prompts::Answer::Yes) return false;
    saveOnClose_ = true;
    return true;
}

bool Shutdown::run() {
    settings_.trackNormalRect();
    if (userKeepsRunning()) return false;
    closing_ = true;
    w_.status().setClosing(true);
    if (beforeRelease_) beforeRelease_();
    w_.media().closeMCI();
    w_.media().closeMCI(QStringLiteral("Lumba.FLV_forCapture"));
    tools::removeResources(tools::Deployed::All);
    if (saveOnClose_) settings_.save(quiet_);
    return true;
}

}  // namespace app
