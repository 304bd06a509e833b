#pragma once
// Helpers for the FLV tests: an independent tag splitter (so checks do not trust the code
// under test), a builder for hand-made FLVs, scratch folders and running flvmdi.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "flv/amf0.h"
#include "test_media.h"

namespace flvtest {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& data);

struct RawTag {
    std::uint64_t offset = 0;
    std::uint8_t type = 0;
    std::uint32_t timestamp = 0;  // with the extended byte
    Bytes bytes;                  // header and body, without the PreviousTagSize
    std::uint8_t body(std::size_t i) const { return 11 + i < bytes.size() ? bytes[11 + i] : 0; }
    std::size_t bodySize() const { return bytes.size() - 11; }
    bool isVideoKeyframe() const;  // frame type 1 carrying a picture (not AVC headers or EOS)
};

// Splits a well-formed FLV into its tags; throws on malformed input.
std::vector<RawTag> splitTags(const Bytes& file);
std::vector<RawTag> audioVideoTags(const std::vector<RawTag>& tags);
// The script tag's name ("onMetaData", "onCuePoint", ...), empty if none.
std::string scriptName(const RawTag& tag);
// The value after the name of a script tag.
std::optional<flv::AmfValue> scriptValue(const RawTag& tag);

// Reassembles tags into a file with the given header flags.
Bytes joinTags(const std::vector<RawTag>& tags, std::uint8_t flags);
RawTag makeTag(std::uint8_t type, std::uint32_t timestamp, const Bytes& body);
Bytes scriptBody(const std::string& name, const flv::AmfValue& value);

// A scratch folder (mode 0755 so an unprivileged user can enter it), removed at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> names() const;  // entries, sorted, including hidden ones
    std::string copy(const std::string& from, const std::string& name) const;

  private:
    std::string path_;
};

std::string flvmdiPath();
testmedia::RunResult runFlvmdi(const std::string& file);
// What ffmpeg prints while decoding the whole file; empty when it decodes cleanly.
std::string decodeErrors(const std::string& path);
int flvmetaErrors(const std::string& file);  // -1 if flvmeta could not run

// What is wrong with a written file's onMetaData against its own tags (its keyframe index,
// filesize and the streams it names); empty when nothing is.
std::string metadataFaults(const Bytes& file);

// Number value of a key in an object-like value, NaN if absent.
double num(const flv::AmfValue& v, const std::string& key);

}  // namespace flvtest
