#pragma once
// A child's message output kept in memory until it ends. A pipe wakes this process for every
// line the child writes (ffmpeg writes one per packet at its verbose level), while messages
// are only read once the child has ended; a file in memory also takes a disk-full message
// when the disk itself is full.
#include <QByteArray>
#include <QString>

#include "flv/io.h"

namespace tools {

class MemoryLog {
  public:
    MemoryLog();
    // False where the system has no memory files: the caller reads a pipe instead.
    bool valid() const { return fd_.valid(); }
    // A path that opens the same memory file (QProcess opens it for the child).
    QString path() const;
    // Everything written so far.
    QByteArray contents() const;

  private:
    flv::UniqueFd fd_;
};

}  // namespace tools
