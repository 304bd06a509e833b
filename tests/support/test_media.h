#pragma once
// Test media made by the real ffmpeg at test time, cached per build, never committed.
#include <string>
#include <vector>

namespace testmedia {

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs argv (no shell) and collects its output.
RunResult run(const std::vector<std::string>& argv);

// Folder that holds generated clips ($LUMBA_TEST_MEDIA, else a folder under /tmp).
std::string mediaDir();

// A named clip from the built-in recipes, generated on first use:
//   "h264_aac.flv"    10 s 320x240 25 fps H.264 + AAC 44.1 kHz stereo, keyframe every 2 s
//   "h263_mp3.flv"    10 s 320x240 25 fps Sorenson H.263 + MP3
//   "mpeg1.mpg"       10 s 320x240 25 fps MPEG-1 program stream with MP2 audio
//   "tone.mp3"        5 s MP3 sine tone
//   "sample640.flv"   20 s 640x360 30 fps H.264 + AAC
// Returns the absolute path; aborts the test process when ffmpeg fails.
std::string clip(const std::string& name);

// A clip from ffmpeg output arguments: ffmpeg -y <args> <dir>/<key>/<name>, where key is a
// hash of the arguments, so a clip is cached by its recipe as well as its name.
std::string makeClip(const std::string& name, const std::vector<std::string>& ffmpegArgs);
// Arguments for 9 s of libx264 with its defaults (B-frames) and AAC sound, at 25 fps with a
// keyframe every 2 s and no scene-cut keyframes; size as "WxH".
std::vector<std::string> x264KeyframeClipArgs(const std::string& size);

// ffprobe helpers; negative on failure.
double probeDuration(const std::string& path);
long probeVideoFrames(const std::string& path);  // counted packets of the first video stream

}  // namespace testmedia
