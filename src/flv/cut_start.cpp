#include "flv/cut_start.h"

#include <algorithm>

namespace flv {

namespace {

void sortByShown(std::vector<std::size_t>& indices, const std::vector<Picture>& pictures) {
    std::stable_sort(indices.begin(), indices.end(), [&](std::size_t a, std::size_t b) {
        return pictures[a].ptsMs < pictures[b].ptsMs;
    });
}

}  // namespace

CutStart cutStart(const std::vector<Picture>& pictures, std::int64_t markMs,
                  std::optional<std::int64_t> endMs) {
    CutStart r;
    std::optional<std::size_t> before;  // the keyframe shown at or before the mark
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!pictures[i].keyframe) continue;
        if (!r.copyFrom) r.copyFrom = i;
        if (pictures[i].ptsMs <= markMs) {
            before = i;
            r.copyFrom = i;
        } else if (!r.resumeAt) {
            r.resumeAt = i;
        }
    }
    if (before && pictures[*before].ptsMs == markMs) r.resumeAt = before;
    if (!before || r.resumeAt == before) return r;

    // The pictures shown between the mark and the next keyframe are decoded between the
    // keyframe before and that next one, or, where it starts an open group, among the leading
    // pictures decoded after it.
    std::size_t last = pictures.size();
    for (std::size_t i = r.resumeAt.value_or(pictures.size()) + 1; i < pictures.size(); ++i)
        if (pictures[i].keyframe) {
            last = i;
            break;
        }
    const std::int64_t shownBefore = r.resumeAt ? pictures[*r.resumeAt].ptsMs : INT64_MAX;
    for (std::size_t i = *before; i < last; ++i) {
        const std::int64_t pts = pictures[i].ptsMs;
        if (pts >= markMs && pts < shownBefore && (!endMs || pts < *endMs)) r.rebuild.push_back(i);
    }
    if (r.rebuild.empty()) return r;
    r.decodeFrom = *before;
    r.decodeTo = *std::max_element(r.rebuild.begin(), r.rebuild.end()) + 1;
    sortByShown(r.rebuild, pictures);
    return r;
}

CutEnd cutEnd(const std::vector<Picture>& pictures, std::int64_t endMs) {
    CutEnd r;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i].ptsMs >= endMs) continue;
        r.copyTo = i + 1;
        if (pictures[i].keyframe) r.lastKey = i;
    }
    const std::size_t from = r.lastKey.value_or(0);
    for (std::size_t i = from; i < r.copyTo; ++i)
        if (pictures[i].ptsMs >= endMs) r.showsPastEnd = true;
    if (!r.showsPastEnd || !r.lastKey) return r;
    for (std::size_t i = from; i < r.copyTo; ++i)
        if (pictures[i].ptsMs < endMs) r.rebuild.push_back(i);
    sortByShown(r.rebuild, pictures);
    return r;
}

std::optional<std::int64_t> keyframeAtOrBefore(const std::vector<std::int64_t>& keyTimes,
                                               std::int64_t ms) {
    auto it = std::upper_bound(keyTimes.begin(), keyTimes.end(), ms);
    if (it == keyTimes.begin()) return std::nullopt;
    return *std::prev(it);
}

std::optional<std::int64_t> keyframeAfter(const std::vector<std::int64_t>& keyTimes,
                                          std::int64_t ms) {
    auto it = std::upper_bound(keyTimes.begin(), keyTimes.end(), ms);
    if (it == keyTimes.end()) return std::nullopt;
    return *it;
}

std::optional<std::int64_t> keyframeBefore(const std::vector<std::int64_t>& keyTimes,
                                           std::int64_t ms) {
    auto it = std::lower_bound(keyTimes.begin(), keyTimes.end(), ms);
    if (it == keyTimes.begin()) return std::nullopt;
    return *std::prev(it);
}

}  // namespace flv
