#pragma once
// The ALSA simple mixer of card "default": element "Master", else "PCM", else "Speaker".
#include <QString>

#include "media/volume_backend.h"

struct _snd_mixer;
struct _snd_mixer_elem;

// ALSA reports a missing card on stderr from every library that opens it (the mixer here,
// mpv's audio output probing); the program reports what matters itself.
void silenceAlsaErrors();

class AlsaVolumeBackend : public VolumeBackend {
  public:
    explicit AlsaVolumeBackend(const QString& card = QStringLiteral("default"));
    ~AlsaVolumeBackend() override;
    AlsaVolumeBackend(const AlsaVolumeBackend&) = delete;
    AlsaVolumeBackend& operator=(const AlsaVolumeBackend&) = delete;

    bool available() const override { return mixer_ != nullptr; }
    bool hasVolume() const override { return hasVolume_; }
    int32_t minimum() const override { return min_; }
    int32_t maximum() const override { return max_; }
    std::optional<int32_t> volume() override;
    bool setVolume(int32_t value) override;
    bool hasSwitch() const override { return hasSwitch_; }
    std::optional<int32_t> playbackSwitch() override;
    bool setPlaybackSwitch(int32_t value) override;

    // The element in use ("Master", "PCM" or "Speaker"), empty when none.
    QString elementName() const { return elementName_; }

  private:
    _snd_mixer* mixer_ = nullptr;
    _snd_mixer_elem* elem_ = nullptr;
    QString elementName_;
    bool hasVolume_ = false;
    bool hasSwitch_ = false;
    int32_t min_ = 0;
    int32_t max_ = 0;
};
