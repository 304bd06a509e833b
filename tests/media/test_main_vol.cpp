// The master volume over a fake mixer, and over the real ALSA mixer of this machine.
#include <gtest/gtest.h>

#include <memory>

#include "common/scripted_prompts.h"
#include "media/alsa_volume_backend.h"
#include "media/main_vol.h"

namespace {

struct FakeMixer : VolumeBackend {
    bool present = true;
    bool volumeControl = true;
    bool switchControl = true;
    int32_t lo = 0, hi = 65535;
    std::optional<int32_t> value = 1000;
    std::optional<int32_t> sw = 1;
    int writes = 0;

    bool available() const override { return present; }
    bool hasVolume() const override { return present && volumeControl; }
    int32_t minimum() const override { return lo; }
    int32_t maximum() const override { return hi; }
    std::optional<int32_t> volume() override { return value; }
    bool setVolume(int32_t v) override {
        ++writes;
        value = v;
        return true;
    }
    bool hasSwitch() const override { return hasVolume() && switchControl; }
    std::optional<int32_t> playbackSwitch() override { return sw; }
    bool setPlaybackSwitch(int32_t v) override {
        sw = v;
        return true;
    }
};

TEST(MainVol, VolumeIsHeldInsideTheMixerRange) {
    ScriptedPrompts prompts;
    auto fake = std::make_unique<FakeMixer>();
    FakeMixer* mixer = fake.get();
    mixer->lo = -10;
    mixer->hi = 100;
    MainVol vol(std::move(fake));
    EXPECT_EQ(vol.MinMainVolume(), -10);
    EXPECT_EQ(vol.MaxMainVolume(), 100);
    vol.setMainVolume(-50);
    EXPECT_EQ(mixer->value, -10);
    vol.setMainVolume(101);
    EXPECT_EQ(mixer->value, 100);
    vol.setMainVolume(40);
    EXPECT_EQ(vol.MainVolume(), 40);
    mixer->value.reset();  // a failed read
    EXPECT_EQ(vol.MainVolume(), 0);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST(MainVol, MuteIsTheInverseOfThePlaybackSwitch) {
    ScriptedPrompts prompts;
    auto fake = std::make_unique<FakeMixer>();
    FakeMixer* mixer = fake.get();
    MainVol vol(std::move(fake));
    EXPECT_FALSE(vol.MainMute());
    vol.setMainMute(true);
    EXPECT_EQ(mixer->sw, 0);
    EXPECT_TRUE(vol.MainMute());
    vol.setMainMute(false);
    EXPECT_EQ(mixer->sw, 1);
    // Only a switch reading 0 is muted; other values and failed reads are not.
    for (int32_t v : {1, 2, -1}) {
        mixer->sw = v;
        EXPECT_FALSE(vol.MainMute()) << v;
    }
    mixer->sw.reset();
    EXPECT_FALSE(vol.MainMute());
}

TEST(MainVol, MissingControlsReadZeroAndWriteNothing) {
    ScriptedPrompts prompts;
    auto fake = std::make_unique<FakeMixer>();
    FakeMixer* mixer = fake.get();
    mixer->volumeControl = false;
    mixer->lo = 5;
    mixer->hi = 9;
    MainVol vol(std::move(fake));
    EXPECT_EQ(vol.MinMainVolume(), 0);
    EXPECT_EQ(vol.MaxMainVolume(), 0);
    EXPECT_EQ(vol.MainVolume(), 0);
    vol.setMainVolume(7);
    EXPECT_EQ(mixer->writes, 0);
    mixer->sw = 0;
    EXPECT_FALSE(vol.MainMute());  // the switch counts only on a line with a volume control
    EXPECT_TRUE(prompts.shown().empty());
}

TEST(MainVol, NoMixerIsToldOnceAtCreation) {
    ScriptedPrompts prompts;
    auto fake = std::make_unique<FakeMixer>();
    fake->present = false;
    MainVol vol(std::move(fake));
    EXPECT_EQ(vol.MainVolume(), 0);
    vol.setMainVolume(10);
    vol.setMainMute(true);
    EXPECT_FALSE(vol.MainMute());
    EXPECT_EQ(vol.MaxMainVolume(), 0);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("No mixer found!"));
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::Ok);
}

// The real mixer: on a machine without a sound card the message appears once, else the
// control reads back what was written.
TEST(MainVol, AlsaMixerOfThisMachine) {
    ScriptedPrompts prompts;
    auto alsa = std::make_unique<AlsaVolumeBackend>();
    const bool present = alsa->available();
    const QString element = alsa->elementName();
    MainVol vol(std::move(alsa));
    if (!present) {
        EXPECT_EQ(prompts.messageTexts(), QStringList({QStringLiteral("No mixer found!")}));
        EXPECT_EQ(vol.MainVolume(), 0);
        EXPECT_FALSE(vol.MainMute());
        vol.setMainVolume(50);
        EXPECT_EQ(vol.MainVolume(), 0);
        EXPECT_EQ(prompts.shown().size(), 1u);
        return;
    }
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_LE(vol.MinMainVolume(), vol.MaxMainVolume());
    if (element.isEmpty()) return;
    const int32_t before = vol.MainVolume();
    vol.setMainVolume(vol.MaxMainVolume() + 1);
    EXPECT_EQ(vol.MainVolume(), vol.MaxMainVolume());
    vol.setMainVolume(before);
}

}  // namespace
