#pragma once
// A new FLV file described before it exists: its header, then runs of tags taken from source
// files, each tag's timestamp set anew. Each tag is measured as it is added, so the metadata
// is planned before a byte is written without reading the new file back; writeLayout then
// writes the file once, metadata first. The description also reads like the file it
// describes (a ByteSource).
//
// Tags that lie back to back in a source form one run, read with one call; only the four
// timestamp bytes of each tag header are patched on the way.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "flv/amf0.h"
#include "flv/diag.h"
#include "flv/io.h"
#include "flv/scan.h"
#include "flv/tag_reader.h"

namespace flv {

class Layout : public ByteSource {
  public:
    explicit Layout(std::uint8_t headerFlags);

    // What follows a tag's data in the new file.
    enum class Trailer {
        Source,     // the source's PreviousTagSize, known to be right
        Rewritten,  // the right value in place of whatever the source has there
        Appended,   // the source ends before it: made from memory
    };
    // Appends the tag whose header is at tag.offset in the file open as fd (tag as read
    // there: its timestamp is the one the file holds), with a new timestamp; prefix gives the
    // beginning of its body (as the scan reads it). The fd must stay open while the layout is read.
    // onMetaData tags do not belong in a layout: the new one is written in front of it.
    Status addTag(int fd, const TagHeader& tag, std::int64_t timestampMs,
                  const ScanBuilder::Prefix& prefix, Trailer trailer = Trailer::Source);

    // Four bytes of the last tag's body replaced; offset counts from the body's first byte.
    void patchLastBody(std::size_t offset, const std::array<std::uint8_t, 4>& bytes);

    // Audio (4) and video (1) flags of the file header.
    void setHeaderFlags(std::uint8_t flags) { header_[4] = flags; }

    std::uint64_t size() const override { return size_; }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> dst) override;
    std::size_t tagCount() const { return tags_; }
    // What a scan of the described file finds.
    ScanResult scanned() const;
    // Writes the described bytes from `from` on to out at `at`: long unpatched stretches
    // copied by the kernel, the rest straight from the sources' pages (mapped a window at a
    // time) with the new timestamps in between. Answers how far it got, the whole size unless a
    // source could not be mapped (then readAt does the rest). progress hears the offset reached now
    // and then.
    Result<std::uint64_t> writeMapped(int out, std::uint64_t from, std::uint64_t at,
                                      const std::function<void(std::uint64_t)>& progress);

  private:
    static constexpr int kHeaderRun = -1;   // the file header, from header_
    static constexpr int kTrailerRun = -2;  // a PreviousTagSize: the value in source
    struct Run {
        int fd = kHeaderRun;
        std::uint64_t source = 0;  // offset in the source
        std::uint64_t at = 0;      // offset in the layout
        std::uint64_t length = 0;
    };
    // Four bytes written over what a run read: a timestamp, or a PreviousTagSize.
    struct Patch {
        std::uint64_t at = 0;
        std::uint8_t bytes[4] = {};
    };
    std::uint8_t header_[13] = {};
    std::vector<Run> runs_;
    std::vector<Patch> patches_;
    std::uint64_t size_ = 0;
    std::size_t tags_ = 0;
    std::uint64_t lastTagAt_ = 0;
    ScanBuilder scan_;
};

struct WriteOutcome {
    std::size_t keyframes = 0;
    double duration = 0;
    std::uint64_t fileSize = 0;
    std::uint64_t tags = 0;  // audio, video and script tags after the metadata
};

struct WriteOptions {
    double nowMs = -1;                    // metadatadate; negative: the current time
    std::optional<AmfValue> oldMetadata;  // keys of the source's metadata worth keeping
    // Told how far the writing has come: the media time written so far and the whole length,
    // in seconds, after every block.
    std::function<void(double done, double total)> progress;
};

// Writes the layout to path, with a new onMetaData in front, through a temporary name that is
// renamed over path at the end: an interrupted run leaves no half-written file.
Result<WriteOutcome> writeLayout(Layout& layout, const std::string& path,
                                 const WriteOptions& options = {});

// The same file, path's folder and name, and whether two paths name one file.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace flv
