#include "lists/list_formats.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "common/file_filters.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "items/item_text.h"

namespace lists {

namespace {

struct ListFileKind {
    const char* extension;
    ListFormat format;
};
// Every list-file name the program reads, and how.
constexpr ListFileKind kListKinds[] = {
    {kOwnListExtension, ListFormat::Plt},
    {"pls", ListFormat::Pls},
    {"m3u", ListFormat::M3u},
    {"m3u8", ListFormat::M3u},
    {"asx", ListFormat::Asx},
    {"xspf", ListFormat::Xspf},
};
// What a saved list is offered as besides our own.
constexpr char kOtherPlayersExtension[] = "m3u8";

constexpr Qt::CaseSensitivity kAnyCase = Qt::CaseInsensitive;

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Lower-case scheme of a URL ("http" of "http://…"); "" for a path. One letter before ":" is a
// Windows drive, not a scheme.
QString schemeOf(const QString& s) {
    if (s.isEmpty() || !isAsciiLetter(s[0])) return {};
    qsizetype i = 1;
    while (i < s.size() &&
           (isAsciiLetter(s[i]) || s[i].isDigit() || s[i] == u'+' || s[i] == u'-' || s[i] == u'.'))
        ++i;
    if (i < 2 || i >= s.size() || s[i] != u':') return {};
    return s.left(i).toLower();
}

QString decodeEntities(const QString& s) {
    if (!s.contains(u'&')) return s;
    static const std::pair<QLatin1String, QChar> named[] = {
        {QLatin1String("amp"), u'&'},  {QLatin1String("lt"), u'<'},    {QLatin1String("gt"), u'>'},
        {QLatin1String("quot"), u'"'}, {QLatin1String("apos"), u'\''},
    };
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const qsizetype semi = s[i] == u'&' ? s.indexOf(u';', i + 1) : -1;
        if (semi < 0 || semi - i > 10) {
            out += s[i];
            continue;
        }
        const QString name = s.mid(i + 1, semi - i - 1);
        bool done = false;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x"), kAnyCase)
                                  ? name.mid(2).toUInt(&ok, 16)
                                  : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t c = code;
                out += QString::fromUcs4(&c, 1);
                done = true;
            }
        } else {
            for (const auto& [n, c] : named)
                if (name == n) {
                    out += c;
                    done = true;
                }
        }
        if (done)
            i = semi;
        else
            out += s[i];
    }
    return out;
}

// Where "<name" opens a tag in [from, to): followed by a blank, ">" or "/", so that "<entry"
// does not find "<entryref" nor "<track" "<trackList". -1 when there is none.
qsizetype findTag(const QString& text, QLatin1String name, qsizetype from, qsizetype to) {
    const QString open = u'<' + QString(name);
    for (qsizetype at = text.indexOf(open, from, kAnyCase); at >= 0 && at < to;
         at = text.indexOf(open, at + 1, kAnyCase)) {
        const qsizetype after = at + open.size();
        if (after >= text.size()) return -1;
        const QChar c = text[after];
        if (c.isSpace() || c == u'>' || c == u'/') return at;
    }
    return -1;
}

qsizetype endOf(const QString& text, QLatin1String closing, qsizetype from) {
    const qsizetype at = text.indexOf(closing, from, kAnyCase);
    return at < 0 ? text.size() : at;
}

// The value of attribute name in one tag's text, quoted or not; "" when it is absent.
QString attribute(const QString& tag, QLatin1String name) {
    for (qsizetype at = tag.indexOf(name, 0, kAnyCase); at > 0;
         at = tag.indexOf(name, at + 1, kAnyCase)) {
        if (!tag[at - 1].isSpace()) continue;
        qsizetype i = at + name.size();
        while (i < tag.size() && tag[i].isSpace()) ++i;
        if (i >= tag.size() || tag[i] != u'=') continue;
        ++i;
        while (i < tag.size() && tag[i].isSpace()) ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == u'"' || tag[i] == u'\'') {
            const qsizetype close = tag.indexOf(tag[i], i + 1);
            return close < 0 ? QString() : tag.mid(i + 1, close - i - 1);
        }
        qsizetype e = i;
        while (e < tag.size() && !tag[e].isSpace() && tag[e] != u'>' && tag[e] != u'/') ++e;
        return tag.mid(i, e - i);
    }
    return {};
}

QStringList asxEntries(const QString& text) {
    QStringList out;
    for (qsizetype at = findTag(text, QLatin1String("entry"), 0, text.size()); at >= 0;) {
        const qsizetype end = endOf(text, QLatin1String("</entry"), at);
        // An entry's further refs are stand-ins for the same clip.
        const qsizetype ref = findTag(text, QLatin1String("ref"), at, end);
        if (ref >= 0) {
            const qsizetype close = text.indexOf(u'>', ref);
            const QString tag = text.mid(ref, (close < 0 ? text.size() : close) - ref);
            const QString href = decodeEntities(attribute(tag, QLatin1String("href"))).trimmed();
            if (!href.isEmpty()) out << href;
        }
        at = findTag(text, QLatin1String("entry"), end, text.size());
    }
    return out;
}

