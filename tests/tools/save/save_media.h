#pragma once
// Clips and checks shared by the save tests: sources of each kind made by the real ffmpeg,
// and what a cut part is compared against (decoded pictures of the source).
#include <string>
#include <vector>

namespace savetest {

// A 20 s 160x120 25 fps picture with a tone, encoded by codecArgs (split at spaces) into name,
// made once per build. The sources below are such clips:
std::string clip(const std::string& name, const std::string& codecArgs);
std::string h264Flv();   // H.264 with B-frames + AAC, keyframe every 2 s
std::string h264Mp4();   // libx264's defaults (B-frames in a pyramid) + AAC, keyframe every 2 s
std::string h263Flv();   // Sorenson H.263 + MP3, keyframe every 2 s
std::string mpeg1Ps();   // MPEG-1 video (GOP 12, two B-frames) + MP2 audio, program stream
std::string mpeg4Avi();  // MPEG-4 part 2 + MP3 in AVI
std::string opusAvi();
// Open groups of pictures, as encoders write them for these containers.
std::string mpeg4BFramesAvi();  // MPEG-4 part 2, two B-frames (Xvid's habit) + MP3 in AVI
std::string mpeg2Ts();          // MPEG-2 video (GOP 12, two B-frames) + MP2, transport stream
// An MPEG-2 elementary stream put into a VOB as it is: its I- and P-pictures carry no times.
std::string mpeg2EsVob();
// libx265's defaults (open groups: keyframes are CRA pictures), a keyframe every 2 s, in MP4.
std::string hevcMp4();
// h264Mp4 with open groups: pictures after a keyframe that are shown before it.
std::string h264OpenGopMp4();
std::string h264OpenGopFlv();  // x264 open-gop=1, keyframe every 2 s (an IDR only first)
// ffmpeg's own defaults for Sorenson H.263 + MP3: 30 s 640x360 25 fps, GOP 12, MP3 at
// 44.1 kHz. Its first tag is audio, so pieces cut from it begin with either kind of tag.
std::string
h263DefaultsFlv();  // Matroska with MPEG-4 + Opus, named .avi (the AVI muxer refuses Opus)

struct Frame {
    double time = 0;  // seconds from the media start
    bool key = false;
    std::string md5;
};
// Decoded pictures of the first video stream in display order.
std::vector<Frame> decodedFrames(const std::string& path);
// The picture at the last keyframe whose time is at or before seconds.
Frame keyFrameAtOrBefore(const std::vector<Frame>& frames, double seconds);
// md5 of the first decoded picture.
std::string firstPictureMd5(const std::string& path);
// Lines ffmpeg prints at level error while decoding every stream (empty: decodes cleanly).
std::string decodeErrors(const std::string& path);
// What a decoder says of joined beyond what it says of the pieces it was joined from, each on
// its own: the messages its joints add.
std::vector<std::string> messagesOfJoints(const std::string& joined,
                                          const std::vector<std::string>& pieces);
// Each decoded picture of out as the index of the same picture among source's; -1 for one
// that is not the source's.
std::vector<long> sourcePictures(const std::string& source, const std::string& out);
// Stream types present ("video", "audio").
std::vector<std::string> streamTypes(const std::string& path);
std::string ffmpegProgram();  // "ffmpeg" from PATH

}  // namespace savetest
