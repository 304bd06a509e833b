#include "save_media.h"

#include <cstdio>
#include <map>
#include <regex>
#include <sstream>

#include "test_media.h"

namespace savetest {
namespace {

std::vector<std::string> lavfi(const std::string& codecArgs) {
    std::vector<std::string> a{
        "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=20",
        "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=20"};
    std::istringstream in(codecArgs);
    for (std::string w; in >> w;) a.push_back(w);
    a.push_back("-shortest");
    return a;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (!l.empty()) out.push_back(l);
    return out;
}

double startTime(const std::string& path) {
    auto r = testmedia::run(
        {"ffprobe", "-v", "error", "-show_entries", "format=start_time", "-of", "csv=p=0", path});
    return std::atof(r.output.c_str());
}

}  // namespace

std::string ffmpegProgram() { return "ffmpeg"; }

std::string clip(const std::string& name, const std::string& codecArgs) {
    return testmedia::makeClip(name, lavfi(codecArgs));
}

std::string h264Flv() {
    return testmedia::makeClip(
        "save_h264_aac.flv",
        lavfi("-c:v libx264 -preset veryfast -bf 2 -g 50 -keyint_min 50 -sc_threshold 0 "
              "-pix_fmt yuv420p -c:a aac -b:a 64k"));
}
std::string h264Mp4() {
    return testmedia::makeClip("save_h264_defaults.mp4",
                               lavfi("-c:v libx264 -g 50 -pix_fmt yuv420p -c:a aac -b:a 64k"));
}
std::string h264OpenGopFlv() {
    return testmedia::makeClip("save_h264_open_gop.flv",
                               lavfi("-c:v libx264 -g 50 -keyint_min 50 -sc_threshold 0 "
                                     "-x264-params open-gop=1 -pix_fmt yuv420p -c:a aac -b:a 64k"));
}
std::string h264OpenGopMp4() {
    return testmedia::makeClip(
        "save_h264_open_gop.mp4",
        lavfi("-c:v libx264 -g 50 -x264-params open-gop=1 -pix_fmt yuv420p -c:a aac -b:a 64k"));
}
std::string h263Flv() {
    return testmedia::makeClip("save_h263_mp3.flv",
                               lavfi("-c:v flv1 -g 50 -c:a libmp3lame -ar 44100 -b:a 64k"));
}
std::string mpeg1Ps() {
    return testmedia::makeClip("save_mpeg1.mpg",
                               lavfi("-c:v mpeg1video -g 12 -bf 2 -c:a mp2 -f mpeg"));
}
std::string h263DefaultsFlv() {
    return testmedia::makeClip(
        "save_h263_defaults_640.flv",
        {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=30", "-f", "lavfi", "-i",
         "sine=frequency=440:duration=30", "-c:v", "flv1", "-c:a", "libmp3lame"});
}
std::string mpeg4Avi() {
    return testmedia::makeClip("save_mpeg4_mp3.avi",
                               lavfi("-c:v mpeg4 -g 50 -c:a libmp3lame -b:a 64k"));
}
std::string mpeg4BFramesAvi() {
    return testmedia::makeClip("save_mpeg4_bframes.avi",
                               lavfi("-c:v mpeg4 -g 50 -bf 2 -vtag XVID -c:a libmp3lame -b:a 64k"));
}
std::string mpeg2Ts() {
    return testmedia::makeClip("save_mpeg2.ts",
                               lavfi("-c:v mpeg2video -g 12 -bf 2 -c:a mp2 -f mpegts"));
}
std::string mpeg2EsVob() {
    const std::string es =
        testmedia::makeClip("save_mpeg2.m2v", lavfi("-c:v mpeg2video -g 12 -bf 2 -f mpeg2video"));
    return testmedia::makeClip("save_mpeg2_es.vob",
                               {"-i", es, "-f", "lavfi", "-i", "sine=frequency=440:duration=20",
                                "-c:v", "copy", "-c:a", "mp2", "-shortest"});
}
std::string hevcMp4() {
    return testmedia::makeClip("save_hevc_open_gop.mp4",
                               lavfi("-c:v libx265 -x265-params keyint=50:log-level=error "
                                     "-tag:v hvc1 -pix_fmt yuv420p -c:a aac -b:a 64k"));
}
std::string opusAvi() {
    return testmedia::makeClip("save_mpeg4_opus_mkv.avi",
                               lavfi("-c:v mpeg4 -g 50 -c:a libopus -f matroska"));
}

std::vector<Frame> decodedFrames(const std::string& path) {
    const double st = startTime(path);
    auto probe =
        testmedia::run({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                        "frame=best_effort_timestamp_time,key_frame", "-of", "csv=p=0", path});
    auto md5 = testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-map", "0:v:0",
                               "-fps_mode", "passthrough", "-f", "framemd5", "-"});
    std::vector<std::string> sums;
    for (const auto& l : lines(md5.output)) {
        if (l[0] == '#' || l[0] == '[' || l[0] == ' ') continue;  // not a picture's line
        sums.push_back(l.substr(l.rfind(',') + 1));
    }
    std::vector<Frame> frames;
    size_t i = 0;
    for (const auto& l : lines(probe.output)) {
        if (l[0] != '0' && l[0] != '1') continue;  // a decoder's message, not a picture
        Frame f;
        f.key = l[0] == '1';
        f.time = std::atof(l.substr(l.find(',') + 1).c_str()) - st;
        if (i < sums.size()) f.md5 = sums[i];
        ++i;
        frames.push_back(f);
    }
    return frames;
}

Frame keyFrameAtOrBefore(const std::vector<Frame>& frames, double seconds) {
    // Before the first keyframe the cut begins at the file's first picture.
    Frame best;
    for (const auto& f : frames) {
        if (!f.key) continue;
        if (best.md5.empty() || (f.time <= seconds + 1e-6 && f.time >= best.time)) best = f;
    }
    return best;
}

std::string firstPictureMd5(const std::string& path) {
    auto r = testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-map", "0:v:0",
                             "-frames:v", "1", "-f", "framemd5", "-"});
    for (const auto& l : lines(r.output))
        if (l[0] != '#') return l.substr(l.rfind(',') + 1);
    return {};
}

std::string decodeErrors(const std::string& path) {
    // Without the decoders' addresses, so that two files' messages compare.
    static const std::regex address(" @ 0x[0-9a-f]+");
    return std::regex_replace(
        testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-f", "null", "-"}).output,
        address, "");
}

std::vector<std::string> messagesOfJoints(const std::string& joined,
                                          const std::vector<std::string>& pieces) {
    std::string piecesSay;
    for (const std::string& p : pieces) piecesSay += decodeErrors(p);
    std::vector<std::string> added;
    for (const std::string& line : lines(decodeErrors(joined)))
        if (line.find("Last message repeated") == std::string::npos &&
            piecesSay.find(line) == std::string::npos)
            added.push_back(line);
    return added;
}

std::vector<long> sourcePictures(const std::string& source, const std::string& out) {
    const std::vector<Frame> src = decodedFrames(source);
    std::map<std::string, long> index;
    for (size_t i = 0; i < src.size(); ++i) index.emplace(src[i].md5, long(i));
    std::vector<long> shown;
    for (const Frame& p : decodedFrames(out)) {
        const auto found = index.find(p.md5);
        shown.push_back(found == index.end() ? -1 : found->second);
    }
    return shown;
}

std::vector<std::string> streamTypes(const std::string& path) {
    return lines(testmedia::run({"ffprobe", "-v", "error", "-show_entries", "stream=codec_type",
                                 "-of", "csv=p=0", path})
                     .output);
}

}  // namespace savetest
