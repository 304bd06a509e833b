#include "tools/memory_log.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

MemoryLog::MemoryLog() : fd_(::memfd_create("lumba-log", MFD_CLOEXEC)) {
    if (valid() && ::access(path().toLocal8Bit().constData(), W_OK) != 0) fd_ = flv::UniqueFd();
}

QString MemoryLog::path() const {
    return QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd_.get());
}

QByteArray MemoryLog::contents() const {
    struct stat st {};
    if (!valid() || ::fstat(fd_.get(), &st) != 0 || st.st_size <= 0) return {};
    QByteArray bytes(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    flv::FdSource source(fd_.get(), static_cast<std::uint64_t>(st.st_size));
    flv::WindowReader reader(source);
    const auto data = reinterpret_cast<std::uint8_t*>(bytes.data());
    if (!reader.readInto(0, std::span(data, static_cast<std::size_t>(bytes.size())))) return {};
    return bytes;
}

}  // namespace tools
