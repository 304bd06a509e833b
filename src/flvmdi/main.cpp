// flvmdi FILE: rebuilds the onMetaData of an FLV file where it lies.
// flvmdi --join OUT FILE...: joins FLV files end to end at tag level into OUT.
// flvmdi --repair SRC OUT: a playable copy of a damaged FLV.
// flvmdi --cut FROM_MS TO_MS SRC OUT: the span from the keyframe at or before FROM_MS up to
// TO_MS of SRC, at tag level, into OUT.
// flvmdi --exact-plan FROM_MS TO_MS SRC: which pictures an exact cut of that span rebuilds.
// flvmdi --splice FROM_MS TO_MS SRC HEAD TAIL OUT: the span cut at its marks, the pictures
// --exact-plan named taken from HEAD and TAIL (an encoder's rebuild; "-" for none), the rest
// copied.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "flv/cut.h"
#include "flv/exact_cut.h"
#include "flv/join.h"
#include "flv/repair.h"
#include "flv/replace_file.h"
#include "flv/update.h"

namespace {

constexpr std::size_t kShownJumps = 10;

#ifdef FLVMDI_TEST_HOOKS
// Built only into the tests' copy of the program: announce that the new file is complete and
// wait, so a test can kill the run at its most delicate moment and check that the original
// is untouched.
void holdBeforeRename() {
    const char* marker = std::getenv("FLVMDI_TEST_HOLD_BEFORE_RENAME");
    if (!marker || !*marker) return;
    int fd = ::open(marker, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
    ::sleep(60);
}
#endif

// Progress for the program that runs us, in the key=value form media tools use
// ("out_time_us=…", "progress=continue|end"); a person at a terminal does not need it.
flv::WriteOptions progressOptions() {
    flv::WriteOptions o;
    if (::isatty(STDOUT_FILENO)) return o;
    o.progress = [last = -1L](double done, double) mutable {
        const long us = static_cast<long>(done * 1e6);
        if (us == last) return;
        last = us;
        std::printf("out_time_us=%ld\nprogress=continue\n", us);
        std::fflush(stdout);
    };
    return o;
}

void progressEnd() {
    if (::isatty(STDOUT_FILENO)) return;
    std::printf("progress=end\n");
}

int usage() {
    std::fprintf(stderr,
                 "usage: flvmdi FILE\n       flvmdi --join OUT FILE...\n"
                 "       flvmdi --cut FROM_MS TO_MS SRC OUT\n"
                 "       flvmdi --repair SRC OUT\n"
                 "       flvmdi --exact-plan FROM_MS TO_MS SRC\n"
                 "       flvmdi --splice FROM_MS TO_MS SRC HEAD TAIL OUT\n");
    return 2;
}

int join(int argc, char** argv) {
    if (argc < 4 || !argv[2][0]) return usage();
    std::vector<std::string> inputs(argv + 3, argv + argc);
    auto result = flv::joinFlv(inputs, argv[2], progressOptions());
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", argv[2], result.error().text().c_str());
        return 1;
    }
    progressEnd();
    std::printf("%s: %zu files joined, %llu tags, duration %.3f s\n", argv[2], inputs.size(),
                static_cast<unsigned long long>(result->tags),
                static_cast<double>(result->durationMs) / 1000.0);
    return 0;
}

bool wholeMs(const char* text, std::int64_t& out) {
    const char* end = text + std::strlen(text);
    auto [p, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && p == end && out >= 0;
}

int cut(int argc, char** argv) {
    std::int64_t from = 0, to = 0;
    if (argc != 6 || !wholeMs(argv[2], from) || !wholeMs(argv[3], to) || !argv[4][0] || !argv[5][0])
        return usage();
    auto result = flv::cutFlv(argv[4], from, to, argv[5], progressOptions());
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", argv[4], result.error().text().c_str());
        return 1;
    }
    progressEnd();
    std::printf("%s: %llu tags cut, %zu keyframes, duration %.3f s\n", argv[5],
                static_cast<unsigned long long>(result->tags), result->keyframes, result->duration);
    return 0;
}

int exactPlan(int argc, char** argv) {
    std::int64_t from = 0, to = 0;
    if (argc != 5 || !wholeMs(argv[2], from) || !wholeMs(argv[3], to) || !argv[4][0])
        return usage();
    auto result = flv::planExactCut(argv[4], from, to);
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", argv[4], result.error().text().c_str());
        return 1;
    }
    std::fputs(flv::exactPlanText(*result).c_str(), stdout);
    return 0;
}

int splice(int argc, char** argv) {
    std::int64_t from = 0, to = 0;
    if (argc != 8 || !wholeMs(argv[2], from) || !wholeMs(argv[3], to) || !argv[4][0] ||
        !argv[5][0] || !argv[6][0] || !argv[7][0])
        return usage();
    auto optional = [](const char* path) { return std::string(path) == "-" ? "" : path; };
    auto result = flv::spliceExactCut(argv[4], from, to, optional(argv[5]), optional(argv[6]),
                                      argv[7], progressOptions());
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", argv[4], result.error().text().c_str());
        return 1;
    }
    progressEnd();
    std::printf("%s: %llu tags cut exactly, %zu keyframes, duration %.3f s\n", argv[7],
                static_cast<unsigned long long>(result->tags), result->keyframes, result->duration);
    return 0;
}

int repair(int argc, char** argv) {
    if (argc != 4 || !argv[2][0] || !argv[3][0]) return usage();
    auto result = flv::repairFlv(argv[2], argv[3], progressOptions());
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", argv[2], result.error().text().c_str());
        return 1;
    }
    progressEnd();
    std::printf(
        "%s: %llu tags kept, %llu bytes skipped at %zu places, %zu frames without a "
        "keyframe dropped, %zu clock jumps mended, duration %.3f s\n",
        argv[3], static_cast<unsigned long long>(result->written.tags),
        static_cast<unsigned long long>(result->skippedBytes), result->resyncs,
        result->droppedFrames, result->clockFixes, result->written.duration);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit must fail the write, not kill the process halfway.
    std::signal(SIGXFSZ, SIG_IGN);
    flv::removeTemporariesOnStop();
    if (argc >= 2 && std::string(argv[1]) == "--join") return join(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--cut") return cut(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--repair") return repair(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--exact-plan") return exactPlan(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--splice") return splice(argc, argv);
    if (argc != 2 || !argv[1][0]) return usage();
    std::string path = argv[1];
    flv::UpdateOptions options;
#ifdef FLVMDI_TEST_HOOKS
    options.beforeRename = holdBeforeRename;
#endif
    auto result = flv::updateMetadata(path, options);
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", path.c_str(), result.error().text().c_str());
        return 1;
    }
    const char* how = result->unchanged ? "already current, nothing written"
                      : result->inPlace ? "rebuilt in place"
                                        : "rebuilt by rewriting the file";
    std::printf("%s: onMetaData %s, %zu keyframes, duration %.3f s\n", path.c_str(), how,
                result->keyframes, result->duration);
    // The metadata says what the file holds; the jumps are left to a repair.
    const std::size_t shown = std::min<std::size_t>(result->clockJumps.size(), kShownJumps);
    for (std::size_t i = 0; i < shown; ++i)
        std::fprintf(stderr, "flvmdi: %s: warning: %s\n", path.c_str(),
                     flv::clockJumpDiag(result->clockJumps[i]).text().c_str());
    if (result->clockJumps.size() > shown)
        std::fprintf(stderr, "flvmdi: %s: warning: %zu more clock jumps\n", path.c_str(),
                     result->clockJumps.size() - shown);
    return 0;
}
