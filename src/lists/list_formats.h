#pragma once
// Play list files as other players write them (.m3u, .m3u8, .pls, .asx, .xspf) and as we do
// (.plt: one item text per line, marks kept): which names are list files, the dialog filters
// that offer them, reading them into the items the player can open and writing a .plt or an
// .m3u8 another player opens. Plain functions, no widgets.
#include <QString>
#include <QStringList>
#include <optional>

namespace lists {

enum class ListFormat { Plt, M3u, Pls, Asx, Xspf };

// By the file's extension (any case): plt, pls, m3u, m3u8, asx, xspf.
std::optional<ListFormat> listFormatOf(const QString& path);
bool isListFile(const QString& path);
// The list-file extensions in the order the dialogs name them.
QStringList listFileExtensions();

// Our own list file: its extension and its filter ("預設清單檔 (*.plt)").
inline constexpr char kOwnListExtension[] = "plt";
QString ownListFilter();
// The filter of the dialog that adds a list file: every kind read.
QString listImportFilter();
// The filter of the dialog that saves a list: ours first, then the .m3u8 for other players.
QString listSaveFilter();

// The lines a list file at path holds for the items: .m3u8 (or .m3u) lines for other players,
// else the item texts as they are (.plt).
QStringList listFileContent(const QString& path, const QStringList& itemTexts);

// The entries as the list holds them, in list order, trimmed, nothing resolved: .plt and .m3u
// lines that are not empty (for .m3u not "#" directives or comments), .pls FileN values in N
// order, the first ref of each .asx entry, the location of each .xspf track (XML entities
// decoded).
QStringList listEntries(ListFormat format, const QString& text);

// The item an entry stands for, or "" when it is neither an existing file nor an address the
// player opens: file:// URLs become paths, relative paths are taken from listFolder (ending in
// "/"), names with "\" are tried with "/" too. A .plt entry keeps its marks.
QString openableItem(ListFormat format, const QString& entry, const QString& listFolder);

// The openable items of a list file, in list order; what was read before an error counts.
QStringList readListFile(const QString& path);

// A .m3u8 of the items (marks left out): #EXTM3U, then #EXTINF with the file's name as title
// and the path.
QStringList m3u8Lines(const QStringList& itemTexts);

}  // namespace lists
