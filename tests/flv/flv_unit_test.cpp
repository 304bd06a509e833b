// The layers under flvmdi on hand-made input: AMF0, codec headers, the tag reader's
// diagnostics, the scan's keyframe and timestamp rules, the in-place decision, a new file
// assembled from tags of other files.
#include <gtest/gtest.h>
#include <unistd.h>

#include "flv/amf0.h"
#include "flv/avc_order.h"
#include "flv/bit_reader.h"
#include "flv/codec_headers.h"
#include "flv/h264_sps.h"
#include "flv/layout.h"
#include "flv/plan.h"
#include "flv/read_ahead.h"
#include "flv/scan.h"
#include "flv_test_util.h"

using namespace flvtest;

namespace {

flv::Result<flv::ScanResult> scanBytes(const Bytes& data) {
    flv::MemorySource src(data);
    return flv::scanFlv(src);
}

TEST(Amf0, RoundTripsEveryKind) {
    flv::AmfValue root;
    root.type = flv::AmfType::EcmaArray;
    flv::AmfValue arr;
    arr.type = flv::AmfType::StrictArray;
    arr.items = {flv::AmfValue::makeNumber(1.5), flv::AmfValue::makeBoolean(true), flv::AmfValue{}};
    flv::AmfValue obj;
    obj.type = flv::AmfType::Object;
    obj.properties.push_back({"inner", flv::AmfValue::makeString("x")});
    flv::AmfValue date;
    date.type = flv::AmfType::Date;
    date.number = 1.7e12;
    date.timezone = -60;
    root.properties = {{"n", flv::AmfValue::makeNumber(-3)},
                       {"long", flv::AmfValue::makeString(std::string(70000, 'a'))},
                       {"arr", arr},
                       {"obj", obj},
                       {"date", date}};
    flv::ByteWriter w;
    flv::AmfWriter(w).value(root);
    flv::ByteReader in(w.data());
    auto back = flv::decodeAmf(in);
    ASSERT_TRUE(back);
    EXPECT_EQ(in.remaining(), 0u);
    ASSERT_EQ(back->properties.size(), 5u);
    EXPECT_EQ(back->find("n")->number, -3);
    EXPECT_EQ(back->find("long")->type, flv::AmfType::LongString);
    EXPECT_EQ(back->find("long")->text.size(), 70000u);
    EXPECT_EQ(back->find("arr")->items.size(), 3u);
    EXPECT_EQ(back->find("obj")->find("inner")->text, "x");
    EXPECT_EQ(back->find("date")->timezone, -60);
    // Every truncation of it is refused, never over-read.
    for (std::size_t n = 0; n < w.size(); n += 97) {
        flv::ByteReader cut(std::span(w.data()).first(n));
        EXPECT_FALSE(flv::decodeAmf(cut)) << n;
    }
}

TEST(Amf0, RefusesHostileInput) {
    Bytes deep(5000, 0x0A);  // strict arrays nested without end
    for (std::size_t i = 0; i + 5 <= deep.size(); i += 5) deep[i + 4] = 1, deep[i + 1] = 0;
    flv::ByteReader in1(deep);
    EXPECT_FALSE(flv::decodeAmf(in1));
    Bytes huge = {0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};  // a count far beyond the data
    flv::ByteReader in2(huge);
    EXPECT_FALSE(flv::decodeAmf(in2));
    Bytes emptyKeyValue = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    flv::ByteReader in3(emptyKeyValue);
    EXPECT_FALSE(flv::decodeAmf(in3));
}

TEST(CodecHeaders, Vp6SizesWithAndWithoutCoefficientOffset) {
    // Keyframe, simple profile (no filter header): a 16-bit coefficient offset precedes
    // the macroblock rows and columns; the adjustment byte crops 4 columns and 8 rows.
    Bytes simple = {0x14, 0x48, 0x00, 0x40, 0x00, 0x00, 15, 20, 15, 20};
    auto d = flv::videoDimensions(simple);
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (flv::Dimensions{316, 232}));
    Bytes advanced = {0x14, 0x00, 0x00, 0x46, 9, 11, 9, 11};
    EXPECT_EQ(flv::videoDimensions(advanced), (flv::Dimensions{176, 144}));
    Bytes alpha = {0x15, 0x00, 0x00, 0x01, 0x00, 0x00, 0x46, 30, 40, 30, 40};
    EXPECT_EQ(flv::videoDimensions(alpha), (flv::Dimensions{640, 480}));
    Bytes inter = {0x24, 0x00, 0x80, 0x46, 9, 11};  // interframes carry no size
    EXPECT_FALSE(flv::videoDimensions(inter));
}

