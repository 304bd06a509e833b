#pragma once
// The master (speaker) volume and mute of the sound mixer, for the volume slider and the
// mute button. Independent of any media object.
#include <cstdint>
#include <memory>

#include "media/volume_backend.h"

class MainVol {
  public:
    // Takes the back end; shows "No mixer found!" once when it has no mixer.
    // Without a usable mixer, says "No mixer found!" (unless told not to yet).
    explicit MainVol(std::unique_ptr<VolumeBackend> backend, bool noticeNow = true);
    // The application-wide instance on the ALSA mixer, created on first use.
    static MainVol& instance();

    int32_t MinMainVolume() const;
    int32_t MaxMainVolume() const;
    // 0 when the read fails or there is no volume control.
    int32_t MainVolume() const;
    // Written held between the minimum and the maximum.
    void setMainVolume(int32_t value);
    // True only when the line's playback switch reads 0 (sound off).
    bool MainMute() const;
    void setMainMute(bool mute);

  private:
    void noticeMissingMixer() const;

    std::unique_ptr<VolumeBackend> backend_;
};
