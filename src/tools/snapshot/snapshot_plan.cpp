#include "tools/snapshot/snapshot_plan.h"

#include <QStringList>

#include "common/time_code.h"

namespace snapshot {

QString typeText(PictureType t) {
    switch (t) {
        case PictureType::Jpg:
            return QStringLiteral("JPG");
        case PictureType::Png:
            return QStringLiteral("PNG");
        case PictureType::Gif:
            return QStringLiteral("GIF");
    }
    return QStringLiteral("JPG");
}

QString typeExt(PictureType t) { return typeText(t).toLower(); }

QString tempPictureName(const QString& ext) { return QStringLiteral("~tmpSP001.") + ext; }

QString seriesName(int index, const QString& ext) {
    return QStringLiteral("snapshot_%1.%2").arg(index + 1, 3, 10, QLatin1Char('0')).arg(ext);
}

QString timeText(double seconds) { return secToText(seconds, 0, 3); }

tools::Command pictureCommand(const QString& ffmpeg, const QString& source, double seconds,
                              PictureType type, const QString& tempPath) {
    // Seeking on the input to a time before the first picture (an H.264 FLV whose sound
    // starts at 0 and whose pictures start a few frames later) lands on the next keyframe,
    // seconds too late. Near the start, decoding from the beginning costs little and is exact.
    const bool seekOnInput = seconds >= kDecodeFromStartBelow;
    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"),
                     QStringLiteral("-y"), QStringLiteral("-loglevel"), QStringLiteral("error")};
    if (seekOnInput) args << QStringLiteral("-ss") << timeText(seconds);
    args << QStringLiteral("-i") << tools::ffmpegFile(source);
    if (!seekOnInput) args << QStringLiteral("-ss") << timeText(seconds);
    args << QStringLiteral("-map") << QStringLiteral("0:V:0") << QStringLiteral("-frames:v")
         << QStringLiteral("1");
    // A JPEG at ffmpeg's default quantiser is visibly blocky; 2 is near its best.
    if (type == PictureType::Jpg) args << QStringLiteral("-q:v") << QStringLiteral("2");
    args << QStringLiteral("-f") << QStringLiteral("image2") << QStringLiteral("-update")
         << QStringLiteral("1") << tools::ffmpegFile(tempPath);
    return tools::ffmpegCommand(ffmpeg, args);
}

}  // namespace snapshot
