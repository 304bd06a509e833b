#pragma once
// What the list window needs of the player window and of the rest of the program. The
// application fills it in; empty functions do nothing.
#include <QString>
#include <functional>

#include "common/player_values.h"

class QWidget;

namespace lists {

struct ListWindowHost {
    std::function<void()> pausePrFn;
    // playSingle of the player: "" with fromList plays the current list's selected item.
    std::function<void(const QString& path, bool fromList)> playSingle;
    // Opens and plays a path with its marks (newPlay).
    std::function<void(const QString& path, const QString& marks)> newPlay;
    std::function<void()> stop;                  // the player's Stop
    std::function<void()> stopAll;               // the full stop after the list play state is idle
    std::function<ContinueMode()> continueMode;  // the list play state
    std::function<void(ContinueMode)> setContinueMode;
    std::function<void()> stopStatusTimer;
    std::function<void()> focusPlayer;  // keyboard focus back to the player area
    // The player's previous/next item buttons usable or not.
    std::function<void(bool)> enableItemButtons;
    std::function<void()> refreshPlayerButtons;
    // Copies path to a name the user chooses (saveFile) with owner as the dialog's owner.
    std::function<void(const QString& path, QWidget* owner)> saveFile;
    // The report after the whole list was saved to path (doneAfterSave).
    std::function<void(const QString& path)> listSaved;
    std::function<QString()> openFilter;
    // F2 and F3 as the player's menus do them (marks list with its marks; file list with the
    // open file selected); empty: the window just shows those areas.
    std::function<void()> goToMarks;
    std::function<void()> goToFiles;
    // Shows a file in the file browser area (mbToFile).
    std::function<void(const QString& path)> showInBrowser;
};

// The file browser as the list play sees it in browser mode.
struct BrowserItems {
    std::function<int()> count;
    std::function<int()> selected;
    std::function<void(int)> select;
    std::function<QString()> selectedPath;
    std::function<void()> play;  // the browser's own play action
};

}  // namespace lists
