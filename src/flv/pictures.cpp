#include "flv/pictures.h"

#include <algorithm>
#include <optional>

#include "flv/codec_headers.h"
#include "flv/cut_rules.h"
#include "flv/scan.h"
#include "flv/tag_reader.h"

namespace flv {

namespace {}  // namespace

Result<StreamPictures> readPictures(ByteSource& src) {
    WindowReader window(src);
    TagReader reader(window);
    auto header = reader.readHeader();
    if (!header) return header.error();
    StreamPictures out;
    TimestampUnwrapper clock;
    std::optional<std::int64_t> origin;
    int frames = 0;
    TagHeader tag;
    for (;;) {
        if (!reader.nextHeld(tag)) {
            auto next = reader.next();
            if (!next) return next.error();
            if (!next->has_value()) break;
            tag = **next;
        }
        const std::int64_t ms = clock.unwrap(tag.timestamp);
        const auto body = reader.keptPrefix();
        std::optional<std::int64_t> shown;
        if (tag.type == tagtype::kVideo) {
            const VideoTagInfo info = classifyVideoTag(body);
            if (info.kind == VideoKind::SequenceHeader) continue;
            shown = ms + info.compositionMs;
            if (info.countsAsFrame())
                out.pictures.push_back({*shown, ms, info.kind == VideoKind::Keyframe});
        } else if (tag.type == tagtype::kAudio && !isAacSequenceHeader(body)) {
            shown = ms;
        }
        if (shown && frames < kCutOriginFrames) {
            origin = origin ? std::min(*origin, *shown) : *shown;
            ++frames;
        }
    }
    out.originMs = origin.value_or(0);
    return out;
}

Result<StreamPictures> readPictures(const std::string& path) {
    auto file = openForReading(path);
    if (!file) return file.error();
    FdSource src(file->fd.get(), file->size);
    return readPictures(src);
}

}  // namespace flv
