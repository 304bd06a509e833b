#include "player/capture/capture_picture.h"

#include <QPainter>
#include <QSaveFile>

#include "common/file_filters.h"
#include "common/file_object.h"

namespace player::capture {

QSize panelSize(QSize videoArea) {
    return {qMax(videoArea.width(), 0) + 2, qMax(videoArea.height(), 0) + 2};
}

QImage composePanel(const QImage& shownArea, QSize videoArea, QColor background) {
    QImage panel(panelSize(videoArea), QImage::Format_RGB32);
    panel.fill(background);
    if (!shownArea.isNull()) {
        QPainter p(&panel);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        // Only the video area is copied, whatever size the source image has.
        p.drawImage(QPoint(0, 0), shownArea, QRect(QPoint(0, 0), videoArea));
    }
    return panel;
}

QString defaultSaveName(const QString& mediaPath) {
    return fso().GetBaseName(mediaPath) + QStringLiteral("_pic.bmp");
}

SaveDialogSettings saveDialogSettings(const QString& defaultName, const QString& saveFolder) {
    SaveDialogSettings s;
    s.filter = joinFilters({fileFilter(QStringLiteral("BMP 圖檔格式"), {QStringLiteral("bmp")}),
                            fileFilter(QStringLiteral("PNG 圖檔格式"), {QStringLiteral("png")})});
    s.filterIndex = 1;
    s.defaultExt = QStringLiteral(".bmp");
    s.fileName = defaultName;
    s.initDir = saveFolder;
    return s;
}

PictureFormat formatForPath(const QString& path) {
    return path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? PictureFormat::Png
                                                                      : PictureFormat::Bmp;
}

std::optional<QString> writePicture(const QImage& picture, const QString& path) {
    if (picture.isNull()) return QStringLiteral("no picture");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    // Without an alpha channel Qt writes a 24-bit BMP with no compression.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const char* format = formatForPath(path) == PictureFormat::Png ? "PNG" : "BMP";
    if (!rgb.save(&file, format)) {
        file.cancelWriting();
        return QStringLiteral("the picture could not be encoded");
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace player::capture
