#include "test_media.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

extern char** environ;

namespace testmedia {
namespace fs = std::filesystem;

RunResult run(const std::vector<std::string>& argv) {
    RunResult r;
    int fds[2];
    if (argv.empty() || pipe(fds) != 0) return r;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return r;
    }
    char buf[65536];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) r.output.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

std::string mediaDir() {
    const char* env = std::getenv("LUMBA_TEST_MEDIA");
    fs::path dir = (env && *env) ? fs::path(env) : fs::temp_directory_path() / "lumba-test-media";
    fs::create_directories(dir);
    return fs::absolute(dir).string();
}

namespace {

// FNV-1a over the whole command line: a short, stable key for a clip's recipe.
std::string recipeKey(const std::vector<std::string>& argv) {
    std::uint64_t h = 14695981039346656037ull;
    for (const std::string& a : argv) {
        for (unsigned char c : a) h = (h ^ c) * 1099511628211ull;
        h = (h ^ 0u) * 1099511628211ull;  // keeps {"ab","c"} apart from {"a","bc"}
    }
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(h));
    return key;
}

}  // namespace

std::vector<std::string> x264KeyframeClipArgs(const std::string& size) {
    std::istringstream words("-f lavfi -i testsrc2=size=" + size +
                             ":rate=25 -f lavfi -i sine=frequency=440 -t 9 -c:v libx264 -g 50 "
                             "-sc_threshold 0 -pix_fmt yuv420p -c:a aac");
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);
    return args;
}

std::string makeClip(const std::string& name, const std::vector<std::string>& ffmpegArgs) {
    std::vector<std::string> argv = {"ffmpeg",    "-nostdin", "-hide_banner",
                                     "-loglevel", "error",    "-y"};
    argv.insert(argv.end(), ffmpegArgs.begin(), ffmpegArgs.end());
    if (std::find(ffmpegArgs.begin(), ffmpegArgs.end(), "-f") == ffmpegArgs.end()) {
        // The temporary name below hides the real extension from ffmpeg's muxer guess.
        std::string ext = fs::path(name).extension().string();
        static const std::map<std::string, std::string> muxers = {
            {".flv", "flv"}, {".mpg", "mpeg"}, {".mp3", "mp3"},      {".mp4", "mp4"},
            {".avi", "avi"}, {".wmv", "asf"},  {".mkv", "matroska"}, {".dat", "mpeg"},
            {".vob", "vob"}, {".wav", "wav"},  {".m4a", "ipod"}};
        auto it = muxers.find(ext);
        if (it != muxers.end()) {
            argv.push_back("-f");
            argv.push_back(it->second);
        }
    }
    // One folder per recipe: a clip whose arguments change is made again, under the same
    // file name, instead of an older clip being taken for it.
    fs::path folder = fs::path(mediaDir()) / recipeKey(argv);
    fs::path out = folder / name;
    if (fs::exists(out) && fs::file_size(out) > 0) return out.string();
    std::error_code ec;
    fs::create_directories(folder, ec);  // a parallel test may be making it too
    // Written under a private name first and renamed in one step, so parallel tests that
    // make the same clip never read a half-made one.
    fs::path tmp = out;
    tmp += ".part" + std::to_string(getpid()) + out.extension().string();
    argv.push_back(tmp.string());
    RunResult r = run(argv);
    if (r.exitCode != 0) {
        std::fprintf(stderr, "ffmpeg failed making %s:\n%s\n", name.c_str(), r.output.c_str());
        fs::remove(tmp, ec);
        std::abort();
    }
    fs::rename(tmp, out);
    return out.string();
}

std::string clip(const std::string& name) {
    static const std::map<std::string, std::vector<std::string>> recipes = {
        {"h264_aac.flv",
         {"-f",
          "lavfi",
          "-i",
          "testsrc=size=320x240:rate=25:duration=10",
          "-f",
          "lavfi",
          "-i",
          "sine=frequency=440:sample_rate=44100:duration=10",
          "-c:v",
          "libx264",
          "-preset",
          "ultrafast",
          "-g",
          "50",
          "-keyint_min",
          "50",
          "-sc_threshold",
          "0",
          "-pix_fmt",
          "yuv420p",
          "-c:a",
          "aac",
          "-ac",
          "2",
          "-b:a",
          "64k",
          "-shortest"}},
        {"h263_mp3.flv",
         {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=10", "-f", "lavfi", "-i",
          "sine=frequency=440:sample_rate=44100:duration=10", "-c:v", "flv1", "-g", "50", "-c:a",
          "libmp3lame", "-b:a", "64k", "-shortest"}},
        {"mpeg1.mpg",
         {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=10", "-f", "lavfi", "-i",
          "sine=frequency=440:sample_rate=44100:duration=10", "-c:v", "mpeg1video", "-g", "25",
          "-b:v", "800k", "-c:a", "mp2", "-b:a", "128k", "-shortest"}},
        {"tone.mp3",
         {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=5", "-c:a",
          "libmp3lame", "-b:a", "64k"}},
        {"sample640.flv",
         {"-f",       "lavfi",   "-i",       "testsrc2=size=640x360:rate=30:duration=20",
          "-f",       "lavfi",   "-i",       "sine=frequency=330:sample_rate=44100:duration=20",
          "-c:v",     "libx264", "-preset",  "veryfast",
          "-g",       "60",      "-pix_fmt", "yuv420p",
          "-c:a",     "aac",     "-b:a",     "96k",
          "-shortest"}},
    };
    auto it = recipes.find(name);
    if (it == recipes.end()) {
        std::fprintf(stderr, "no recipe for test clip %s\n", name.c_str());
        std::abort();
    }
    return makeClip(name, it->second);
}

double probeDuration(const std::string& path) {
    RunResult r = run({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                       "default=nw=1:nk=1", "file:" + path});
    if (r.exitCode != 0) return -1;
    try {
        return std::stod(r.output);
    } catch (...) {
        return -1;
    }
}

long probeVideoFrames(const std::string& path) {
    RunResult r =
        run({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
             "stream=nb_read_packets", "-of", "default=nw=1:nk=1", "file:" + path});
    if (r.exitCode != 0) return -1;
    try {
        return std::stol(r.output);
    } catch (...) {
        return -1;
    }
}

}  // namespace testmedia
