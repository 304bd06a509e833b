#pragma once
// What the playback controller asks of the marks (segments, marks bar, segment play). The
// defaults are a player without marks: nothing is edited, opening plays the whole file.
#include <QString>
#include <cstdint>

#include "common/player_values.h"
#include "media/mci.h"

namespace player {

class MarksHooks {
  public:
    virtual ~MarksHooks() = default;

    // Marks are being edited (a new file must be confirmed first).
    virtual bool checkDealRng() const { return false; }
    virtual void clearAllMarks() {}
    // The last segment is open (state "start"); closeOpenSegment ends it (mark end).
    virtual bool lastIsOpen() const { return false; }
    virtual void closeOpenSegment() {}
    // A tick at which the position changed while the last segment is open.
    virtual void stretchOpenSegment(int32_t position) { (void)position; }
    // Index of the last segment (-1 when there is none) and of the segment being played.
    virtual int lastIndex() const { return -1; }
    virtual int playingSegment() const { return 0; }
    virtual void playNextRS(int repeatMode, int index) {
        (void)repeatMode;
        (void)index;
    }
    // Marks were edited since the file opened.
    virtual bool marksEdited() const { return false; }
    // After a stop with checkMarks: leave list play mode after mark editing.
    virtual void leaveListModeAfterEditing() {}
    // Starts playing a freshly opened file with its marks text; "" plays it from the start.
    virtual void applyMarksText(MCI& media, const QString& marksText) {
        (void)marksText;
        media.playMCI(0, 0, false, false, false);
    }
    // The mark keys and buttons: "[" and "]", Enter with its modifier mask (Shift 1, Ctrl 2,
    // Alt 4), F2. The window checks the buttons' State and the menu item first.
    virtual void markStart() {}
    virtual void markEnd() {}
    virtual void playMarksForModifiers(int mask) { (void)mask; }
    virtual void goToMarksList() {}

    // Tag of mnuRngEdit.
    virtual RngEditTag rngEditTag() const { return rngEditTag_; }
    virtual void setRngEditTag(RngEditTag t) { rngEditTag_ = t; }

  private:
    RngEditTag rngEditTag_ = RngEditTag::Empty;
};

}  // namespace player
