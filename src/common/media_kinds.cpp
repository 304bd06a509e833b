#include "common/media_kinds.h"

#include "common/file_object.h"
#include "common/globals.h"
#include "common/host.h"

namespace {

QString extensionOf(const QString& path, bool bareExtension) {
    QString p = path.trimmed();
    if (bareExtension && !p.contains(u'.')) p = QStringLiteral("x.") + p;
    return splitPath(p).extension;
}

QString orPlaying(const QString& path) { return path.isEmpty() ? appHost().playingFile() : path; }

}  // namespace

QString editableList() { return kEditableBaseList + MoreFormats; }

bool inExtensionList(const QString& list, const QString& e) {
    // ";" inside e would match across fields ("flv;mpg"), and an empty e would match the
    // ";;" where MoreFormats joins the editable list.
    if (e.isEmpty() || e.contains(u';')) return false;
    return list.contains(u';' + e.toLower() + u';');
}

bool isMediaFile(const QString& path) {
    return inExtensionList(kPlayableList, extensionOf(path, true));
}

bool isAudioFile(const QString& path) {
    return inExtensionList(kAudioList, extensionOf(path, true));
}

bool isEditableFile(const QString& path) {
    return inExtensionList(editableList(), extensionOf(orPlaying(path), true));
}

bool isUrl(const QString& text) {
    const QString t = orPlaying(text);
    const qsizetype colon = t.indexOf(u':');
    if (colon < 1) return false;
    return inExtensionList(kUrlSchemeList, t.left(colon));
}

bool isMoreFormatsOn() {
    if (ProgramFolder.isEmpty()) return false;
    return fso().FileExists(ProgramFolder + kMoreFormatsMarker);
}
