#include "media/alsa_volume_backend.h"

#include <alsa/asoundlib.h>

#include <cstdarg>

namespace {

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void silenceAlsaErrors() { snd_lib_error_set_handler(quietAlsa); }

AlsaVolumeBackend::AlsaVolumeBackend(const QString& card) {
    silenceAlsaErrors();
    snd_mixer_t* m = nullptr;
    if (snd_mixer_open(&m, 0) < 0) return;
    const QByteArray name = card.toUtf8();
    if (snd_mixer_attach(m, name.constData()) < 0 ||
        snd_mixer_selem_register(m, nullptr, nullptr) < 0 || snd_mixer_load(m) < 0) {
        snd_mixer_close(m);
        return;
    }
    mixer_ = m;
    for (const char* candidate : {"Master", "PCM", "Speaker"}) {
        snd_mixer_selem_id_t* sid = nullptr;
        snd_mixer_selem_id_alloca(&sid);
        snd_mixer_selem_id_set_index(sid, 0);
        snd_mixer_selem_id_set_name(sid, candidate);
        snd_mixer_elem_t* e = snd_mixer_find_selem(mixer_, sid);
        if (e && snd_mixer_selem_has_playback_volume(e)) {
            elem_ = e;
            elementName_ = QString::fromLatin1(candidate);
            break;
        }
    }
    if (!elem_) return;
    long lo = 0, hi = 0;
    if (snd_mixer_selem_get_playback_volume_range(elem_, &lo, &hi) < 0) return;
    hasVolume_ = true;
    min_ = static_cast<int32_t>(lo);
    max_ = static_cast<int32_t>(hi);
    // The switch is looked for only on a line whose volume control was found.
    hasSwitch_ = snd_mixer_selem_has_playback_switch(elem_) != 0;
}

AlsaVolumeBackend::~AlsaVolumeBackend() {
    if (mixer_) snd_mixer_close(mixer_);
}

std::optional<int32_t> AlsaVolumeBackend::volume() {
    if (!hasVolume_) return std::nullopt;
    snd_mixer_handle_events(mixer_);
    long v = 0;
    if (snd_mixer_selem_get_playback_volume(elem_, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

bool AlsaVolumeBackend::setVolume(int32_t value) {
    return hasVolume_ && snd_mixer_selem_set_playback_volume_all(elem_, value) >= 0;
}

std::optional<int32_t> AlsaVolumeBackend::playbackSwitch() {
    if (!hasSwitch_) return std::nullopt;
    snd_mixer_handle_events(mixer_);
    int v = 0;
    if (snd_mixer_selem_get_playback_switch(elem_, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
        return std::nullopt;
    return v;
}

bool AlsaVolumeBackend::setPlaybackSwitch(int32_t value) {
    return hasSwitch_ && snd_mixer_selem_set_playback_switch_all(elem_, value) >= 0;
}