QStringList xspfEntries(const QString& text) {
    QStringList out;
    for (qsizetype at = findTag(text, QLatin1String("track"), 0, text.size()); at >= 0;) {
        const qsizetype end = endOf(text, QLatin1String("</track"), at);
        const qsizetype loc = findTag(text, QLatin1String("location"), at, end);
        if (loc >= 0) {
            const qsizetype open = text.indexOf(u'>', loc);
            if (open >= 0 && open < end) {
                const qsizetype close = endOf(text, QLatin1String("</location"), open);
                QString value = text.mid(open + 1, close - open - 1).trimmed();
                if (value.startsWith(QLatin1String("<![CDATA[")) &&
                    value.endsWith(QLatin1String("]]>")))
                    value = value.mid(9, value.size() - 12);
                else
                    value = decodeEntities(value);
                value = value.trimmed();
                if (!value.isEmpty()) out << value;
            }
        }
        at = findTag(text, QLatin1String("track"), end, text.size());
    }
    return out;
}

QStringList plsEntries(const QStringList& lines) {
    QList<std::pair<qint64, QString>> files;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        if (!key.startsWith(QLatin1String("file"), kAnyCase)) continue;
        bool ok = false;
        const qint64 n = key.mid(4).toLongLong(&ok);
        const QString value = line.mid(eq + 1).trimmed();
        if (ok && !value.isEmpty()) files.append({n, value});
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList out;
    for (const auto& f : files) out << f.second;
    return out;
}

QString existingFile(const QString& path, const QString& listFolder) {
    if (path.isEmpty()) return {};
    const QFileInfo fi(QDir::isAbsolutePath(path) ? path : listFolder + path);
    return fi.isFile() ? QDir::cleanPath(fi.absoluteFilePath()) : QString();
}

// An entry that is a plain path, a file URL or an address; percentEncoded: a path without a
// scheme may carry %-escapes (a relative URI).
QString openablePath(const QString& entry, const QString& listFolder, bool percentEncoded) {
    const QString scheme = schemeOf(entry);
    if (scheme == QLatin1String("file")) {
        const QUrl url(entry);
        return url.isLocalFile() ? existingFile(url.toLocalFile(), listFolder) : QString();
    }
    if (!scheme.isEmpty()) return inExtensionList(kUrlSchemeList, scheme) ? entry : QString();
    QStringList tries{entry};
    if (percentEncoded) tries << QUrl::fromPercentEncoding(entry.toUtf8());
    // Lists written on Windows separate folders with "\".
    for (qsizetype i = 0, n = tries.size(); i < n; ++i)
        if (tries[i].contains(u'\\')) tries << QString(tries[i]).replace(u'\\', u'/');
    for (const QString& t : tries)
        if (const QString path = existingFile(t, listFolder); !path.isEmpty()) return path;
    return {};
}

}  // namespace

std::optional<ListFormat> listFormatOf(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    for (const ListFileKind& k : kListKinds)
        if (ext == QLatin1String(k.extension)) return k.format;
    return std::nullopt;
}

bool isListFile(const QString& path) { return listFormatOf(path).has_value(); }

QStringList listFileExtensions() {
    QStringList out;
    for (const ListFileKind& k : kListKinds) out << QString::fromLatin1(k.extension);
    return out;
}

QString ownListFilter() {
    return fileFilter(QStringLiteral("預設清單檔"), {QString::fromLatin1(kOwnListExtension)});
}

QString listImportFilter() {
    return fileFilter(QStringLiteral("支援的清單檔"), listFileExtensions());
}

QString listSaveFilter() {
    const QString other = QString::fromLatin1(kOtherPlayersExtension);
    return joinFilters(
        {ownListFilter(), fileFilter(other.toUpper() + QStringLiteral(" 清單檔"), {other})});
}

QStringList listFileContent(const QString& path, const QStringList& itemTexts) {
    return listFormatOf(path) == ListFormat::M3u ? m3u8Lines(itemTexts) : itemTexts;
}

QStringList listEntries(ListFormat format, const QString& text) {
    switch (format) {
        case ListFormat::Asx:
            return asxEntries(text);
        case ListFormat::Xspf:
            return xspfEntries(text);
        case ListFormat::Pls:
            return plsEntries(splitLines(text));
        case ListFormat::Plt:
        case ListFormat::M3u:
            break;
    }
    QStringList out;
    for (const QString& line : splitLines(text)) {
        const QString t = line.trimmed();
        if (t.isEmpty() || (format == ListFormat::M3u && t.startsWith(u'#'))) continue;
        out << t;
    }
    return out;
}

QString openableItem(ListFormat format, const QString& entry, const QString& listFolder) {
    if (entry.isEmpty()) return {};
    const bool uri = format == ListFormat::Asx || format == ListFormat::Xspf;
    if (const QString whole = openablePath(entry, listFolder, uri); !whole.isEmpty()) return whole;
    if (format != ListFormat::Plt) return {};
    const items::ItemParts parts = items::splitItemText(entry);
    if (parts.marks.isEmpty()) return {};
    const QString path = openablePath(parts.path, listFolder, false);
    return path.isEmpty() ? QString() : items::joinItemText(path, parts.marks);
}

QStringList readListFile(const QString& path) {
    const std::optional<ListFormat> format = listFormatOf(path);
    if (!format) return {};
    const QString folder = addSlash(QFileInfo(path).absolutePath());
    QStringList out;
    for (const QString& entry : listEntries(*format, readTextFile(path).text))
        if (const QString item = openableItem(*format, entry, folder); !item.isEmpty()) out << item;
    return out;
}

QStringList m3u8Lines(const QStringList& itemTexts) {
    QStringList out{QStringLiteral("#EXTM3U")};
    for (const QString& text : itemTexts) {
        const QString path = items::splitItemText(text).path;
        if (path.isEmpty()) continue;
        const QString title = isUrl(path) ? path : QFileInfo(path).completeBaseName();
        out << QStringLiteral("#EXTINF:-1,") + title << path;
    }
    return out;
}

}  // namespace lists
