#include "tools/encode/encode_panel.h"

namespace encode {

int areaNumber(Panel p) {
    switch (p) {
        case Panel::FlvToVideo:
            return 60;
        case Panel::VideoToFlv:
            return 61;
        case Panel::FlvToSound:
            return 70;
        case Panel::SoundToFlv:
            return 71;
    }
    return 60;
}

bool soundOnly(Panel p) { return p == Panel::FlvToSound || p == Panel::SoundToFlv; }

QStringList sourceTypes(Panel p) {
    switch (p) {
        case Panel::FlvToVideo:
        case Panel::FlvToSound:
            return {QStringLiteral("FLV")};
        case Panel::VideoToFlv:
            return {QStringLiteral("MPG"), QStringLiteral("AVI"), QStringLiteral("WMV"),
                    QStringLiteral("FLV"), kAnyType};
        case Panel::SoundToFlv:
            return {QStringLiteral("WAV"), QStringLiteral("MP3"), kAnyType};
    }
    return {};
}

QStringList targetTypes(Panel p) {
    switch (p) {
        case Panel::FlvToVideo:
            return {QStringLiteral("MPG"), QStringLiteral("AVI"), QStringLiteral("WMV"),
                    QStringLiteral("FLV")};
        case Panel::FlvToSound:
            return {QStringLiteral("WAV"), QStringLiteral("MP3")};
        case Panel::VideoToFlv:
        case Panel::SoundToFlv:
            return {QStringLiteral("FLV")};
    }
    return {};
}

VideoBoxes videoBoxes(Panel p) {
    switch (p) {
        case Panel::FlvToVideo:
            return VideoBoxes::Used;
        case Panel::VideoToFlv:
            return VideoBoxes::NotUsed;
        case Panel::FlvToSound:
        case Panel::SoundToFlv:
            return VideoBoxes::Hidden;
    }
    return VideoBoxes::Hidden;
}

QStringList sizeItems() {
    return {kKeepSize,
            QStringLiteral("160x120"),
            QStringLiteral("240x180"),
            QStringLiteral("320x240"),
            QStringLiteral("400x300"),
            QStringLiteral("480x360"),
            QStringLiteral("512x384"),
            QStringLiteral("640x480"),
            QStringLiteral("720x576"),
            QStringLiteral("800x600")};
}

QStringList frameRateItems() {
    return {QStringLiteral("7.5"),  QStringLiteral("10"), QStringLiteral("12"),
            QStringLiteral("12.5"), QStringLiteral("15"), QStringLiteral("20"),
            QStringLiteral("24"),   QStringLiteral("25"), QStringLiteral("29.97"),
            QStringLiteral("30")};
}

QStringList videoBitrateItems() {
    return {QStringLiteral("48"),  QStringLiteral("96"),   QStringLiteral("160"),
            QStringLiteral("200"), QStringLiteral("250"),  QStringLiteral("360"),
            QStringLiteral("768"), QStringLiteral("1000"), QStringLiteral("1600")};
}

QStringList samplingRateItems() {
    return {QStringLiteral("11025"), QStringLiteral("22050"), QStringLiteral("44100")};
}

QStringList audioBitrateItems() {
    return {QStringLiteral("16"),  QStringLiteral("20"), QStringLiteral("24"),
            QStringLiteral("32"),  QStringLiteral("48"), QStringLiteral("56"),
            QStringLiteral("64"),  QStringLiteral("80"), QStringLiteral("112"),
            QStringLiteral("128"), QStringLiteral("160")};
}

QStringList channelItems() { return {QStringLiteral("單聲道"), QStringLiteral("立體聲")}; }

EncodeOptions defaultOptions(Panel p) {
    EncodeOptions o;
    if (p == Panel::FlvToSound) {
        o.samplingRate = QStringLiteral("44100");
        o.audioBitrate = QStringLiteral("128");
    }
    return o;
}

}  // namespace encode
