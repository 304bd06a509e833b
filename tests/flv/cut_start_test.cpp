// Where a cut starts and ends on lists of pictures shaped like x264's output (B-frames, so
// decoding and showing order differ), and which pictures an exact cut rebuilds.
#include "flv/cut_start.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kFrameMs = 40;
constexpr std::int64_t kDelayMs = 80;  // the shown clock runs two frames behind decoding

// `groups` closed groups of `gop` pictures, shown I B B P B B P ..., decoded I P B B P B B.
// Picture n (in showing order) is shown at n * 40 + 80 ms.
std::vector<flv::Picture> stream(int groups, int gop) {
    std::vector<flv::Picture> out;
    auto push = [&](int shown, bool key) {
        const auto decoded = static_cast<std::int64_t>(out.size());
        out.push_back({shown * kFrameMs + kDelayMs, decoded * kFrameMs, key});
    };
    for (int g = 0; g < groups; ++g) {
        const int base = g * gop;
        push(base, true);
        for (int k = 1; k < gop; k += 3) {
            const int p = std::min(k + 2, gop - 1);
            push(base + p, false);
            for (int b = k; b < p; ++b) push(base + b, false);
        }
    }
    return out;
}

std::int64_t at(int shown) { return shown * kFrameMs + kDelayMs; }

// The rebuilt pictures as showing numbers.
std::vector<int> shownOf(const std::vector<std::size_t>& idx, const std::vector<flv::Picture>& p) {
    std::vector<int> r;
    for (std::size_t i : idx) r.push_back(static_cast<int>((p[i].ptsMs - kDelayMs) / kFrameMs));
    return r;
}

