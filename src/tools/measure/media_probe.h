#pragma once
// Opens a file under the private alias "Lumba.FLV_forSplit" on a hidden surface to learn its
// length and whether it has a picture, then closes it again.
#include <QString>

class MciDevice;

namespace measure {

inline const QString kProbeAlias = QStringLiteral("Lumba.FLV_forSplit");

enum class ProbeOutcome {
    Measured,    // opened with a picture: seconds is its length
    NoPicture,   // opened, but sound only
    Unreadable,  // missing, or the media device could not open it
};

struct Probe {
    ProbeOutcome outcome = ProbeOutcome::Unreadable;
    double seconds = 0;  // cut to hundredths
};

// device nullptr: the program's media device.
Probe probeMedia(const QString& path, MciDevice* device = nullptr);

}  // namespace measure
