#include "tools/join/stream_compare.h"

#include <QRegularExpression>
#include <array>
#include <cmath>

#include "common/texts.h"

namespace join {

namespace {

const QString kNone = QStringLiteral("無");

// Rates as a person writes them: 25, 29.97, 23.976.
QString rateText(double fps) {
    const double rounded = std::round(fps * 1000) / 1000;
    return QString::number(rounded, 'f', 3).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

}  // namespace

StreamSummary summarize(const MediaTracks& t) {
    StreamSummary s;
    s.duration = t.duration;
    for (const MediaTrack& k : t.tracks) {
        if (k.kind == MediaTrack::Kind::Video && !k.albumArt && !s.hasVideo) {
            s.hasVideo = true;
            s.videoCodec = k.codec;
            s.width = k.width;
            s.height = k.height;
            s.fps = k.fps;
        } else if (k.kind == MediaTrack::Kind::Audio && !s.hasAudio) {
            s.hasAudio = true;
            s.audioCodec = k.codec;
            s.sampleRate = k.sampleRate;
            s.channels = k.channels;
        }
    }
    return s;
}

QString propertyName(StreamProperty p) {
    switch (p) {
        case StreamProperty::VideoFormat:
            return QStringLiteral("視訊格式");
        case StreamProperty::PictureSize:
            return QStringLiteral("畫面大小");
        case StreamProperty::FrameRate:
            return QStringLiteral("楨速率");
        case StreamProperty::AudioFormat:
            return QStringLiteral("音訊格式");
        case StreamProperty::SampleRate:
            return QStringLiteral("音訊取樣率");
        case StreamProperty::Channels:
            return QStringLiteral("音訊頻道");
    }
    return {};
}

QString propertyValue(const StreamSummary& s, StreamProperty p) {
    switch (p) {
        case StreamProperty::VideoFormat:
            return s.hasVideo && !s.videoCodec.isEmpty() ? s.videoCodec : kNone;
        case StreamProperty::PictureSize:
            return s.hasVideo && s.width > 0 && s.height > 0
                       ? QStringLiteral("%1x%2").arg(s.width).arg(s.height)
                       : kNone;
        case StreamProperty::FrameRate:
            return s.hasVideo && s.fps > 0 ? rateText(s.fps) + QStringLiteral(" fps") : kNone;
        case StreamProperty::AudioFormat:
            return s.hasAudio && !s.audioCodec.isEmpty() ? s.audioCodec : kNone;
        case StreamProperty::SampleRate:
            return s.hasAudio && s.sampleRate > 0
                       ? QString::number(s.sampleRate) + QStringLiteral(" Hz")
                       : kNone;
        case StreamProperty::Channels:
            return s.hasAudio && s.channels > 0 ? QString::number(s.channels) : kNone;
    }
    return kNone;
}

std::optional<Mismatch> compareStreams(const StreamSummary& first, const StreamSummary& other) {
    static constexpr std::array kOrder = {StreamProperty::VideoFormat, StreamProperty::PictureSize,
                                          StreamProperty::FrameRate,   StreamProperty::AudioFormat,
                                          StreamProperty::SampleRate,  StreamProperty::Channels};
    for (StreamProperty p : kOrder) {
        const QString a = propertyValue(first, p);
        const QString b = propertyValue(other, p);
        if (a != b) return Mismatch{p, a, b};
    }
    return std::nullopt;
}

std::optional<Mismatch> tagJoinConflict(const StreamSummary& first, const StreamSummary& other) {
    const auto mismatch = [&](StreamProperty p) {
        return Mismatch{p, propertyValue(first, p), propertyValue(other, p)};
    };
    if (first.hasVideo != other.hasVideo) return mismatch(StreamProperty::VideoFormat);
    if (first.hasVideo && !first.videoCodec.isEmpty() && !other.videoCodec.isEmpty() &&
        first.videoCodec != other.videoCodec)
        return mismatch(StreamProperty::VideoFormat);
    if (first.hasAudio != other.hasAudio) return mismatch(StreamProperty::AudioFormat);
    if (!first.hasAudio) return std::nullopt;
    if (!first.audioCodec.isEmpty() && !other.audioCodec.isEmpty() &&
        first.audioCodec != other.audioCodec)
        return mismatch(StreamProperty::AudioFormat);
    if (first.sampleRate > 0 && other.sampleRate > 0 && first.sampleRate != other.sampleRate)
        return mismatch(StreamProperty::SampleRate);
    // FLV knows mono and stereo only: 2 and 6 channels are both "stereo" to it.
    if (first.channels > 0 && other.channels > 0 && (first.channels == 1) != (other.channels == 1))
        return mismatch(StreamProperty::Channels);
    return std::nullopt;
}

namespace {

QString differenceLines(int number, const Mismatch& m) {
    using texts::kCrLf;
    return QStringLiteral("合併清單的第 %1 個檔案與第一個檔案的「").arg(number) +
           propertyName(m.property) + QStringLiteral("」不一致：") + kCrLf + m.firstValue +
           QStringLiteral(" ／ ") + m.otherValue;
}

}  // namespace

QString mismatchText(int number, const Mismatch& m) {
    using texts::kCrLf;
    return differenceLines(number, m) + kCrLf + kCrLf +
           QStringLiteral("以不轉檔的方式合併，新檔案可能無法正常播放") + kCrLf +
           QStringLiteral("按「確定」則繼續合併，按「取消」則中止");
}

QString conflictText(int number, const Mismatch& m) {
    using texts::kCrLf;
    return differenceLines(number, m) + kCrLf + kCrLf +
           QStringLiteral("FLV 檔案以不轉檔的方式合併時，視訊格式、音訊格式、") +
           QStringLiteral("音訊取樣率及頻道（單聲道／立體聲）必須一致，無法合併") + kCrLf +
           QStringLiteral("你可利用轉檔功能，將每個影片之視訊、音訊調成一致");
}

}  // namespace join