TEST(CodecHeaders, AudioSpecificConfigAndMp3Header) {
    auto lcMono48 = flv::parseAudioSpecificConfig(Bytes{0x11, 0x88});
    ASSERT_TRUE(lcMono48);
    EXPECT_EQ(lcMono48->objectType, 2);
    EXPECT_EQ(lcMono48->sampleRate, 48000);
    EXPECT_EQ(lcMono48->channels, 1);
    // Frequency index 15: an explicit 24-bit rate (here 7000 Hz), stereo.
    auto explicitRate = flv::parseAudioSpecificConfig(Bytes{0x17, 0x80, 0x0D, 0xAC, 0x10});
    ASSERT_TRUE(explicitRate);
    EXPECT_EQ(explicitRate->sampleRate, 7000);
    EXPECT_EQ(explicitRate->channels, 2);
    // The flags byte says 44.1 kHz stereo for every AAC stream; the config decides.
    auto fmt = flv::audioFormat(Bytes{0xAF, 0x00, 0x11, 0x88});
    ASSERT_TRUE(fmt);
    EXPECT_EQ(fmt->sampleRate, 48000);
    EXPECT_FALSE(fmt->stereo);
    auto mp3 = flv::audioFormat(Bytes{0x2F, 0xFF, 0xFB, 0x94, 0xC4});  // MPEG-1 48 kHz mono
    ASSERT_TRUE(mp3);
    EXPECT_EQ(mp3->sampleRate, 48000);
    EXPECT_FALSE(mp3->stereo);
}

// Writes SPS fields bit by bit and wraps them as a NAL unit with emulation prevention.
class SpsBits {
  public:
    SpsBits& put(std::uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) bits_.push_back((v >> i) & 1);
        return *this;
    }
    SpsBits& ue(std::uint32_t v) {
        int len = 0;
        while ((v + 1) >> (len + 1)) ++len;
        return put(0, len).put(v + 1, len + 1);
    }
    SpsBits& se(std::int32_t v) {
        return ue(v > 0 ? static_cast<std::uint32_t>(2 * v - 1)
                        : static_cast<std::uint32_t>(-2 * v));
    }
    std::size_t size() const { return bits_.size(); }
    Bytes nal(std::uint8_t header = 0x67) {
        put(1, 1);  // rbsp stop bit
        while (bits_.size() % 8) bits_.push_back(0);
        Bytes out = {header};
        int zeros = 0;
        for (std::size_t i = 0; i < bits_.size(); i += 8) {
            std::uint8_t b = 0;
            for (int k = 0; k < 8; ++k) b = static_cast<std::uint8_t>(b << 1 | bits_[i + k]);
            if (zeros >= 2 && b <= 3) out.push_back(3), zeros = 0;
            zeros = b == 0 ? zeros + 1 : 0;
            out.push_back(b);
        }
        return out;
    }

  private:
    std::vector<int> bits_;
};

TEST(CodecHeaders, BaselineSpsWithCropping) {
    SpsBits s;  // 1920x1080 coded as 120x68 macroblocks, 8 rows cropped at the bottom
    s.put(66, 8).put(0, 8).put(40, 8);
    s.ue(0).ue(0).ue(0).ue(0).ue(1).put(0, 1);  // ids, POC type 0, one reference
    s.ue(119).ue(67).put(1, 1).put(1, 1);       // frames only
    s.put(1, 1).ue(0).ue(0).ue(0).ue(4).put(0, 1);
    auto sps = flv::parseSps(s.nal());
    ASSERT_TRUE(sps);
    EXPECT_EQ(sps->size, (flv::Dimensions{1920, 1080}));
    EXPECT_FALSE(flv::parseSps(Bytes{0x67, 0x42}));
    EXPECT_EQ(flv::unescapeRbsp(Bytes{0, 0, 3, 1, 0, 0, 3}), (Bytes{0, 0, 1, 0, 0}));
}

