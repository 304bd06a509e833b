#pragma once
// Texts every window shares: the line end of message texts and the captions of the message
// boxes. One spelling each, so a caption cannot drift between windows.
#include <QString>

namespace texts {

// Message texts are written with CR LF; the prompts turn them into what Qt shows.
inline const QString kCrLf = QStringLiteral("\r\n");

// The program's own caption: its windows and a message box given no title.
inline const QString kProgramTitle = QStringLiteral("Lumba.FLV");
inline const QString kErrorTitle = QStringLiteral("錯誤訊息");
inline const QString kNoticeTitle = QStringLiteral("注意事項");

// Where a saved segment really starts when that is not its start mark (the keyframe a copy
// must begin at), after the segment's line in the marks bar's tooltip and the segment editor.
inline QString copyStartNote(const QString& copyStartText) {
    return QStringLiteral("（實際從 ") + copyStartText + QStringLiteral(" 開始）");
}

}  // namespace texts
