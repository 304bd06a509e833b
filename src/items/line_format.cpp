#include "items/line_format.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "common/cp950.h"
#include "common/file_object.h"
#include "common/paths.h"
#include "items/item_text.h"

namespace mdlLineFormat {

namespace {

int gLineFormat = 0;
const QString kNoMarks = QStringLiteral("無標記");
const QString kMarksLead = QStringLiteral("標記 ");

int formatOf(const LineListBox& list) {
    const QString tag = list.tag();
    if (tag.isEmpty()) return gLineFormat;
    bool ok = false;
    const int f = tag.toInt(&ok);
    return ok ? f : -1;
}

QString folderOf(const QString& path) {
    return fixDriveLetter(addSlash(fso().GetParentFolderName(path)));
}

struct Columns {
    QString path;   // folder + name
    QString marks;  // marks text without "∥"
    bool valid = false;
};

Columns columnsOf(const LineListBox& list, int index) {
    Columns out;
    if (index < 0) index = list.selectedIndex();
    if (index < 0 || index >= list.count()) return out;
    const int format = formatOf(list);
    if (format < 0 || format > 2) return out;
    const QStringList cols = list.line(index).split(u'\t');
    const auto col = [&cols](int i) { return i < cols.size() ? cols[i] : QString(); };
    QString mark = col(format == 1 ? 2 : 1);
    if (mark == kNoMarks)
        mark.clear();
    else if (mark.startsWith(kMarksLead))
        mark = mark.mid(kMarksLead.size());
    out.marks = mark;
    out.path = format == 0 ? col(0) : col(format == 1 ? 1 : 2) + col(0);
    out.valid = true;
    return out;
}

}  // namespace

int lineFormat() { return gLineFormat; }
void setLineFormat(int format) { gLineFormat = format; }

QString formatCaption(int format) {
    switch (format) {
        case 0:
            return QStringLiteral("目錄 → 檔名 → 標記");
        case 1:
            return QStringLiteral("檔名 → 目錄 → 標記");
        case 2:
            return QStringLiteral("檔名 → 標記 → 目錄");
        default:
            return {};
    }
}

QString markLabel(const QString& marksText) {
    return marksText.isEmpty() ? kNoMarks : kMarksLead + marksText;
}

DisplayLine itemDisplayLine(const QString& itemText) {
    return itemDisplayLine(itemText, gLineFormat);
}

DisplayLine itemDisplayLine(const QString& itemText, int format) {
    const items::ItemParts parts = items::splitItemText(itemText);
    DisplayLine out{{}, parts.path, parts.marks};
    if (parts.path.isEmpty()) return out;
    const QString label = markLabel(parts.marks);
    const QString name = fso().GetFileName(parts.path);
    const QString folder = folderOf(parts.path);
    const QChar tab = u'\t';
    switch (format) {
        case 0:
            out.line = parts.path + tab + label;
            break;
        case 1:
            out.line = name + tab + folder + tab + label;
            break;
        case 2:
            out.line = name + tab + label + tab + folder;
            break;
        default:
            break;
    }
    return out;
}

QString itemTextFromLine(const LineListBox& list, int index) {
    const Columns c = columnsOf(list, index);
    if (!c.valid) return {};
    return items::joinItemText(c.path, c.marks);
}

PathAndMarks itemPathAndMarks(const LineListBox& list, int index) {
    const Columns c = columnsOf(list, index);
    return {c.path, c.marks};
}

void refreshListLines(LineListBox& list, bool playListsShown) {
    for (int i = 0; i < list.count(); ++i)
        list.setLine(i, itemDisplayLine(itemTextFromLine(list, i)).line);
    list.setTag(QString::number(gLineFormat));
    setListExtent(list, playListsShown);
}

int cp950Width(const QString& text) {
    if (text.isEmpty()) return 0;
    return static_cast<int>(encodeCp950(text).size());
}

int setListTabStops(LineListBox& list, int columns) {
    if (columns <= 0) return 0;
    QList<int> widths(columns, 0);
    for (int i = 0; i < list.count(); ++i) {
        const QStringList cells = list.line(i).split(u'\t');
        for (int c = 0; c < columns && c < cells.size(); ++c)
            widths[c] = std::max(widths[c], cp950Width(cells[c]));
    }
    QList<int> stops;
    int sum = 0;
    for (int c = 0; c < columns; ++c) {
        sum += (widths[c] + 6) * 4;
        stops << sum;
    }
    list.setTabStops(stops);
    return sum;
}

int lineColumnCount() {
    switch (gLineFormat) {
        case 0:
            return 2;
        case 1:
        case 2:
            return 3;
        default:
            return 0;
    }
}

void setListExtent(LineListBox& list, bool playListsShown) {
    int extent = 0;
    if (playListsShown) {
        const int last = setListTabStops(list, lineColumnCount());
        // nearbyint rounds halves to even in the default rounding mode.
        extent = static_cast<int>(std::nearbyint(last * 6.0 / 4.0)) - 30;
    } else {
        int widest = 0;
        for (int i = 0; i < list.count(); ++i)
            widest = std::max(widest, list.textWidth(list.line(i)));
        extent = widest + 10;
    }
    list.setHorizontalExtent(extent);
    list.redraw();
}

}  // namespace mdlLineFormat
