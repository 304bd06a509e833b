#include "media/media_tracks.h"

#include "media/mpv_player.h"

std::optional<MediaTracks> readMediaTracks(const QString& path, int timeoutMs) {
    std::optional<MediaTracks> r;
    {
        MpvPlayer::Config config;
        config.nullAudio = true;  // and no surface: vo=null
        MpvPlayer player(config);
        if (player.open(path, timeoutMs)) {
            r = MediaTracks{player.trackList(), player.duration()};
        }
    }
    // Without a video output the handle ends at once; waiting for it here leaves no shutdown
    // running when the program ends without a playback device.
    MpvPlayer::finishClosing();
    return r;
}
