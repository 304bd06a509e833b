#include "tools/memory_log.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tools {

MemoryLog::MemoryLog() : fd_(::memfd_create("lumba-log", MFD_CLOEXEC)) {
    if (valid() && ::access(path().toLocal8Bit().constData(), W_OK) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

MemoryLog::~MemoryLog() {
    if (valid()) ::close(fd_);
}

QString MemoryLog::path() const {
    return QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd_);
}

QByteArray MemoryLog::contents() const {
    QByteArray bytes;
    struct stat st {};
    if (!valid() || ::fstat(fd_, &st) != 0 || st.st_size <= 0) return bytes;
    bytes.resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + done, static_cast<size_t>(bytes.size() - done),
                    static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

}  // namespace tools
