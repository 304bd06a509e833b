#pragma once
// The four conversion panels as plain data: their type boxes, their option boxes and the
// items of each, the values a fresh panel shows and the area each panel fills.
#include <QString>
#include <QStringList>

namespace encode {

enum class Panel {
    FlvToVideo = 0,  // FLV to MPG, AVI, WMV or FLV: the only panel with video options
    VideoToFlv = 1,  // MPG, AVI, WMV, FLV or any file to FLV
    FlvToSound = 2,  // FLV to WAV or MP3
    SoundToFlv = 3,  // WAV, MP3 or any file to FLV
};
inline constexpr Panel kPanels[] = {Panel::FlvToVideo, Panel::VideoToFlv, Panel::FlvToSound,
                                    Panel::SoundToFlv};

// The list window's area number: 60, 61, 70, 71.
int areaNumber(Panel p);
// True for the panels whose target carries no picture (2 and 3): ffmpeg gets "-vn".
bool soundOnly(Panel p);

// The type boxes cboEncodeSrc and cboEncodeTo.
QStringList sourceTypes(Panel p);
QStringList targetTypes(Panel p);
inline const QString kAnyType = QStringLiteral("不限");

// How a panel shows the three video boxes (size, frame rate, video bitrate).
enum class VideoBoxes {
    Used,     // with their items; the command carries them
    NotUsed,  // one item "不使用", disabled; the command carries nothing for them
    Hidden,   // not shown
};
VideoBoxes videoBoxes(Panel p);
inline const QString kNotUsed = QStringLiteral("不使用");

// Items of the option boxes.
inline const QString kKeepSize = QStringLiteral("原視訊大小");
QStringList sizeItems();  // kKeepSize first
QStringList frameRateItems();
QStringList videoBitrateItems();  // kbit/s
QStringList samplingRateItems();  // Hz
QStringList audioBitrateItems();  // kbit/s
QStringList channelItems();       // "單聲道", "立體聲"

// The channel box: the count is the item's position + 1.
enum class Channels { Mono = 1, Stereo = 2 };

// The values of the option boxes that reach the command, as the boxes show them.
struct EncodeOptions {
    QString size = QStringLiteral("320x240");  // or kKeepSize
    QString frameRate = QStringLiteral("25");
    QString videoBitrate = QStringLiteral("360");
    QString samplingRate = QStringLiteral("22050");
    QString audioBitrate = QStringLiteral("64");
    Channels channels = Channels::Stereo;
};
// What a fresh panel shows: music is made at CD rate, FLV sound at half of it.
EncodeOptions defaultOptions(Panel p);

}  // namespace encode
