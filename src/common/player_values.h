#pragma once
// The player's states and modes, shared by the player window, its marks and the list window.
// The underlying numbers are the ones the settings file and the list store carry; the code
// itself compares names only.

// The player's playState.
enum class PlayState { Playing = 1, Paused = 4, Stopped = 5 };  // Stopped: or nothing open

// What follows when the current file stops (continueMode).
enum class ContinueMode {
    None = 0,
    PlayList = 2,    // the play list carries on
    SingleFile = 3,  // a single file was opened on its own
};

// Play mode of the play lists, in the order of their option buttons.
enum class ListPlayMode {
    Once = 0,        // play each file once
    LoopFile = 1,    // repeat the current file
    LoopList = 2,    // repeat the list
    RandomList = 3,  // random order
};

// The list carries on after the current file on its own (it loops or shuffles).
constexpr bool listRunsOn(ListPlayMode m) {
    return m == ListPlayMode::LoopList || m == ListPlayMode::RandomList;
}

// Tag of mnuRngEdit: whether a single-file play request came in while marks were being edited.
enum class RngEditTag { Empty, SingleFileRequest };
