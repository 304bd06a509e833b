// Any bytes as an FLV file: the scan must answer a value or a diagnostic, never crash,
// hang or read out of bounds; whatever it accepts must plan a rewrite, and a cut or a join of
// it must either fail cleanly or write a file that scans again. Repair takes any bytes, and
// what it writes must scan too.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "flv/amf0.h"
#include "flv/codec_headers.h"
#include "flv/cut.h"
#include "flv/h264_sps.h"
#include "flv/io.h"
#include "flv/join.h"
#include "flv/plan.h"
#include "flv/repair.h"
#include "flv/scan.h"

namespace {

// The input as a file, in memory: cut and join work on paths.
struct MemFile {
    int fd = -1;
    std::string path;
    explicit MemFile(std::span<const std::uint8_t> bytes) {
        fd = ::memfd_create("flv", 0);
        if (fd < 0) return;
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return;
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    ~MemFile() {
        if (fd >= 0) ::close(fd);
    }
};

std::string outputPath() {
    static const std::string path = [] {
        const char* shm = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(shm) + "/lumba-flv-fuzz-" + std::to_string(::getpid()) + ".flv";
    }();
    return path;
}

// A written file must be one the scan accepts.
void checkWritten(bool ok) {
    if (!ok) return;
    flv::UniqueFd fd(::open(outputPath().c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) __builtin_trap();
    flv::FdSource out(fd.get(), static_cast<std::uint64_t>(::lseek(fd.get(), 0, SEEK_END)));
    if (!flv::scanFlv(out)) __builtin_trap();
    ::unlink(outputPath().c_str());
}

void cutAndJoin(std::span<const std::uint8_t> bytes) {
    MemFile in(bytes);
    if (in.path.empty()) return;
    checkWritten(flv::cutFlv(in.path, 0, 60000, outputPath(), {0, {}, {}}).ok());
    checkWritten(flv::cutFlv(in.path, 40, 120, outputPath(), {0, {}, {}}).ok());
    checkWritten(flv::joinFlv({in.path, in.path}, outputPath(), {0, {}, {}}).ok());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    flv::MemorySource src(bytes);
    auto scan = flv::scanFlv(src);
    if (scan) {
        auto plan = flv::planRewrite(*scan, {});
        if (plan && !plan->inPlace && plan->head.size() < 13) __builtin_trap();
        cutAndJoin(bytes);
    } else {
        (void)scan.error().text();
    }
    {
        MemFile in(bytes);
        if (!in.path.empty()) checkWritten(flv::repairFlv(in.path, outputPath(), {0, {}, {}}).ok());
    }
    // The parsers on their own, on the raw bytes.
    flv::ByteReader in(bytes);
    (void)flv::decodeAmf(in);
    (void)flv::videoDimensions(bytes);
    (void)flv::audioFormat(bytes);
    (void)flv::parseSps(bytes);
    (void)flv::parseAudioSpecificConfig(bytes);
    return 0;
}