TEST(CodecHeaders, HighSpsWithScalingListsPocCycleAndFields) {
    SpsBits s;
    s.put(100, 8).put(0, 8).put(41, 8).ue(0);
    s.ue(1).ue(0).ue(0).put(0, 1);  // 4:2:0, 8-bit, no transform bypass
    s.put(1, 1);                    // scaling matrices follow
    for (int list = 0; list < 8; ++list) {
        bool present = list == 0 || list == 6 || list == 7;
        s.put(present, 1);
        if (list == 0) {  // a 4x4 list: 16 deltas
            s.se(8);
            for (int j = 1; j < 16; ++j) s.se(j % 3 - 1);
        } else if (list == 6) {  // an 8x8 list: 64 deltas
            for (int j = 0; j < 64; ++j) s.se(j == 0 ? 100 : -(j % 5));
        } else if (list == 7) {  // the default matrix: a first delta that makes zero
            s.se(-8);
        }
    }
    s.ue(0).ue(1);                                      // frame num bits, POC type 1
    s.put(0, 1).se(-1).se(2).ue(3).se(1).se(-3).se(7);  // with a three-entry cycle
    s.ue(4).put(0, 1);
    s.ue(79).ue(22).put(0, 1).put(1, 1).put(1, 1);  // 80x23 map units of field pairs
    s.put(1, 1).ue(2).ue(2).ue(1).ue(1);            // crop 8 columns and 8 rows
    s.put(0, 1);
    auto sps = flv::parseSps(s.nal());
    ASSERT_TRUE(sps);
    EXPECT_EQ(sps->profileIdc, 100);
    EXPECT_EQ(sps->size, (flv::Dimensions{1272, 728}));
}

// A PPS of id 0 for SPS 0: CAVLC or CABAC, one slice group, the deblocking control present.
Bytes pps(bool cabac) {
    SpsBits b;
    b.ue(0).ue(0).put(cabac, 1).put(0, 1).ue(0).ue(0).ue(0).put(0, 3).se(0).se(0).se(0);
    return b.put(1, 1).put(0, 1).put(0, 1).nal(0x68);
}

// A slice of a baseline stream with 4-bit frame numbers and picture order counts, whose
// header ends on bit 17; tail follows it (before the stop bit).
Bytes slice(std::uint8_t header, std::uint32_t frameNum, std::uint32_t pocLsb,
            std::uint32_t tail = 0x5A5A) {
    SpsBits b;
    b.ue(0).ue(header == 0x65 ? 7 : 5).ue(0).put(frameNum, 4);
    if (header == 0x65) b.ue(0);  // idr_pic_id
    return b.put(pocLsb, 4).put(tail, 16).nal(header);
}

// An open group's I-slice made an IDR slice: frame 0, its own idr_pic_id, the marking
// commands gone, the rest of the header and the coded data as they were, bit for bit after a
// CAVLC header and byte for byte after CABAC's alignment.
TEST(AvcOrder, AnOpenGroupsISliceBecomesAnIdrSlice) {
    for (bool cabac : {false, true}) {
        SCOPED_TRACE(cabac);
        flv::avc::ParamSets sets;
        SpsBits sps;
        sps.put(66, 8).put(0, 8).put(30, 8).ue(0).ue(0).ue(0).ue(0).ue(2).put(0, 1);
        sps.ue(19).ue(14).put(1, 1).put(1, 1).put(0, 1).put(0, 1);
        sets.add(sps.nal());
        sets.add(pps(cabac));
        SpsBits b;  // first_mb 0, I, PPS 0, frame 9, POC lsb 6
        b.ue(0).ue(7).ue(0).put(9, 4).put(6, 4);
        b.put(1, 1).ue(1).ue(3).ue(0);  // marking: unreference one picture
        b.se(-3).ue(0).se(1).se(-2);    // slice_qp_delta, deblocking with offsets
        if (cabac)
            while (b.size() % 8) b.put(1, 1);  // cabac_alignment_one_bit
        b.put(0xC0DE, 16);
        const Bytes slice = b.nal(0x41);
        const auto h = flv::avc::readSliceHeader(slice, sets);
        ASSERT_TRUE(h);
        auto idr = flv::avc::idrFromISlice(slice, *h);
        ASSERT_TRUE(idr);
        EXPECT_EQ((*idr)[0], 0x45);
        const auto back = flv::avc::readSliceHeader(*idr, sets);
        ASSERT_TRUE(back);
        EXPECT_TRUE(back->idr);
        EXPECT_EQ(back->frameNum, 0u);
        EXPECT_EQ(back->pocLsb, 6u);
        const auto rbsp = flv::unescapeRbsp(std::span(*idr).subspan(1));
        flv::BitReader br(rbsp);
        EXPECT_EQ(br.ue(), 0u);
        EXPECT_EQ(br.ue(), 7u);
        EXPECT_EQ(br.ue(), 0u);
        EXPECT_EQ(br.bits(4), 0u);
        EXPECT_EQ(br.ue(), 1u);  // idr_pic_id
        EXPECT_EQ(br.bits(4), 6u);
        EXPECT_EQ(br.bits(2), 0u);  // no_output_of_prior_pics_flag, long_term_reference_flag
        EXPECT_EQ(br.se(), -3);
        EXPECT_EQ(br.ue(), 0u);
        EXPECT_EQ(br.se(), 1);
        EXPECT_EQ(br.se(), -2);
        while (cabac && br.position() % 8) {
            EXPECT_EQ(br.bit(), 1u);
        }
        EXPECT_EQ(br.bits(16), 0xC0DEu);
        EXPECT_EQ(br.bit(), 1u);  // the stop bit
        // A P-slice, or an IDR already, is not rewritten.
        EXPECT_FALSE(flv::avc::idrFromISlice(*idr, *back));
    }
}

