#pragma once
// What the file browser needs of the main window and of the list window frame. The
// application fills it in; empty functions do nothing.
#include <QString>
#include <functional>

class QMimeData;

namespace lists {

struct FileBrowserHost {
    // playSingle with a path and the list flag set, so that previous/next walk the folder.
    std::function<void(const QString& path)> playPath;
    // The main window's drop handler (Form_OLEDragDrop).
    std::function<void(const QMimeData& data)> dropped;
    // The path open in the player; "" when none.
    std::function<QString()> playingFile;
    // Keyboard focus to the list window's neutral button, so keys reach the list window.
    std::function<void()> focusNeutral;
    // The folder or the selected file changed: browser-mode buttons and the main window's
    // previous/next buttons follow the number of files.
    std::function<void()> filesChanged;
    // changeToTab onto the file browser area.
    std::function<void()> showBrowserArea;
};

}  // namespace lists
