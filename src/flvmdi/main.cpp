// flvmdi FILE: rebuilds the onMetaData of an FLV file where it lies.
// flvmdi --join OUT FILE...: joins FLV files end to end at tag level into OUT.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "flv/join.h"
#include "flv/update.h"

namespace {

// Test hook: announce that the new file is complete and wait, so a test can kill the run
// at its most delicate moment and check that the original is untouched.
void holdBeforeRename() {
    const char* marker = std::getenv("FLVMDI_TEST_HOLD_BEFORE_RENAME");
    if (!marker || !*marker) return;
    int fd = ::open(marker, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
    ::sleep(60);
}

int usage() {
    std::fprintf(stderr, "usage: flvmdi FILE\n       flvmdi --join OUT FILE...\n");
    return 2;
}

int join(int argc, char** argv) {
    if (argc < 4 || !argv[2][0]) return usage();
    std::vector<std::string> inputs(argv + 3, argv + argc);
    auto result = flv::joinFlv(inputs, argv[2]);
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", argv[2], result.error().text().c_str());
        return 1;
    }
    std::printf("%s: %zu files joined, %llu tags, duration %.3f s\n", argv[2], inputs.size(),
                static_cast<unsigned long long>(result->tags),
                static_cast<double>(result->durationMs) / 1000.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit must fail the write, not kill the process halfway.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc >= 2 && std::string(argv[1]) == "--join") return join(argc, argv);
    if (argc != 2 || !argv[1][0]) return usage();
    std::string path = argv[1];
    flv::UpdateOptions options;
    options.beforeRename = holdBeforeRename;
    auto result = flv::updateMetadata(path, options);
    if (!result) {
        std::fprintf(stderr, "flvmdi: %s: %s\n", path.c_str(), result.error().text().c_str());
        return 1;
    }
    std::printf("%s: onMetaData rebuilt %s, %zu keyframes, duration %.3f s\n", path.c_str(),
                result->inPlace ? "in place" : "by rewriting the file", result->keyframes,
                result->duration);
    return 0;
}
