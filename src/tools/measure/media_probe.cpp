#include "tools/measure/media_probe.h"

#include <QFileInfo>

#include "media/mci.h"
#include "media/video_surface.h"
#include "tools/measure/measure_texts.h"

namespace measure {

Probe probeMedia(const QString& path, MciDevice* device) {
    Probe p;
    if (path.isEmpty() || !QFileInfo(path).isFile()) return p;
    VideoSurface surface;  // never shown: only a place the device may draw into
    surface.setObjectName(QStringLiteral("picSplitMCI"));
    MCI media(device);
    media.closeMCI(kProbeAlias);
    media.openMCI(path, surface.surfaceId(), kProbeAlias);
    if (media.isSuccess()) {
        media.putMCI(0, 0, false, 0, 0, 0, 0);
        if (media.isAudioOnly()) {
            p.outcome = ProbeOutcome::NoPicture;
        } else {
            const double seconds = media.getTotalSeconds();
            if (seconds >= 0) {
                p.outcome = ProbeOutcome::Measured;
                p.seconds = toHundredths(seconds);
            }
        }
    }
    media.closeMCI(kProbeAlias);
    return p;
}

}  // namespace measure
