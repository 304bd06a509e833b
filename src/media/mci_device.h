#pragma once
#include <QString>

// The one operation the media object needs of the platform: send a command string,
// get a result code (0 = success) and, for queries, a reply of at most 128 characters.
class MciDevice {
  public:
    virtual ~MciDevice() = default;
    virtual int send(const QString& command, QString* reply) = 0;
};

// The device every MCI object uses unless one is given: the installed one, else a
// process-wide MpvMciDevice created on first use (needs the QApplication to exist).
MciDevice* defaultMciDevice();
// Installs device (not owned); nullptr goes back to the libmpv device.
void setDefaultMciDevice(MciDevice* device);
