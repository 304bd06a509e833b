#pragma once
// A SaveHost made of functions, so the application can connect the job to the player
// window without the tools knowing the player.
#include <functional>

#include "tools/save_segments.h"

namespace save {

struct CallbackSaveHost : SaveHost {
    std::function<void()> closeOpen;
    std::function<QString()> source;
    std::function<std::vector<UnitSegment>()> marks;
    std::function<double()> unitSeconds;
    std::function<double()> length;
    std::function<bool()> audioOnly;
    std::function<void()> pause;
    QWidget* owner = nullptr;

    void closeOpenSegment() override {
        if (closeOpen) closeOpen();
    }
    QString sourcePath() override { return source ? source() : QString(); }
    std::vector<UnitSegment> segments() override {
        return marks ? marks() : std::vector<UnitSegment>{};
    }
    double secondsPerUnit() override { return unitSeconds ? unitSeconds() : 0; }
    double totalSeconds() override { return length ? length() : 0; }
    bool isAudioOnly() override { return audioOnly && audioOnly(); }
    void pausePrFn() override {
        if (pause) pause();
    }
    QWidget* window() override { return owner; }
};

}  // namespace save
