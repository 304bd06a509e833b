#include "media/main_vol.h"

#include <QCoreApplication>
#include <algorithm>

#include "common/prompts.h"
#include "media/alsa_volume_backend.h"

MainVol::MainVol(std::unique_ptr<VolumeBackend> backend, bool noticeNow)
    : backend_(std::move(backend)) {
    if (noticeNow) noticeMissingMixer();
}

void MainVol::noticeMissingMixer() const {
    if (!backend_ || !backend_->available())
        prompts::msgBox(QStringLiteral("No mixer found!"), prompts::Buttons::Ok);
}

MainVol& MainVol::instance() {
    static MainVol vol(std::make_unique<AlsaVolumeBackend>(), false);
    static bool noticed = false;
    if (!noticed) {
        noticed = true;
        // Said from the event loop, never from inside what asked for the volume first (the
        // first file's open): a box there holds that open unfinished while every later file
        // plays inside the box's own loop, and closing it resumes the stale open. The
        // object exists by then, so a second entry meets no unfinished initialisation.
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [] { vol.noticeMissingMixer(); }, Qt::QueuedConnection);
        else
            vol.noticeMissingMixer();
    }
    return vol;
}

int32_t MainVol::MinMainVolume() const {
    return backend_ && backend_->hasVolume() ? backend_->minimum() : 0;
}

int32_t MainVol::MaxMainVolume() const {
    return backend_ && backend_->hasVolume() ? backend_->maximum() : 0;
}

int32_t MainVol::MainVolume() const {
    if (!backend_ || !backend_->hasVolume()) return 0;
    return backend_->volume().value_or(0);
}

void MainVol::setMainVolume(int32_t value) {
    if (!backend_ || !backend_->hasVolume()) return;
    const int32_t lo = backend_->minimum();
    const int32_t hi = std::max(lo, backend_->maximum());
    backend_->setVolume(std::clamp(value, lo, hi));
}

bool MainVol::MainMute() const {
    if (!backend_ || !backend_->hasSwitch()) return false;
    // ALSA's switch is 1 while sound is on; a failed read counts as not muted.
    const auto v = backend_->playbackSwitch();
    return v.has_value() && *v == 0;
}

void MainVol::setMainMute(bool mute) {
    if (!backend_ || !backend_->hasSwitch()) return;
    backend_->setPlaybackSwitch(mute ? 0 : 1);
}
