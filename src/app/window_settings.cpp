#include "app/window_settings.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdio>

#include "app/settings_store.h"
#include "app/shell_menus.h"
#include "app/window_place.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "common/window_helpers.h"
#include "items/line_format.h"
#include "lists/file_browser.h"
#include "lists/frm_list.h"
#include "player/capture/frm_cap.h"
#include "player/frm_main.h"
#include "player/marks/marks_controller.h"
#include "player/transport_view.h"

namespace app {

bool isNormalState(const QWidget& w) {
    return !(w.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

WindowSettings::WindowSettings(frmMain& window, ShellMenus& menus, SettingsStore& store)
    : w_(window), menus_(menus), store_(store) {}

void WindowSettings::load() {
    SettingsEnvironment env = diskEnvironment();
    env.fixDriveLetter = [](const QString& p) { return fixDriveLetter(p); };
    store_.load(env);
    apply();
}

void WindowSettings::setListWindow(lists::frmList* list) {
    list_ = list;
    if (list_) applyList();
}

// Without a list window, PlaySetting, ToListEnd and LineFmt are written back as they were read.
void WindowSettings::applyList() {
    const SettingsValues& v = store_.values;
    // listPlace_ stays as read: a place corrected here is then saved as the new one.
    list_->move(placeOnScreen(QRect(listPlace_, list_->size()), screenAreas()));
    list_->setPlayMode(static_cast<ListPlayMode>(std::clamp(v.playSetting, 0, 3)));
    list_->setToListEnd(v.toListEnd);
    list_->setLineFormat(v.lineFmt);
    list_->reloadLists();
    if (auto* browser =
            qobject_cast<lists::FileBrowser*>(list_->areaWidget(lists::Area::FileBrowser)))
        browser->applyValues(v.listWindow);
}

void WindowSettings::apply() {
    const SettingsValues& v = store_.values;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const QRect place = mainWindowPlace(v.mainRectTwips, screenSize);
    w_.move(placeOnScreen(place, screenAreas()));
    w_.resize(place.size());
    // Where the file put it: a place corrected onto a screen differs, so it is saved anew.
    placedRect_ = QRect(place.topLeft(), w_.size());
    normalRect_ = QRect(w_.pos(), w_.size());
    listPlace_ = listWindowPlace(v.listWindow.rectTwips, w_.pos());
    if (list_) applyList();

    player::TransportView& transport = w_.transport();
    transport.setKeepWH(v.keepWH);
    transport.setKeepDef(v.keepDef);
    transport.setStepMode(v.stepMode);
    for (player::StepMode m : player::kAllStepModes)
        transport.setStepValue(m, v.stepValues[player::stepIndex(m)]);

    menus_.mnuStartList->setChecked(v.startList);
    w_.marks().setAutoAddMark(v.autoAddMark);
    w_.marks().setExactCut(v.exactCut);
    w_.capture().setPlace(v.capRect);
}

void WindowSettings::collect() {
    SettingsValues& v = store_.values;
    trackNormalRect();
    v.mainRectTwips = mainRectToSave(normalRect_, v.mainRectTwips, placedRect_);
    // The place is applied before the window ever shows, when the window manager puts the
    // client area there; reading the frame back would creep up by a title bar every run.
    v.listWindow.rectTwips = listRectToSave(list_ ? list_->geometry().topLeft() : listPlace_,
                                            v.listWindow.rectTwips, listPlace_);
    if (list_) {
        v.playSetting = static_cast<int>(list_->playMode());
        v.toListEnd = list_->toListEnd();
        v.lineFmt = mdlLineFormat::lineFormat();
        if (auto* browser =
                qobject_cast<lists::FileBrowser*>(list_->areaWidget(lists::Area::FileBrowser)))
            browser->collectValues(v.listWindow);
    }

    const player::TransportView& transport = w_.transport();
    v.keepWH = transport.keepWH();
    v.keepDef = transport.keepDef();
    v.stepMode = transport.stepMode();
    for (player::StepMode m : player::kAllStepModes)
        v.stepValues[player::stepIndex(m)] = transport.stepValue(m);

    v.startList = menus_.mnuStartList->isChecked();
    v.autoAddMark = w_.marks().autoAddMark();
    v.exactCut = w_.marks().exactCut();
    v.capRect = w_.capture().place();
}

bool WindowSettings::save(bool quiet) {
    collect();
    const auto failure = store_.save();
    if (!failure) return true;
    if (quiet) {
        std::fprintf(
            stderr, "Lumba.FLV: %s\n",
            qPrintable(saveFailureText(*failure).replace(texts::kCrLf, QStringLiteral(" "))));
    } else {
        prompts::msgBox(saveFailureText(*failure), prompts::Buttons::Ok, texts::kErrorTitle,
                        prompts::Icon::Critical);
    }
    return false;
}

void WindowSettings::trackNormalRect() {
    if (isNormalState(w_) && w_.isVisible()) normalRect_ = QRect(w_.pos(), w_.size());
}

}  // namespace app
