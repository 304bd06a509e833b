// Writes the movie fuzzer's seeds with the real ffmpeg: x264 with B-frames and open groups
// behind an edit list, and a file without one whose first picture is shown late.
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string dir = argv[1];
    const std::string head =
        "ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=size=64x48:rate=10:duration=2 "
        "-f lavfi -i sine=duration=2 -c:v libx264 -g 5 -pix_fmt yuv420p ";
    const int a =
        std::system((head + "-x264-params open-gop=1 -c:a aac '" + dir + "/open.mp4'").c_str());
    const int b = std::system((head + "-an -use_editlist 0 '" + dir + "/plain.mov'").c_str());
    return a == 0 && b == 0 ? 0 : 1;
}
