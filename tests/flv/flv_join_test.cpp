// Tag-level join on hand-made files: tags kept byte for byte and told apart by type, not by
// which comes first; timestamps continue from piece to piece; unlike pieces are refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include "flv/join.h"
#include "flv_test_util.h"

using namespace flvtest;

namespace {

constexpr std::uint8_t kMp3 = 0x2F;  // MP3, 44 kHz, 16 bit, stereo
constexpr std::uint8_t kAac = 0xAF;  // AAC
constexpr std::uint8_t kH263Key = 0x12, kH263Inter = 0x22;

RawTag audio(std::uint32_t ms, std::uint8_t flags = kMp3, std::uint8_t fill = 0xA0) {
    return makeTag(8, ms, {flags, fill, fill, fill});
}
RawTag video(std::uint32_t ms, bool key, std::uint8_t fill = 0x50) {
    return makeTag(9, ms, {key ? kH263Key : kH263Inter, fill, fill, fill, fill});
}
RawTag metadata() {
    flv::AmfValue v;
    v.type = flv::AmfType::EcmaArray;
    v.properties.push_back({"duration", flv::AmfValue::makeNumber(99)});
    return makeTag(18, 0, scriptBody("onMetaData", v));
}

struct Joined {
    flv::Result<flv::JoinOutcome> result;
    std::vector<RawTag> tags;
    std::optional<flv::AmfValue> metadata;
};

Joined join(const TempDir& dir, const std::vector<std::vector<RawTag>>& pieces) {
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        inputs.push_back(dir.file("p" + std::to_string(i) + ".flv"));
        writeFile(inputs.back(), joinTags(pieces[i], 5));
    }
    const std::string out = dir.file("joined.flv");
    Joined j{flv::joinFlv(inputs, out), {}, std::nullopt};
    if (!j.result) return j;
    j.tags = splitTags(readFile(out));
    // The new onMetaData comes first, written in the same pass; the rest are the pieces' tags.
    EXPECT_EQ(scriptName(j.tags.front()), "onMetaData");
    j.metadata = scriptValue(j.tags.front());
    j.tags.erase(j.tags.begin());
    return j;
}

TEST(FlvJoin, PiecesStartingWithEitherKindContinueEachOther) {
    TempDir dir;
    // The first piece opens with audio, the second with video; both carry old metadata.
    const std::vector<RawTag> a = {metadata(), audio(0),         video(0, true),
                                   audio(26),  video(40, false), audio(52)};
    const std::vector<RawTag> b = {metadata(), video(10, true, 0x51), audio(12, kMp3, 0xA1),
                                   audio(38, kMp3, 0xA1), video(50, false, 0x51)};
    const Joined j = join(dir, {a, b});
    ASSERT_TRUE(j.result) << j.result.error().text();
    // Old metadata is gone; every media tag is kept in order with its body unchanged.
    ASSERT_EQ(j.tags.size(), 9u);
    const std::uint32_t expected[] = {0, 0, 26, 40, 52, 80, 82, 108, 120};
    const std::vector<RawTag> media = {a[1], a[2], a[3], a[4], a[5], b[1], b[2], b[3], b[4]};
    for (std::size_t i = 0; i < j.tags.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(j.tags[i].type, media[i].type);
        EXPECT_EQ(j.tags[i].timestamp, expected[i]);
        EXPECT_TRUE(std::equal(j.tags[i].bytes.begin() + 11, j.tags[i].bytes.end(),
                               media[i].bytes.begin() + 11, media[i].bytes.end()));
    }
    EXPECT_EQ(j.result->durationMs, 160);
    EXPECT_EQ(j.result->tags, 9u);
    ASSERT_TRUE(j.metadata);
    EXPECT_EQ(num(*j.metadata, "filesize"),
              static_cast<double>(readFile(dir.file("joined.flv")).size()));
    const Bytes file = readFile(dir.file("joined.flv"));
    EXPECT_EQ(file[4], 5);  // audio and video flags
    EXPECT_EQ(j.result->fileSize, file.size());
}

TEST(FlvJoin, RepeatedCodecConfigurationIsWrittenOnce) {
    TempDir dir;
    const RawTag config = makeTag(9, 0, {0x17, 0x00, 0, 0, 0, 1, 0x64, 0, 0x1F});
    const RawTag key = makeTag(9, 0, {0x17, 0x01, 0, 0, 0, 0xAB});
    const RawTag other = makeTag(9, 0, {0x17, 0x00, 0, 0, 0, 1, 0x4D, 0, 0x1F});
    const Joined j = join(dir, {{config, key}, {config, key}, {other, key}});
    ASSERT_TRUE(j.result) << j.result.error().text();
    // config, key, key, other (a change of configuration is kept), key.
    ASSERT_EQ(j.tags.size(), 5u);
    const int kinds[] = {0, 1, 1, 0, 1};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(j.tags[i].body(1), kinds[i]) << i;
    EXPECT_EQ(j.tags[0].body(6), 0x64);
    EXPECT_EQ(j.tags[3].body(6), 0x4D);
}

TEST(FlvJoin, UnlikePiecesAreRefusedAndNothingIsWritten) {
    TempDir dir;
    const std::vector<RawTag> mp3 = {video(0, true), audio(0)};
    const std::vector<RawTag> aac = {video(0, true), audio(0, kAac, 0x01)};
    const std::vector<RawTag> silent = {video(0, true), video(40, false)};
    for (const auto& second : {aac, silent}) {
        const Joined j = join(dir, {mp3, second});
        ASSERT_FALSE(j.result);
        EXPECT_EQ(j.result.error().code, flv::DiagCode::StreamsDiffer);
        EXPECT_NE(j.result.error().text().find("E108"), std::string::npos);
        EXPECT_EQ(::access(dir.file("joined.flv").c_str(), F_OK), -1);
    }
    // A piece that is not FLV, or the output among the inputs, fails the same way: no file.
    writeFile(dir.file("junk.flv"), Bytes(40, 7));
    EXPECT_FALSE(flv::joinFlv({dir.file("p0.flv"), dir.file("junk.flv")}, dir.file("x.flv")));
    EXPECT_EQ(::access(dir.file("x.flv").c_str(), F_OK), -1);
    EXPECT_FALSE(flv::joinFlv({dir.file("p0.flv")}, dir.file("p0.flv")));
    EXPECT_FALSE(readFile(dir.file("p0.flv")).empty());
}

}  // namespace
