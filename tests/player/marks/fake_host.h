#pragma once
// A player for the marks: an MCI over a recording device that answers positions and lengths,
// and counters for every player and list-window call.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "media/mci.h"
#include "media/mci_device.h"
#include "player/marks/marks_host.h"
#include "qstring_print.h"

namespace marks::testing {

class FakeDevice : public MciDevice {
  public:
    int32_t position = 0;
    int32_t length = 100000;
    int playResult = 0;
    QStringList sent;

    int send(const QString& command, QString* reply) override {
        sent << command;
        if (command.endsWith(QLatin1String(" position"))) {
            if (reply) *reply = QString::number(position);
        } else if (command.endsWith(QLatin1String(" length"))) {
            if (reply) *reply = QString::number(length);
        } else if (command.startsWith(QLatin1String("play"))) {
            return playResult;
        }
        return 0;
    }
    QStringList plays() const { return sent.filter(QStringLiteral("play ")); }
};

class FakeHost : public MarksHost, public MarksListLink {
  public:
    FakeDevice device;
    MCI mci{&device};
    int32_t units = 100000;
    float spu = 0.02f;                 // 50 units a second
    float scale = 389.0f / 100000.0f;  // a 389-pixel position bar
    PlayState state = PlayState::Playing;
    double seconds = 2000.0;
    bool barEnabled = true;
    ButtonState buttons[2] = {ButtonState::Normal, ButtonState::Disabled};
    ListPlayMode listMode = ListPlayMode::Once;
    std::vector<std::pair<float, float>> spans;

    int pauses = 0, stops = 0, mediaStops = 0, failures = 0, onceModes = 0, tabs = 0, loads = 0,
        cmdRng = 0;
    std::vector<bool> started;  // fromStopped of every segmentPlayStarted

    FakeHost() { mci.setFileName(QStringLiteral("/v/clip.flv")); }
    // The list window is this same object once a test links it (MarksController::setListLink).

    MCI& media() override { return mci; }
    int32_t totalUnits() const override { return units; }
    float secondsPerUnit() const override { return spu; }
    float barScale() const override { return scale; }
    PlayState playState() const override { return state; }
    double totalSeconds() const override { return seconds; }
    bool positionBarEnabled() const override { return barEnabled; }
    ButtonState markButtonState(MarkButton b) const override {
        return buttons[b == MarkButton::End];
    }
    void setMarkButtonState(MarkButton b, ButtonState s) override {
        buttons[b == MarkButton::End] = s;
    }
    void pausePrFn() override { ++pauses; }
    void shareBnStop() override {
        ++stops;
        state = PlayState::Stopped;
    }
    void stopMedia() override { ++mediaStops; }
    void failPlay() override { ++failures; }
    void segmentPlayStarted(bool fromStopped) override {
        started.push_back(fromStopped);
        state = PlayState::Playing;
    }
    ListPlayMode listPlayMode() const override { return listMode; }
    void setListPlayModeOnce() override {
        ++onceModes;
        listMode = ListPlayMode::Once;
    }
    void showMarksListTab() override { ++tabs; }
    void loadMark() override { ++loads; }
    void checkCmdRng() override { ++cmdRng; }
    std::vector<std::pair<float, float>> editorSpans() override { return spans; }
    // Copies start this many seconds before the mark (0: at the mark, as if unknown).
    double leadInSeconds = 0;
    std::optional<double> copyStartSeconds(double mark) const override {
        if (leadInSeconds <= 0) return std::nullopt;
        return std::max(0.0, mark - leadInSeconds);
    }

    ButtonState endButton() const { return buttons[1]; }
    ButtonState startButton() const { return buttons[0]; }
};

}  // namespace marks::testing
