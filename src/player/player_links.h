#pragma once
// The player's links to the list window and to the marks, shared by its controllers. The
// application wires the list in and the window its marks; until then the defaults behave as
// an empty play list and a player without marks.
#include "common/player_list_link.h"
#include "player/marks/playback_marks.h"

namespace player {

class PlayerLinks {
  public:
    PlayerListLink& list() const { return *list_; }
    marks::PlaybackMarks& marks() const { return *marks_; }
    // nullptr restores the default.
    void setList(PlayerListLink* link) { list_ = link ? link : &noList_; }
    void setMarks(marks::PlaybackMarks* marks) { marks_ = marks ? marks : &noMarks_; }

  private:
    PlayerListLink noList_;
    marks::PlaybackMarks noMarks_;
    PlayerListLink* list_ = &noList_;
    marks::PlaybackMarks* marks_ = &noMarks_;
};

}  // namespace player
