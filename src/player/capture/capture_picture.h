#pragma once
// The captured picture as plain data: the panel it is kept in, the name it is offered under,
// the save dialog's settings and the write of the file.
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace player::capture {

// The panel holds the video area with a 2-pixel margin on the right and at the bottom.
QSize panelSize(QSize videoArea);

// The panel's picture: background everywhere, the shown area copied to its top-left corner.
QImage composePanel(const QImage& shownArea, QSize videoArea, QColor background);

// Base name of the media path + "_pic.bmp" ("clip.flv" -> "clip_pic.bmp").
QString defaultSaveName(const QString& mediaPath);

// What the save dialog of the capture window is given.
struct SaveDialogSettings {
    QString filter;  // file_filters.h
    int filterIndex = 1;
    QString defaultExt;
    QString fileName;
    QString initDir;
};
// saveFolder: getSaveFolder of the media path.
SaveDialogSettings saveDialogSettings(const QString& defaultName, const QString& saveFolder);

enum class PictureFormat { Bmp, Png };
// PNG for a name ending in ".png" (any case), else an uncompressed BMP.
PictureFormat formatForPath(const QString& path);

// Writes picture to path in the format its name asks for. The file is replaced in one step,
// so a failed write leaves an existing file as it was. The reason on failure.
std::optional<QString> writePicture(const QImage& picture, const QString& path);

}  // namespace player::capture