TEST(AvcOrder, APieceFromAnOpenGroupGoesOnFromThePieceBefore) {
    flv::avc::ParamSets sets;
    SpsBits sps;  // baseline, 4-bit frame numbers, POC type 0 with 4-bit lsb, 2 references
    sps.put(66, 8).put(0, 8).put(30, 8).ue(0).ue(0).ue(0).ue(0).ue(2).put(0, 1);
    sps.ue(19).ue(14).put(1, 1).put(1, 1).put(0, 1).put(0, 1);
    sets.add(sps.nal());
    sets.add(pps(false));
    auto header = [&](const Bytes& nal) { return flv::avc::readSliceHeader(nal, sets).value(); };
    // The piece before: an IDR, a P-picture shown at 6, a B-picture shown at 2.
    flv::avc::OrderState state;
    for (const Bytes& nal : {slice(0x65, 0, 0), slice(0x41, 1, 6), slice(0x01, 2, 2)})
        advance(state, header(nal));
    EXPECT_EQ(state.prevRefFrameNum, 1u);
    EXPECT_EQ(state.maxPoc, 6);
    EXPECT_FALSE(flv::avc::continueFrom(state, header(slice(0x65, 0, 0)))) << "an IDR";
    EXPECT_FALSE(flv::avc::continueFrom({}, header(slice(0x41, 9, 2)))) << "nothing before";

    // The next piece's I-picture (frame 9, shown at 2): two frame numbers left for the two
    // references, then shown at 12 (6 from the reference at 6, and after its stand-ins).
    Bytes open = slice(0x41, 9, 2);
    const auto first = header(open);
    auto change = flv::avc::continueFrom(state, first);
    ASSERT_TRUE(change);
    const Bytes before = open;
    ASSERT_TRUE(flv::avc::renumberSlice(open, first, *change));
    auto moved = header(open);
    EXPECT_EQ(moved.frameNum, 4u);
    EXPECT_EQ(moved.pocLsb, 12u);
    EXPECT_EQ(Bytes(open.begin() + 3, open.end()), Bytes(before.begin() + 3, before.end()));
    // Both wrap at 16: frame 15 shown at 7 goes on as frame 10 shown at 1.
    Bytes next = slice(0x41, 15, 7);
    ASSERT_TRUE(flv::avc::renumberSlice(next, header(next), *change));
    EXPECT_EQ(header(next).frameNum, 10u);
    EXPECT_EQ(header(next).pocLsb, 1u);

    // New numbers that would need an emulation prevention byte are left as they were: a
    // second header byte of zeros before the tail's 00 and the stop bit's 01.
    Bytes escape = slice(0x41, 9, 13, 0x0000);
    const Bytes kept = escape;
    EXPECT_FALSE(flv::avc::renumberSlice(escape, header(escape), flv::avc::Renumbering{7, 3}));
    EXPECT_EQ(escape, kept);
}

Bytes avcBody(int frameType, int packetType, std::size_t extra = 8) {
    Bytes b = {static_cast<std::uint8_t>(frameType << 4 | 7), static_cast<std::uint8_t>(packetType),
               0, 0, 0};
    b.resize(5 + extra, 0x11);
    return b;
}

TEST(Scan, IndexesOnlyRealKeyframesOncePerTimestamp) {
    std::vector<RawTag> tags = {
        makeTag(9, 0, avcBody(1, 0)),    // sequence header
        makeTag(9, 0, avcBody(1, 1)),    // keyframe
        makeTag(9, 40, avcBody(2, 1)),   // inter frame
        makeTag(9, 80, avcBody(5, 1)),   // info frame
        makeTag(9, 80, avcBody(3, 1)),   // disposable
        makeTag(9, 120, avcBody(1, 1)),  // keyframe
        makeTag(9, 120, avcBody(1, 1)),  // the same timestamp again
        makeTag(9, 160, avcBody(2, 1)), makeTag(9, 200, avcBody(1, 2, 0)),  // end of sequence
    };
    Bytes file = joinTags(tags, 1);
    auto scan = scanBytes(file);
    ASSERT_TRUE(scan) << scan.error().text();
    auto parsed = splitTags(file);
    ASSERT_EQ(scan->keyframes.size(), 2u);
    EXPECT_EQ(scan->keyframes[0].offset, parsed[1].offset);
    EXPECT_EQ(scan->keyframes[1].offset, parsed[5].offset);
    EXPECT_EQ(scan->keyframes[1].timeMs, 120);
    EXPECT_FALSE(scan->lastVideoIsKeyframe);
    // Five coded frames spaced 40 ms: 0..160 plus one frame.
    EXPECT_DOUBLE_EQ(scan->durationSeconds(), 0.2);
}

