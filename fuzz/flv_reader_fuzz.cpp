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
#include "flv/avc_joint.h"
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

// A written file must be one the scan accepts, and what its metadata was planned from (as the
// tags were chosen) must be what a scan of it finds.
void checkWritten(const flv::WriteOutcome* written, bool hasDuration = true) {
    if (!written) return;
    flv::UniqueFd fd(::open(outputPath().c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) __builtin_trap();
    flv::FdSource out(fd.get(), static_cast<std::uint64_t>(::lseek(fd.get(), 0, SEEK_END)));
    auto scan = flv::scanFlv(out);
    if (!scan) __builtin_trap();
    if (scan->keyframes.size() != written->keyframes || scan->fileSize != written->fileSize ||
        (hasDuration && scan->durationSeconds() != written->duration))
        __builtin_trap();
    ::unlink(outputPath().c_str());
}

void cutAndJoin(std::span<const std::uint8_t> bytes) {
    MemFile in(bytes);
    if (in.path.empty()) return;
    for (auto span : {std::pair{0, 60000}, std::pair{40, 120}}) {
        auto cut = flv::cutFlv(in.path, span.first, span.second, outputPath(), {0, {}, {}});
        checkWritten(cut ? &*cut : nullptr);
    }
    auto joined = flv::joinFlv({in.path, in.path}, outputPath(), {0, {}, {}});
    if (joined) {
        flv::WriteOutcome o;
        o.keyframes = joined->keyframes;
        o.fileSize = joined->fileSize;
        checkWritten(&o, false);  // a join reports its pieces' lengths, not the file's
    }
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
        if (!in.path.empty()) {
            auto repaired = flv::repairFlv(in.path, outputPath(), {0, {}, {}});
            if (repaired) checkWritten(&repaired->written);
        }
    }
    // The parsers on their own, on the raw bytes.
    flv::ByteReader in(bytes);
    (void)flv::decodeAmf(in);
    (void)flv::videoDimensions(bytes);
    (void)flv::audioFormat(bytes);
    (void)flv::parseSps(bytes);
    (void)flv::parseAudioSpecificConfig(bytes);
    // The bytes split in two, as an H.264 configuration record and a picture of NAL units:
    // a joint that goes on from it, and one that restarts at it.
    const std::size_t half = size / 2;
    flv::AvcJoint joint(0);
    joint.configuration(bytes.first(half));
    (void)joint.startsOpen(bytes.first(half), bytes.subspan(half));
    (void)joint.picture(bytes.subspan(half));
    joint.startPiece();
    (void)joint.picture(bytes.subspan(half));
    (void)joint.restartAsIdr(bytes.subspan(half));
    return 0;
}
