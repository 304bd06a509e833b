#pragma once
// What the master volume needs of the sound system: one volume control with its range and
// the playback switch of the same line (1 = sound on). Tests put a fake here.
#include <cstdint>
#include <optional>

class VolumeBackend {
  public:
    virtual ~VolumeBackend() = default;
    // False when there is no mixer at all.
    virtual bool available() const = 0;
    // False when the mixer has no volume control; the range is then 0..0.
    virtual bool hasVolume() const = 0;
    virtual int32_t minimum() const = 0;
    virtual int32_t maximum() const = 0;
    virtual std::optional<int32_t> volume() = 0;  // nullopt: the read failed
    virtual bool setVolume(int32_t value) = 0;
    virtual bool hasSwitch() const = 0;
    virtual std::optional<int32_t> playbackSwitch() = 0;
    virtual bool setPlaybackSwitch(int32_t value) = 0;
};
