#include "tools/snapshot/snapshot_plan.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <array>

#include "common/time_code.h"
#include "tools/ffmpeg_batch.h"

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

namespace {

// Extensions a picture file is known by; one of these typed for another type is a slip.
bool isPictureExt(const QString& ext) {
    static const std::array kKnown = {"jpg", "jpeg", "jpe",  "png", "gif",
                                      "bmp", "tif",  "tiff", "webp"};
    for (const char* k : kKnown)
        if (ext == QLatin1String(k)) return true;
    return false;
}

bool extFitsType(const QString& ext, PictureType type) {
    if (type == PictureType::Jpg)
        return ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") ||
               ext == QLatin1String("jpe");
    return ext == typeExt(type);
}

// ffmpeg's encoder of each type: image2 guesses by the file name and writes JPEG for ".gif".
QString encoderOf(PictureType type) {
    switch (type) {
        case PictureType::Jpg:
            return QStringLiteral("mjpeg");
        case PictureType::Png:
            return QStringLiteral("png");
        case PictureType::Gif:
            return QStringLiteral("gif");
    }
    return QStringLiteral("mjpeg");
}

}  // namespace

QString pictureFileName(const QString& path, PictureType type) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > 0 ? name.mid(dot + 1).toLower() : QString();
    if (extFitsType(ext, type)) return path;
    const QString stem = isPictureExt(ext) ? name.left(dot) : name;
    const qsizetype cut = path.size() - name.size();
    return path.left(cut) + stem + QLatin1Char('.') + typeExt(type);
}

QString tempPictureName(const QString& ext) { return tempPictureName(ext, 0); }

QString tempPictureName(const QString& ext, int index) {
    return QStringLiteral("~tmpSP%1.%2").arg(index + 1, 3, 10, QLatin1Char('0')).arg(ext);
}

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
    const bool gif = type == PictureType::Gif;
    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"),
                     QStringLiteral("-y"), QStringLiteral("-loglevel"), QStringLiteral("error")};
    if (seekOnInput) args << QStringLiteral("-ss") << timeText(seconds);
    args << QStringLiteral("-i") << tools::ffmpegFile(source);
    // An output seek filters every frame before it: the GIF's palette filter would run on
    // each, so its seek is a trim in front of that filter instead.
    if (!seekOnInput && !gif) args << QStringLiteral("-ss") << timeText(seconds);
    args << QStringLiteral("-map") << QStringLiteral("0:V:0") << QStringLiteral("-frames:v")
         << QStringLiteral("1") << QStringLiteral("-c:v") << encoderOf(type);
    // A JPEG at ffmpeg's default quantiser is visibly blocky; 2 is near its best.
    if (type == PictureType::Jpg) args << QStringLiteral("-q:v") << QStringLiteral("2");
    // GIF has 256 colours: a palette made from this picture, not the fixed 3-3-2 one.
    if (gif) {
        const QString trim =
            seekOnInput ? QString()
                        : QStringLiteral("trim=start=") + timeText(seconds) + QLatin1Char(',');
        args << QStringLiteral("-vf")
             << trim + QStringLiteral(
                           "split[a][b];[a]palettegen=stats_mode=single[p];"
                           "[b][p]paletteuse=new=1");
    }
    args << QStringLiteral("-f") << QStringLiteral("image2") << QStringLiteral("-update")
         << QStringLiteral("1") << tools::ffmpegFile(tempPath);
    return tools::ffmpegCommand(ffmpeg, args);
}

std::vector<double> pictureStepWeights(int count) {
    constexpr double kMoveOnly = 0.001;
    std::vector<double> weights(static_cast<size_t>(std::max(0, count)), kMoveOnly);
    for (int first = 0; first < count; first += kPicturesPerRun)
        weights[static_cast<size_t>(first)] = std::min(kPicturesPerRun, count - first);
    return weights;
}

tools::Command picturesCommand(const QString& ffmpeg, const QString& source,
                               const std::vector<double>& times, PictureType type,
                               const QStringList& tempPaths) {
    std::vector<tools::Command> runs;
    for (size_t k = 0; k < times.size() && k < static_cast<size_t>(tempPaths.size()); ++k)
        runs.push_back(
            pictureCommand(ffmpeg, source, times[k], type, tempPaths[static_cast<qsizetype>(k)]));
    return tools::batchRuns(runs);
}

}  // namespace snapshot
