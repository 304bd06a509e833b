#include "package/writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace package {
namespace {

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool writeResource(const std::string& folder, const Resource& r) {
    if (r.size == 0) return false;
    const std::string target = folder + r.fileName;
    std::string pattern = target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0700) == 0 && writeAll(fd, r.data, r.size);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(name.data(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno;  // the caller reports the write's reason, not the unlink's
        ::unlink(name.data());
        errno = error;
    }
    return ok;
}

}  // namespace package
