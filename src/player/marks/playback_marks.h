#pragma once
// What the playback side of the player window asks of the marks (segments, segment play, the
// mark keys). MarksController is the real one; the defaults are a player without marks:
// nothing is edited, opening plays the whole file.
#include <QString>
#include <cstdint>

#include "common/player_values.h"
#include "media/mci.h"

namespace marks {

// A segment play runs once or loops over its segment.
enum class SegmentRepeat { Once, Loop };

class PlaybackMarks {
  public:
    virtual ~PlaybackMarks() = default;

    // Marks are being edited (a new file must be confirmed first).
    virtual bool checkDealRng() const { return false; }
    virtual void clearAllMarks() {}
    // The last segment is open (state "start"); markEnd closes it.
    virtual bool lastIsOpen() const { return false; }
    // A tick at which the position changed while the last segment is open.
    virtual void stretchOpenSegment(int32_t position) { (void)position; }
    // Index of the last segment (-1 when there is none) and of the segment being played.
    virtual int lastIndex() const { return -1; }
    virtual int playingSegment() const { return 0; }
    // The end of a segment play goes on with the segment at index.
    virtual void playNextSegment(SegmentRepeat repeat, int index) {
        (void)repeat;
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

}  // namespace marks
