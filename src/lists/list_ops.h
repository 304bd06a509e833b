#pragma once
// The play-list operations that need no window: the order changes, what a drop brings, the
// item tooltip, which list buttons are usable and the index arithmetic of playing through a
// list. The list window applies them to its lists.
#include <QString>
#include <QStringList>
#include <random>

#include "common/player_values.h"

class QMimeData;

namespace lists {

// Ascending, comparing the keys without regard to case; equal keys keep their order.
// Returns the permutation: result[k] is the old index of the item now at k.
QList<int> caselessOrder(const QStringList& keys);

// Every order equally likely (Fisher-Yates over one generator seeded once).
void shuffleItems(QStringList& items, std::mt19937& generator);

// The generator the list window draws from: seeded once from the clock and the device.
std::mt19937& listRandom();

// A whole number in [0, n); -1 when n < 1.
int randomIndex(int n, std::mt19937& generator);

// What a drop brings, in the order the items are added (last dropped first): file URLs, or
// else the text's lines; only names of existing files, made absolute from the program's
// current folder, with the drive letter fixed.
QStringList droppedFiles(const QMimeData& data);

// path + " ( N KB )" (N the size in KB rounded up), path + " ( 不存在 )" for a missing
// file, an address alone; "" for an empty path.
QString itemToolTip(const QString& path);

// Which list buttons act on a list of n items with selected index (-1: none).
struct ListButtons {
    bool oneItem = false;    // play, go to file list, save, remove and the like: n >= 1
    bool manyItems = false;  // reverse, shuffle, sort, random play: n >= 2
    bool moveUp = false;     // selected >= 1
    bool moveDown = false;   // 0 <= selected < n - 1
};
ListButtons listButtons(int n, int selected);

// The index after i in direction d (+1 next, anything else previous) in a list of n items,
// wrapping around; -1 when there is no valid index (an empty list, previous with nothing
// selected).
int stepIndex(int d, int i, int n);

// What follows the end of a file or a previous/next press.
enum class Advance {
    Nothing,  // leave the list play state as set
    Replay,   // the selected item again
    Step,     // stepIndex, then play
    Random,   // a random item, then play
};

struct AdvanceStep {
    Advance action = Advance::Nothing;
    ContinueMode state = ContinueMode::None;  // the list play state afterwards
};

// playNextItem's decision for a source of n items: forced (a button press) plays on as the
// looping list does, whatever the mode.
AdvanceStep advanceStep(ContinueMode state, bool forced, ListPlayMode mode, int n);

}  // namespace lists
