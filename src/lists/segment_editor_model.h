#pragma once
// The segment editor without its widgets: the lines, the selected line, the two time boxes,
// the total length and which buttons are usable, changed by the five buttons and by clicks
// on the lines exactly as the editor window shows them.
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "lists/segment_editor_lines.h"

namespace lists {

// The cmdSSt buttons, by their index.
enum class EditorButton { Add = 0, Modify = 1, Remove = 2, MoveUp = 3, MoveDown = 4 };
inline constexpr int kEditorButtonCount = 5;

struct EditorButtons {
    bool modify = false;
    bool remove = false;
    bool moveUp = false;
    bool moveDown = false;
};

// cmdApply and cmdLoad (checkCmdRng).
struct ReloadApply {
    bool apply = false;  // a line to apply, or marks to clear
    bool load = false;   // the player has marks to reload
};
ReloadApply reloadApplyState(int lineCount, bool marksBarVisible);

class SegmentEditorModel {
  public:
    SegmentEditorModel();  // one line "　從 00:00:00.00 到 00:00:00.00", nothing selected

    const QStringList& lines() const { return lines_; }
    int selected() const { return selected_; }  // -1: none
    const EditorButtons& buttons() const { return buttons_; }

    // The two time boxes and lblTtTime.
    QString startText = kZeroTimeText;
    QString endText = kZeroTimeText;
    QString totalText = kZeroTimeText;

    // A button (nullopt: refresh only). Add and modify check the boxes first; a refused range
    // leaves the lines and the typed boxes as they are and says why.
    RangeError click(std::optional<EditorButton> button, float secondsPerUnit);
    // The user selected a line (-1: none); the boxes show its times.
    void selectLine(int index, float secondsPerUnit);
    // loadMark: the total length and one line per segment; the first line selected.
    void load(const QString& total, const std::vector<LineTimes>& segments, float secondsPerUnit);
    // The keyframes became known after load: the lines that still show a segment's times get
    // its copy-start note; typed or changed lines stay as they are.
    void refreshNotes(const std::vector<LineTimes>& segments, float secondsPerUnit);
    // Every line in position units, -1 twice for a line that cannot be read.
    std::vector<std::pair<float, float>> spans(float secondsPerUnit) const;
    // The selected line's span rounded to position units; nullopt when it cannot be read.
    std::optional<std::pair<int, int>> selectedSpan(float secondsPerUnit) const;

  private:
    void swapLines(int a, int b);
    void lineClick(float secondsPerUnit);

    QStringList lines_;
    int selected_ = -1;
    EditorButtons buttons_;
};

}  // namespace lists
