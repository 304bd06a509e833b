#pragma once
// What the player window needs of the list window. The player declares it and the lists
// implement it; it lives here so that neither of the two sibling rooms includes the other.
// The application wires an implementation in; the defaults behave as an empty play list
// (nothing plays next, nothing is marked).
#include <QString>
#include <functional>

#include "common/player_values.h"

namespace player {

class PlayerListLink {
  public:
    virtual ~PlayerListLink() = default;

    // Play mode of the lists.
    virtual ListPlayMode playMode() const { return ListPlayMode::Once; }
    // The continuation test: the list carries on with another item after this one.
    virtual bool carriesOn() const { return false; }
    // The list advance after a stop or the end of a file: decides whether and what plays
    // next and gives the continue mode that follows to setMode before anything plays (an
    // empty list: nothing, ContinueMode::None).
    virtual void advance(ContinueMode current, const std::function<void(ContinueMode)>& setMode) {
        (void)current;
        setMode(ContinueMode::None);
    }
    // Item text (path, optionally "∥" and marks) of the current list's current item.
    virtual QString currentItemText() { return {}; }
    // A file opened: mark it as the current item (the refresh comes from the player).
    virtual void markCurrentItem() {}
    // A file failed: drop the current-item marker.
    virtual void clearCurrentItemMarker() {}
    // The player's state changed: refresh the list window's buttons.
    virtual void refreshButtons() {}
    // The media has no known length (a stream).
    virtual void lengthUnknown() {}
    // The ↑ and ↓ keys and buttons.
    virtual void previousItem() {}
    virtual void nextItem() {}
    // The list window is the foreground window.
    virtual bool isForeground() const { return false; }
    // F1 and F3: show the play list or the file list.
    virtual void showPlayList() {}
    virtual void showFileList() {}
};

}  // namespace player