TEST(Scan, UnwrapsTimestampsWrappedAt24_31Or32Bits) {
    // 16777.0 s onwards in 24 bits only: the counter wraps after 16777.215 s.
    std::vector<RawTag> tags;
    std::uint32_t start = 16777000;
    for (std::uint32_t i = 0; i < 20; ++i) {
        std::uint32_t t = (start + i * 40) & 0xFFFFFF;
        tags.push_back(makeTag(9, t, avcBody(i % 5 == 0 ? 1 : 2, 1)));
    }
    auto scan = scanBytes(joinTags(tags, 1));
    ASSERT_TRUE(scan);
    EXPECT_DOUBLE_EQ(scan->durationSeconds(), 0.8);
    ASSERT_EQ(scan->keyframes.size(), 4u);
    EXPECT_EQ(scan->keyframes.back().timeMs, 16777000 + 15 * 40);
    flv::TimestampUnwrapper u;
    EXPECT_EQ(u.unwrap(0xFFFFF0), 0xFFFFF0);
    EXPECT_EQ(u.unwrap(0x10), 0x1000010);
    EXPECT_EQ(u.unwrap(0xFFFFF8), 0xFFFFF8);  // a late tag from before the wrap
    EXPECT_EQ(u.unwrap(0x20), 0x1000020);
    // Past 2^31 ms a writer that keeps the value signed wraps to 0; one that does not, at 2^32.
    for (const std::int64_t wrap : {std::int64_t{1} << 31, std::int64_t{1} << 32}) {
        flv::TimestampUnwrapper w;
        EXPECT_EQ(w.unwrap(static_cast<std::uint32_t>(wrap - 40)), wrap - 40);
        EXPECT_EQ(w.unwrap(8), wrap + 8);
        EXPECT_EQ(w.unwrap(static_cast<std::uint32_t>(wrap - 20)), wrap - 20);  // late
        EXPECT_EQ(w.unwrap(48), wrap + 48);
    }
}

// Counts the reads a scan makes of a file.
class CountingSource : public flv::ByteSource {
  public:
    explicit CountingSource(const Bytes& data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    flv::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> dst) override {
        ++reads;
        bytes += dst.size();
        return inner_.readAt(offset, dst);
    }
    int reads = 0;
    std::uint64_t bytes = 0;

  private:
    const Bytes& data_;
    flv::MemorySource inner_{data_};
};

TEST(Scan, ReadsTheFileFrontToBackInLargeBlocks) {
    // 40 000 small tags, about 2.6 MB: a read per tag would be 80 000 calls.
    std::vector<RawTag> tags;
    for (std::uint32_t i = 0; i < 20000; ++i) {
        tags.push_back(makeTag(9, i * 40, Bytes(50, i % 50 == 0 ? 0x12 : 0x22)));
        tags.push_back(makeTag(8, i * 40 + 3, Bytes(30, 0x2F)));
    }
    const Bytes file = joinTags(tags, 5);
    CountingSource src(file);
    auto scan = flv::scanFlv(src);
    ASSERT_TRUE(scan) << scan.error().text();
    EXPECT_EQ(scan->video.frames, 20000u);
    EXPECT_LE(src.reads, static_cast<int>(file.size() / flv::WindowReader::kBlock) + 4);
    EXPECT_LE(src.bytes, file.size() + flv::WindowReader::kBlock);  // each byte about once

    // Large pictures between small sounds: their bodies are mostly not read at all.
    tags.clear();
    for (std::uint32_t i = 0; i < 200; ++i) {
        tags.push_back(makeTag(9, i * 40, Bytes(40000 + i * 13, i % 25 == 0 ? 0x12 : 0x22)));
        tags.push_back(makeTag(8, i * 40 + 3, Bytes(370, 0x2F)));
    }
    const Bytes large = joinTags(tags, 5);
    CountingSource largeSrc(large);
    auto largeScan = flv::scanFlv(largeSrc);
    ASSERT_TRUE(largeScan) << largeScan.error().text();
    EXPECT_EQ(largeScan->video.frames, 200u);
    EXPECT_EQ(largeScan->audio.frames, 200u);
    EXPECT_LT(largeSrc.bytes, large.size() / 4);
}

