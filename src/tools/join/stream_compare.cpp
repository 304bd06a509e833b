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

QString mismatchText(int number, const Mismatch& m) {
    using texts::kCrLf;
    return QStringLiteral("合併清單的第 %1 個檔案與第一個檔案的「").arg(number) +
           propertyName(m.property) + QStringLiteral("」不一致：") + kCrLf + m.firstValue +
           QStringLiteral(" ／ ") + m.otherValue + kCrLf + kCrLf +
           QStringLiteral("以不轉檔的方式合併，新檔案可能無法正常播放") + kCrLf +
           QStringLiteral("按「確定」則繼續合併，按「取消」則中止");
}

}  // namespace join
