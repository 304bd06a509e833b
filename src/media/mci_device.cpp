#include "media/mci_device.h"

#include <QCoreApplication>

#include "media/mpv_mci_device.h"

namespace {

MciDevice* installed = nullptr;
MpvMciDevice* owned = nullptr;

// Ends every mpv handle while the application object still exists.
void releaseOwned() {
    if (installed == owned) installed = nullptr;
    delete owned;
    owned = nullptr;
}

}  // namespace

MciDevice* defaultMciDevice() {
    if (!installed) {
        if (!owned) {
            owned = new MpvMciDevice();
            if (QCoreApplication::instance()) qAddPostRoutine(releaseOwned);
        }
        installed = owned;
    }
    return installed;
}

void setDefaultMciDevice(MciDevice* device) { installed = device; }
