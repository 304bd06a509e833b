#include "media/mci_device.h"

#include "media/mpv_mci_device.h"

namespace {
MciDevice* installed = nullptr;
}

MciDevice* defaultMciDevice() {
    if (!installed) {
        // Created on first use, after the QApplication exists; lives until the program ends.
        static MpvMciDevice* mpv = new MpvMciDevice();
        installed = mpv;
    }
    return installed;
}

void setDefaultMciDevice(MciDevice* device) { installed = device; }
