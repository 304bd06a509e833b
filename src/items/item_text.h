#pragma once
// The text forms in which segments travel between the windows and the list store: the marks
// text ("250-1200 3000-4500") and the item text (path, optionally "∥" + marks text).
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace items {

// U+2225 PARALLEL TO: separates an item's path from its marks text.
inline constexpr QChar kItemSeparator{u'\u2225'};

struct MarkPair {
    int32_t start = 0;
    int32_t end = 0;
    bool operator==(const MarkPair&) const = default;
};

// "s1-e1 s2-e2 …": decimal integers, one space between pairs, nothing around them.
QString formatMarksText(const std::vector<MarkPair>& pairs);

// The pairs of a marks text. An empty text gives no pairs. Anything the program never
// writes (a pair without "-", a number that is not plain digits, an end not after its
// start, an empty pair from doubled or outer spaces) gives nullopt: the whole text is refused.
std::optional<std::vector<MarkPair>> parseMarksText(const QString& text);

struct ItemParts {
    QString path;
    QString marks;  // empty: the item carries no marks
};

// Splits at the last "∥": a path may itself contain the character, the marks text never does.
// The whole text is the path when what follows "∥" is not marks text, or when the whole text
// names an existing file.
ItemParts splitItemText(const QString& itemText);

// The text with every double quote removed (a quoted path with blanks), unless the text as
// given, or its path part, names an existing file: quotes are legal in file names.
QString withoutQuotes(const QString& text);

// path, or path + "∥" + marks when there are marks.
QString joinItemText(const QString& path, const QString& marks);

}  // namespace items
