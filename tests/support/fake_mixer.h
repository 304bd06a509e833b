#pragma once
// A master-volume back end that remembers what it was given, for window tests on machines
// without a sound card.
#include "media/volume_backend.h"

namespace testmedia {

class FakeMixer : public VolumeBackend {
  public:
    bool available() const override { return true; }
    bool hasVolume() const override { return true; }
    int32_t minimum() const override { return 0; }
    int32_t maximum() const override { return 100; }
    std::optional<int32_t> volume() override { return value; }
    bool setVolume(int32_t v) override {
        value = v;
        return true;
    }
    bool hasSwitch() const override { return true; }
    std::optional<int32_t> playbackSwitch() override { return on; }
    bool setPlaybackSwitch(int32_t v) override {
        on = v;
        return true;
    }
    int32_t value = 50;
    int32_t on = 1;
};

}  // namespace testmedia
