#pragma once
// mdlLineFormat: the display lines of the play lists. A list box shows, per item, TAB-separated
// columns chosen by the line format (setting LineFmt); the item text (path, optionally "∥" and
// marks text) is rebuilt from a line, also after the format changed, because each list box
// keeps in its tag the format its lines were made with.
#include <QList>
#include <QString>

namespace mdlLineFormat {

// What the operations need of a list box; the list window implements it.
class LineListBox {
  public:
    virtual ~LineListBox() = default;
    virtual int count() const = 0;
    virtual QString line(int index) const = 0;
    virtual void setLine(int index, const QString& text) = 0;
    virtual int selectedIndex() const = 0;  // -1 when none
    virtual QString tag() const = 0;
    virtual void setTag(const QString& tag) = 0;
    // Tab stops in dialog units, one per column.
    virtual void setTabStops(const QList<int>& stops) = 0;
    virtual void setHorizontalExtent(int pixels) = 0;
    virtual int textWidth(const QString& text) const = 0;  // pixels in the list's font
    virtual void redraw() {}
};

// The current format (setting LineFmt): 0 folder/name then marks, 1 name, folder, marks,
// 2 name, marks, folder.
int lineFormat();
void setLineFormat(int format);

// Captions of the three formats, in format order.
QString formatCaption(int format);

// "標記 " + marks text, or "無標記".
QString markLabel(const QString& marksText);

struct DisplayLine {
    QString line;
    QString path;
    QString marks;
};
// The line of an item for the current format; an empty path gives an empty line.
DisplayLine itemDisplayLine(const QString& itemText);
DisplayLine itemDisplayLine(const QString& itemText, int format);

// The item text of line index (index < 0: the selected line), "" when there is none.
QString itemTextFromLine(const LineListBox& list, int index);

struct PathAndMarks {
    QString path;
    QString marks;
};
PathAndMarks itemPathAndMarks(const LineListBox& list, int index);

// Rebuilds every line for the current format, records it in the tag, sets the extent.
void refreshListLines(LineListBox& list, bool playListsShown);

// Width of a text in bytes of its code page 950 form (a CJK character counts 2).
int cp950Width(const QString& text);
// Sets one tab stop per column from the widest cell of each column; returns the last stop.
int setListTabStops(LineListBox& list, int columns);
int lineColumnCount();
// playListsShown: the list window shows its first work area (the play lists).
void setListExtent(LineListBox& list, bool playListsShown);

}  // namespace mdlLineFormat
