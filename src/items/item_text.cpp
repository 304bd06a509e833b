#include "items/item_text.h"

#include <QFileInfo>
#include <QStringList>
#include <limits>

namespace items {

QString formatMarksText(const std::vector<MarkPair>& pairs) {
    QStringList parts;
    parts.reserve(static_cast<qsizetype>(pairs.size()));
    for (const MarkPair& p : pairs)
        parts << QString::number(p.start) + u'-' + QString::number(p.end);
    return parts.join(u' ');
}

namespace {

// Plain decimal digits only (no sign, no blanks), within 32 bits.
std::optional<int32_t> readUnits(QStringView s) {
    if (s.isEmpty() || s.size() > 10) return std::nullopt;
    int64_t v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    if (v > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(v);
}

}  // namespace

std::optional<std::vector<MarkPair>> parseMarksText(const QString& text) {
    std::vector<MarkPair> pairs;
    if (text.isEmpty()) return pairs;
    for (QStringView pair : QStringView(text).split(u' ')) {
        const qsizetype dash = pair.indexOf(u'-');
        if (dash < 0 || pair.indexOf(u'-', dash + 1) >= 0) return std::nullopt;
        const auto s = readUnits(pair.left(dash));
        const auto e = readUnits(pair.mid(dash + 1));
        if (!s || !e || *e <= *s) return std::nullopt;
        pairs.push_back({*s, *e});
    }
    return pairs;
}

ItemParts splitItemText(const QString& itemText) {
    const qsizetype at = itemText.lastIndexOf(kItemSeparator);
    if (at < 0) return {itemText, {}};
    // "odd∥name.flv" is a file name, not a path with marks "name.flv".
    const QString marks = itemText.mid(at + 1);
    if (!parseMarksText(marks) || QFileInfo::exists(itemText)) return {itemText, {}};
    return {itemText.left(at), marks};
}

QString withoutQuotes(const QString& text) {
    if (!text.contains(u'"')) return text;
    if (QFileInfo::exists(text) || QFileInfo::exists(splitItemText(text).path)) return text;
    QString unquoted = text;
    unquoted.remove(u'"');
    return unquoted;
}

QString joinItemText(const QString& path, const QString& marks) {
    if (marks.isEmpty()) return path;
    return path + kItemSeparator + marks;
}

}  // namespace items