// Over a file the scan reads a block at a time, on its own or with the blocks read ahead on
// another thread: tags that straddle a block's end, and the last one ending at the file's
// end, read the same as from memory.
TEST(Scan, AFileReadInBlocksScansAsFromMemory) {
    std::vector<RawTag> tags;
    for (std::uint32_t i = 0; i < 12000; ++i) {
        // Now and then a picture large enough that the read after it is a short one.
        const std::size_t picture = i % 500 == 7 ? 17000 + i % 40000 : 300 + i % 97;
        tags.push_back(makeTag(9, i * 40, Bytes(picture, i % 50 == 0 ? 0x12 : 0x22)));
        tags.push_back(makeTag(8, i * 40 + 3, Bytes(30 + i % 13, 0x2F)));
    }
    const Bytes file = joinTags(tags, 5);
    ASSERT_GT(file.size(), 4 * flv::ReadAheadSource::kStride);
    TempDir dir;
    const auto scanFile = [&](const std::string& name, const Bytes& bytes, bool readAhead) {
        writeFile(dir.file(name), bytes);
        auto opened = flv::openForReading(dir.file(name));
        EXPECT_TRUE(opened);
        if (readAhead) {
            flv::ReadAheadSource src(opened->fd.get(), opened->size);
            return flv::scanFlv(src);
        }
        flv::FdSource src(opened->fd.get(), opened->size);
        return flv::scanFlv(src);
    };
    auto inMemory = scanBytes(file);
    ASSERT_TRUE(inMemory);
    const Bytes torn(file.begin(), file.end() - 10);
    auto tornMemory = scanBytes(torn);
    ASSERT_FALSE(tornMemory);
    for (bool readAhead : {false, true}) {
        SCOPED_TRACE(readAhead ? "read ahead" : "read in turn");
        auto fromFile = scanFile("big.flv", file, readAhead);
        ASSERT_TRUE(fromFile);
        EXPECT_EQ(fromFile->video.frames, 12000u);
        EXPECT_EQ(fromFile->audio.frames, 12000u);
        EXPECT_EQ(fromFile->video.bodyBytes, inMemory->video.bodyBytes);
        ASSERT_EQ(fromFile->keyframes.size(), inMemory->keyframes.size());
        for (std::size_t i = 0; i < fromFile->keyframes.size(); ++i)
            EXPECT_EQ(fromFile->keyframes[i].offset, inMemory->keyframes[i].offset);

        // The same file cut short: the diagnostic names the place, as it does from memory.
        auto tornFile = scanFile("torn.flv", torn, readAhead);
        ASSERT_FALSE(tornFile);
        EXPECT_EQ(tornFile.error().code, tornMemory.error().code);
        EXPECT_EQ(tornFile.error().offset, tornMemory.error().offset);
    }

    // A file that shrinks after its size was taken is cut short too (not a crash).
    auto opened = flv::openForReading(dir.file("big.flv"));
    ASSERT_TRUE(opened);
    ASSERT_EQ(::truncate(dir.file("big.flv").c_str(), static_cast<off_t>(file.size() / 2)), 0);
    flv::FdSource shrinking(opened->fd.get(), opened->size);
    flv::ReadAheadSource shrinkingAhead(opened->fd.get(), opened->size);
    for (flv::ByteSource* src : {static_cast<flv::ByteSource*>(&shrinking),
                                 static_cast<flv::ByteSource*>(&shrinkingAhead)}) {
        auto shrunk = flv::scanFlv(*src);
        ASSERT_FALSE(shrunk);
        EXPECT_EQ(shrunk.error().code, flv::DiagCode::TruncatedTag);
    }
}

// Reads that skip ahead, go back, or straddle the seam of two read-ahead blocks get the
// file's own bytes.
TEST(ReadAhead, AnyReadGetsTheFileBytes) {
    constexpr std::size_t kStride = flv::ReadAheadSource::kStride;
    Bytes file(5 * kStride + 777);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    TempDir dir;
    writeFile(dir.file("bytes"), file);
    auto opened = flv::openForReading(dir.file("bytes"));
    ASSERT_TRUE(opened);
    flv::ReadAheadSource src(opened->fd.get(), opened->size);
    flv::WindowReader window(src);
    const auto expectAt = [&](std::uint64_t offset, std::size_t n) {
        auto got = window.read(offset, n);
        ASSERT_TRUE(got) << offset;
        EXPECT_TRUE(std::equal(got->begin(), got->end(), file.begin() + offset)) << offset;
    };
    expectAt(0, 100);
    expectAt(kStride - 10, flv::WindowReader::kWindow);  // across the seam
    expectAt(kStride + 5, 3);
    expectAt(4 * kStride - 1, 2);  // a jump ahead
    expectAt(kStride / 2, 4096);   // and back
    expectAt(4 * kStride + 9, 64);
    expectAt(file.size() - 5, 5);  // the last bytes
    EXPECT_FALSE(window.read(file.size() - 4, 5));
    Bytes body(kStride + 3);
    ASSERT_TRUE(window.readInto(kStride - 1, body));
    EXPECT_TRUE(std::equal(body.begin(), body.end(), file.begin() + kStride - 1));
}

