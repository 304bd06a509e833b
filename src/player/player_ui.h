#pragma once
// The widgets and menu items of the main window, built once by buildPlayerUi and read by
// the playback controller and the transport. Every widget carries its name as objectName.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <array>

#include "controls/lumba_button.h"
#include "player/bar_part.h"
#include "player/player_logic.h"

class QMainWindow;
class VideoSurface;

namespace player {

struct PlayerUi {
    QWidget* central = nullptr;
    VideoSurface* video = nullptr;  // the video area with its 1-pixel frame
    QLabel* picNote = nullptr;      // shown over the video area while nothing plays
    QWidget* panel = nullptr;       // the control panel below the video

    LumbaButton* mbPlay = nullptr;
    LumbaButton* mbPause = nullptr;
    LumbaButton* mbStop = nullptr;
    LumbaButton* mbBackward = nullptr;
    LumbaButton* mbForward = nullptr;
    LumbaButton* mbSound = nullptr;
    LumbaButton* mbLastItem = nullptr;
    LumbaButton* mbNextItem = nullptr;
    LumbaButton* mbRngStart = nullptr;
    LumbaButton* mbRngEnd = nullptr;

    BarPart* picHsbBack = nullptr;  // strip around the track
    BarPart* picHsb = nullptr;      // track
    BarPart* picHsb2 = nullptr;     // thumb
    QWidget* picRngBk = nullptr;    // marks strip (drawn by the marks)
    BarPart* picVolSdr = nullptr;   // volume slider
    BarPart* picVolPos = nullptr;   // its knob

    QLabel* lblFnName = nullptr;
    QLabel* lblCurTime = nullptr;
    QLabel* lblSplit = nullptr;
    QLabel* lblTtTime = nullptr;
    QLabel* picAssIcon = nullptr;

    // Menus
    QMenu* mnuFile = nullptr;
    QMenu* mnuPlay = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuMarks = nullptr;
    QMenu* mnuTools = nullptr;
    QMenu* mnuListMenu = nullptr;
    QMenu* mnuHelpMenu = nullptr;
    QMenu* mnuSpeedMenu = nullptr;
    QMenu* mnuFBMenu = nullptr;

    QAction* mnuOpen = nullptr;
    QAction* mnuPlayLast = nullptr;
    std::array<QAction*, kCustomSpeedItem + 1> mnuSpeed{};  // with a separator
    std::array<QAction*, kCustomStepItem + 1> mnuFB{};      // with a separator
    QAction* mnuKeepWH = nullptr;
    QAction* mnuKeepDef = nullptr;
    QAction* mnuScnFull = nullptr;
    QAction* mnuSaveCap = nullptr;  // "另存畫面", Home
    QAction* mnuExplorer = nullptr;
    QAction* mnuSaveFile = nullptr;
    QAction* mnuAddToList = nullptr;
    QAction* mnuRngEdit = nullptr;
    QAction* mnuRngClear = nullptr;
    std::array<QAction*, 2> mnuRngPlay{};
    QAction* mnuSaveRng = nullptr;
    QAction* mnuSaveCut = nullptr;
    QAction* mnuList = nullptr;
    QAction* mnuMyExplorer = nullptr;

    // Height of the control panel below the video area.
    static constexpr int kPanelHeight = 78;
};

// Creates the widgets and menus of the main window.
void buildPlayerUi(QMainWindow* window, PlayerUi& ui);
// Places the video frame and the panel's controls for the window's inner size.
void layoutPlayerUi(PlayerUi& ui, QSize inner);

}  // namespace player