// An open group: the keyframe shown as picture 20 is decoded before pictures 17 and 18,
// which refer to the group before. A mark before them rebuilds them with that group, decoding past
// the keyframe to reach them; a copy from the keyframe leaves them to the rebuild.
TEST(CutStart, AnOpenGroupsLeadingPicturesAreRebuiltWithTheGroupBefore) {
    auto p = stream(3, 10);
    // The group's last B-pictures (17, 18) become the next keyframe's leading ones.
    std::swap(p[18], p[20]);
    std::swap(p[19], p[20]);
    ASSERT_TRUE(p[18].keyframe);
    auto s = flv::cutStart(p, at(13));
    EXPECT_EQ(s.resumeAt, 18u);
    EXPECT_EQ(shownOf(s.rebuild, p), (std::vector<int>{13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(s.decodeTo, 21u);
}

TEST(CutStart, MarkInsideAGroupRebuildsUpToTheNextKeyframe) {
    const auto p = stream(3, 10);
    auto s = flv::cutStart(p, at(13));
    EXPECT_EQ(s.copyFrom, 10u);
    EXPECT_EQ(s.resumeAt, 20u);
    EXPECT_EQ(shownOf(s.rebuild, p), (std::vector<int>{13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(s.decodeFrom, 10u);
    EXPECT_EQ(s.decodeTo, 20u);  // picture 18 is decoded last in its group
    EXPECT_FALSE(s.exact());

    // Between two pictures: from the next one shown.
    s = flv::cutStart(p, at(13) + 1);
    EXPECT_EQ(shownOf(s.rebuild, p).front(), 14);

    // An end inside the same group bounds the rebuild, and the decoding with it.
    s = flv::cutStart(p, at(13), at(16));
    EXPECT_EQ(shownOf(s.rebuild, p), (std::vector<int>{13, 14, 15}));
    EXPECT_EQ(s.resumeAt, 20u);
    EXPECT_EQ(s.decodeTo, 17u);  // picture 15 comes after 16 in decoding order
}

TEST(CutStart, MarkOnAKeyframeRebuildsNothing) {
    const auto p = stream(3, 10);
    for (int key : {0, 10, 20}) {
        const auto s = flv::cutStart(p, at(key));
        EXPECT_EQ(s.copyFrom, static_cast<std::size_t>(key));
        EXPECT_EQ(s.resumeAt, s.copyFrom);
        EXPECT_TRUE(s.exact());
    }
}

TEST(CutStart, MarkBeforeTheFirstKeyframeStartsThere) {
    auto p = stream(2, 10);
    auto s = flv::cutStart(p, 0);
    EXPECT_EQ(s.copyFrom, 0u);
    EXPECT_EQ(s.resumeAt, 0u);
    EXPECT_TRUE(s.exact());

    // A stream cut out of another may open on pictures without their keyframe: nothing can
    // decode them, so nothing is rebuilt.
    p.insert(p.begin(), {{at(0) - 2 * kFrameMs, -80, false}, {at(0) - kFrameMs, -40, false}});
    s = flv::cutStart(p, at(0) - 2 * kFrameMs);
    EXPECT_EQ(s.copyFrom, 2u);
    EXPECT_EQ(s.resumeAt, 2u);
    EXPECT_TRUE(s.exact());
}

TEST(CutStart, MarkPastTheLastKeyframeRebuildsToTheEnd) {
    const auto p = stream(2, 10);
    auto s = flv::cutStart(p, at(15));
    EXPECT_EQ(s.copyFrom, 10u);
    EXPECT_FALSE(s.resumeAt);
    EXPECT_EQ(shownOf(s.rebuild, p), (std::vector<int>{15, 16, 17, 18, 19}));
    EXPECT_EQ(s.decodeTo, p.size());

    s = flv::cutStart(p, at(15), at(17));
    EXPECT_EQ(shownOf(s.rebuild, p), (std::vector<int>{15, 16}));
}

TEST(CutStart, StreamWithoutKeyframes) {
    std::vector<flv::Picture> p{{0, 0, false}, {40, 40, false}};
    const auto s = flv::cutStart(p, 40);
    EXPECT_FALSE(s.copyFrom);
    EXPECT_FALSE(s.resumeAt);
    EXPECT_TRUE(s.exact());
    EXPECT_FALSE(flv::cutEnd(p, 40).lastKey);
}

TEST(CutEnd, CopyShowsPastTheEndOnlyWhenAReferenceLiesBeyondIt) {
    const auto p = stream(3, 10);
    // Shown before the end: 10..13, decoded 10 13 11 12: nothing past the end is copied.
    auto e = flv::cutEnd(p, at(14));
    EXPECT_EQ(e.lastKey, 10u);
    EXPECT_EQ(e.copyTo, 14u);
    EXPECT_FALSE(e.showsPastEnd);
    EXPECT_TRUE(e.rebuild.empty());

    // Shown before the end: 10, 11; but 11 is decoded after 13, which would be shown.
    e = flv::cutEnd(p, at(12));
    EXPECT_EQ(e.copyTo, 13u);
    EXPECT_TRUE(e.showsPastEnd);
    EXPECT_EQ(shownOf(e.rebuild, p), (std::vector<int>{10, 11}));

    // An end on a keyframe takes the whole group before it.
    e = flv::cutEnd(p, at(20));
    EXPECT_EQ(e.lastKey, 10u);
    EXPECT_EQ(e.copyTo, 20u);
    EXPECT_FALSE(e.showsPastEnd);

    // An end past the stream takes it all.
    e = flv::cutEnd(p, at(100));
    EXPECT_EQ(e.lastKey, 20u);
    EXPECT_EQ(e.copyTo, p.size());
    EXPECT_FALSE(e.showsPastEnd);
}

TEST(KeyframeTimes, AtOrBeforeAfterAndBefore) {
    const std::vector<std::int64_t> keys{0, 10000, 20000};
    EXPECT_EQ(flv::keyframeAtOrBefore(keys, 10000), 10000);
    EXPECT_EQ(flv::keyframeAtOrBefore(keys, 19999), 10000);
    EXPECT_FALSE(flv::keyframeAtOrBefore(keys, -1));
    EXPECT_EQ(flv::keyframeAfter(keys, 10000), 20000);
    EXPECT_FALSE(flv::keyframeAfter(keys, 20000));
    EXPECT_EQ(flv::keyframeBefore(keys, 10000), 0);
    EXPECT_FALSE(flv::keyframeBefore(keys, 0));
    EXPECT_FALSE(flv::keyframeAtOrBefore({}, 5));
}

}  // namespace