TEST(Scan, ReportsFramingErrorsWithOffsets) {
    Bytes file = joinTags({makeTag(9, 0, avcBody(1, 1)), makeTag(8, 0, Bytes{0x2F, 1, 2})}, 5);
    auto second = splitTags(file)[1].offset;
    Bytes badType = file;
    badType[second] = 0x28;
    auto r1 = scanBytes(badType);
    ASSERT_FALSE(r1);
    EXPECT_EQ(r1.error().code, flv::DiagCode::UnknownTagType);
    EXPECT_EQ(r1.error().offset, second);
    Bytes badHeader = file;
    badHeader[5] = 0x7F;  // data offset far away
    EXPECT_EQ(scanBytes(badHeader).error().code, flv::DiagCode::BadHeader);
    Bytes shortFile(file.begin(), file.begin() + 11);
    EXPECT_EQ(scanBytes(shortFile).error().code, flv::DiagCode::TruncatedTag);
    EXPECT_TRUE(scanBytes(Bytes(file.begin(), file.begin() + 13)));  // header only: empty FLV
}

TEST(Plan, GoesInPlaceOnlyWhenTheFirstTagHasRoom) {
    std::vector<RawTag> media;
    for (std::uint32_t i = 0; i < 10; ++i)
        media.push_back(makeTag(9, i * 40, avcBody(i % 5 ? 2 : 1, 1)));
    auto scan = scanBytes(joinTags(media, 1));
    ASSERT_TRUE(scan);
    auto full = flv::planRewrite(*scan, {});
    ASSERT_TRUE(full);
    EXPECT_FALSE(full->inPlace);
    // Apply it in memory: the result must plan in place with the same size.
    Bytes src = joinTags(media, 1);
    Bytes out = full->head;
    for (const auto& r : full->copies)
        out.insert(out.end(), src.begin() + static_cast<long>(r.offset),
                   src.begin() + static_cast<long>(r.end()));
    ASSERT_EQ(out.size(), full->newFileSize);
    auto rescan = scanBytes(out);
    ASSERT_TRUE(rescan);
    auto again = flv::planRewrite(*rescan, {});
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->inPlace);
    EXPECT_EQ(again->newFileSize, out.size());
    EXPECT_EQ(again->headOffset, 24u);
    EXPECT_EQ(again->head.size(), splitTags(out)[0].bodySize());
    // The offsets it writes are those of the tags already there.
    std::copy(again->head.begin(), again->head.end(), out.begin() + 24);
    auto tags = splitTags(out);
    auto meta = scriptValue(tags[0]);
    ASSERT_TRUE(meta);
    const auto& pos = meta->find("keyframes")->find("filepositions")->items;
    ASSERT_EQ(pos.size(), 2u);
    EXPECT_EQ(pos[0].number, static_cast<double>(tags[1].offset));
    EXPECT_EQ(pos[1].number, static_cast<double>(tags[6].offset));
    EXPECT_EQ(num(*meta, "filesize"), static_cast<double>(out.size()));
    // The ECMA count is exact.
    EXPECT_EQ(flv::be32(tags[0].bytes.data() + 11 + 14), meta->properties.size());
}

