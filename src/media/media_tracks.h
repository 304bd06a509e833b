#pragma once
// The streams of a media file as libmpv's track list describes them, read by a player of its
// own (no window, no sound), so that a tool can compare files before it joins them.
#include <QString>
#include <QVector>
#include <optional>

struct MediaTrack {
    enum class Kind { Video, Audio, Other };
    Kind kind = Kind::Other;
    QString codec;              // mpv's codec name: "h264", "flv1", "mpeg1video", "aac", "mp3", ...
    bool albumArt = false;      // a cover picture, not video
    int width = 0, height = 0;  // video: the picture as demuxed
    double fps = 0;             // video: the demuxer's frame rate, 0 when it has none
    int sampleRate = 0;         // audio
    int channels = 0;           // audio
};

struct MediaTracks {
    QVector<MediaTrack> tracks;
    double duration = 0;  // seconds
};

// Opens path in a private headless player and reads its track list; nullopt when it cannot
// be opened (missing, unplayable, or no audio or video at all).
std::optional<MediaTracks> readMediaTracks(const QString& path, int timeoutMs = 10000);
