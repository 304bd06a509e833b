// Writes a few small hand-made FLV files as the reader fuzzer's seed corpus: every tag
// kind and codec header the scan looks into, old metadata, a cue point, a timestamp wrap.
#include <cstdio>
#include <string>
#include <vector>

#include "flv/amf0.h"
#include "flv/bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class FlvWriter {
  public:
    explicit FlvWriter(std::uint8_t flags) {
        w_.text("FLV");
        w_.u8(1);
        w_.u8(flags);
        w_.u32(9);
        w_.u32(0);
    }
    FlvWriter& tag(std::uint8_t type, std::uint32_t ts, const Bytes& body) {
        w_.u8(type);
        w_.u24(static_cast<std::uint32_t>(body.size()));
        w_.u24(ts & 0xFFFFFF);
        w_.u8(static_cast<std::uint8_t>(ts >> 24));
        w_.u24(0);
        w_.bytes(body);
        w_.u32(static_cast<std::uint32_t>(11 + body.size()));
        return *this;
    }
    const Bytes& bytes() const { return w_.data(); }

  private:
    flv::ByteWriter w_;
};

Bytes script(const std::string& name, bool cue) {
    flv::ByteWriter w;
    flv::AmfWriter amf(w);
    amf.string(name);
    if (cue) {
        amf.beginObject();
        amf.key("name");
        amf.string("c1");
        amf.key("time");
        amf.number(1.0);
        amf.endObject();
    } else {
        amf.beginEcmaArray(3);
        amf.key("duration");
        amf.number(12.5);
        amf.key("encoder");
        amf.string("seed");
        amf.key("keyframes");
        amf.beginObject();
        amf.key("times");
        amf.beginStrictArray(1);
        amf.number(0);
        amf.endObject();
        amf.endObject();
    }
    return std::move(w.data());
}

// An AVC decoder configuration with a 320x240 Baseline SPS.
const Bytes kAvcConfig = {0x17, 0x00, 0x00, 0x00, 0x00, 0x01, 0x42, 0xC0, 0x0D, 0xFF,
                          0xE1, 0x00, 0x0C, 0x67, 0x42, 0xC0, 0x0D, 0xD9, 0x01, 0x41,
                          0xFB, 0x01, 0x10, 0x00, 0x00, 0x01, 0x68, 0xCE, 0x3C, 0x80};

std::vector<std::pair<std::string, Bytes>> seeds() {
    std::vector<std::pair<std::string, Bytes>> out;
    FlvWriter avc(5);
    avc.tag(18, 0, script("onMetaData", false))
        .tag(9, 0, kAvcConfig)
        .tag(8, 0, {0xAF, 0x00, 0x11, 0x88})
        .tag(9, 0, {0x17, 0x01, 0, 0, 0, 0, 0, 0, 2, 0x65, 0x88})
        .tag(8, 0, {0xAF, 0x01, 0x21, 0x10})
        .tag(9, 40, {0x27, 0x01, 0, 0, 0, 0, 0, 0, 2, 0x41, 0x9A})
        .tag(18, 40, script("onCuePoint", true))
        .tag(9, 80, {0x17, 0x02, 0, 0, 0});
    out.push_back({"avc_aac.flv", avc.bytes()});

    FlvWriter h263(5);
    h263.tag(9, 0, {0x12, 0x00, 0x00, 0x84, 0x00, 0x50, 0x00, 0x78, 0x00})
        .tag(8, 0, {0x2E, 0xFF, 0xFB, 0x94, 0xC4})
        .tag(9, 40, {0x22, 0x00, 0x00, 0x84, 0x00});
    out.push_back({"h263_mp3.flv", h263.bytes()});

    FlvWriter vp6(1);
    vp6.tag(9, 0, {0x14, 0x00, 0x00, 0x46, 9, 11, 9, 11})
        .tag(9, 33, {0x24, 0x00, 0x80, 0x46})
        .tag(9, 66, {0x15, 0x00, 0x00, 0x01, 0x00, 0x00, 0x46, 30, 40, 30, 40})
        .tag(9, 100, {0x13, 0x10, 0xA0, 0x10, 0x78});
    out.push_back({"vp6_screen.flv", vp6.bytes()});

    FlvWriter wrap(1);  // timestamps across the 24-bit wrap, without the extended byte
    for (std::uint32_t i = 0; i < 8; ++i)
        wrap.tag(9, (16777000 + i * 100) & 0xFFFFFF, {0x17, 0x01, 0, 0, 0, 0, 1});
    out.push_back({"wrap.flv", wrap.bytes()});

    out.push_back({"header_only.flv", FlvWriter(0).bytes()});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_flv_seeds FOLDER\n");
        return 2;
    }
    for (const auto& [name, data] : seeds()) {
        std::string path = std::string(argv[1]) + "/seed_" + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f)) {
            std::fprintf(stderr, "fuzz_flv_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