// A new file assembled from two sources, out of order, with trailers kept, rewritten and
// appended: the file written straight from the sources' pages must be the bytes the layout
// describes, and what it measured while the tags were added must be what a scan of the
// written file finds. Several megabytes, so the writer moves its window and fills its pieces.
TEST(Layout, TheWrittenFileIsTheDescribedOneAndMeasuresAsPlanned) {
    TempDir dir;
    std::vector<RawTag> a, b;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        Bytes video(700 + i % 900, static_cast<std::uint8_t>(i));
        video[0] = i % 25 == 0 ? 0x12 : 0x22;
        a.push_back(makeTag(9, i * 40, video));
        b.push_back(makeTag(8, i * 23, Bytes(200 + i % 50, 0x2F)));
    }
    writeFile(dir.file("a.flv"), joinTags(a, 1));
    writeFile(dir.file("b.flv"), joinTags(b, 4));
    const auto aTags = splitTags(readFile(dir.file("a.flv")));
    const auto bTags = splitTags(readFile(dir.file("b.flv")));
    auto fa = flv::openForReading(dir.file("a.flv"));
    auto fb = flv::openForReading(dir.file("b.flv"));
    ASSERT_TRUE(fa && fb);

    flv::Layout layout(5);
    auto add = [&](const flv::OpenFile& f, const RawTag& t, std::int64_t ms,
                   flv::Layout::Trailer trailer) {
        flv::TagHeader h;
        h.offset = t.offset;
        h.type = t.type;
        h.dataSize = static_cast<std::uint32_t>(t.bodySize());
        h.timestamp = t.timestamp;
        auto prefix = [&](std::size_t n) -> flv::Result<std::span<const std::uint8_t>> {
            return std::span<const std::uint8_t>(t.bytes).subspan(11, std::min(n, t.bodySize()));
        };
        ASSERT_TRUE(layout.addTag(f.fd.get(), h, ms, prefix, trailer));
    };
    using T = flv::Layout::Trailer;
    // The second half of a first, then the first half, each frame with a sound beside it.
    for (std::size_t k = 0; k < aTags.size(); ++k) {
        const std::size_t i = (k + aTags.size() / 2) % aTags.size();
        add(*fa, aTags[i], static_cast<std::int64_t>(k) * 40,
            k % 7 == 0 ? T::Rewritten : T::Source);
        add(*fb, bTags[i], static_cast<std::int64_t>(k) * 40 + 5,
            k % 11 == 0 ? T::Appended : T::Source);
    }

    auto written = flv::writeLayout(layout, dir.file("out.flv"), {0, {}, {}});
    ASSERT_TRUE(written) << written.error().text();
    const Bytes out = readFile(dir.file("out.flv"));
    ASSERT_EQ(out.size(), written->fileSize);
    Bytes described(layout.size() - 13);
    auto got = layout.readAt(13, described);
    ASSERT_TRUE(got);
    ASSERT_EQ(*got, described.size());
    const std::size_t head = out.size() - described.size();
    EXPECT_TRUE(std::equal(described.begin(), described.end(), out.begin() + long(head)));

    auto scan = scanBytes(out);
    ASSERT_TRUE(scan) << scan.error().text();
    EXPECT_EQ(scan->keyframes.size(), written->keyframes);
    EXPECT_EQ(scan->durationSeconds(), written->duration);
    EXPECT_EQ(scan->video.frames, 3000u);
    EXPECT_EQ(scan->audio.frames, 3000u);
    EXPECT_EQ(metadataFaults(out), "");
}

// Tags that keep their timestamps are copied untouched (in one kernel copy when the stretch
// is long), those moved get their new timestamp: the file must be the source with exactly
// those timestamps changed, whichever way each stretch was written.
TEST(Layout, KeptTimestampsCopyTheSourceAndMovedOnesArePatched) {
    TempDir dir;
    std::vector<RawTag> src, expected;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        Bytes video(700 + i % 900, static_cast<std::uint8_t>(i));
        video[0] = i % 25 == 0 ? 0x12 : 0x22;
        src.push_back(makeTag(9, i * 40, video));
        // The middle third moves 10 ms later: a run of patched tags between two long
        // untouched stretches.
        const std::uint32_t ms = i * 40 + (i >= 1000 && i < 2000 ? 10 : 0);
        expected.push_back(makeTag(9, ms, video));
    }
    writeFile(dir.file("a.flv"), joinTags(src, 1));
    const auto tags = splitTags(readFile(dir.file("a.flv")));
    auto f = flv::openForReading(dir.file("a.flv"));
    ASSERT_TRUE(f);
    flv::Layout layout(1);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const RawTag& t = tags[i];
        flv::TagHeader h;
        h.offset = t.offset;
        h.type = t.type;
        h.dataSize = static_cast<std::uint32_t>(t.bodySize());
        h.timestamp = t.timestamp;
        auto prefix = [&](std::size_t n) -> flv::Result<std::span<const std::uint8_t>> {
            return std::span<const std::uint8_t>(t.bytes).subspan(11, std::min(n, t.bodySize()));
        };
        ASSERT_TRUE(layout.addTag(f->fd.get(), h, expected[i].timestamp, prefix));
    }
    auto written = flv::writeLayout(layout, dir.file("out.flv"), {0, {}, {}});
    ASSERT_TRUE(written) << written.error().text();
    const Bytes out = readFile(dir.file("out.flv"));
    const Bytes want = joinTags(expected, 1);
    ASSERT_GT(out.size(), want.size());
    const std::size_t head = out.size() - (want.size() - 13);
    EXPECT_TRUE(std::equal(want.begin() + 13, want.end(), out.begin() + long(head)));
}

}  // namespace
