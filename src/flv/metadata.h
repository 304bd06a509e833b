#pragma once
// The new onMetaData: the values computed from a scan, placed for the file it will head.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flv/scan.h"

namespace flv {

inline constexpr const char* kMetadataCreator = "Lumba.FLV flvmdi";

// Where things land in the new file.
struct NewLayout {
    std::uint64_t fileSize = 0;
    std::uint64_t metadataTagBytes = 0;  // header, body and PreviousTagSize of the new tag
    std::uint64_t keptStart = 0;         // offset of the first kept tag

    // Offset in the new file of a kept tag that sat at oldOffset in the scanned one.
    // Calls must come in increasing order of oldOffset.
    class Mapper {
      public:
        Mapper(const ScanResult& scan, const NewLayout& layout) : scan_(scan), layout_(layout) {}
        std::uint64_t map(std::uint64_t oldOffset);

      private:
        const ScanResult& scan_;
        const NewLayout& layout_;
        std::size_t next_ = 0;
        std::uint64_t removed_ = 0;
    };
};

// Keys this program computes; old values under these names are replaced, others kept.
bool isComputedKey(const std::string& key);

// Later runs rewrite the metadata in place when it fits, so every onMetaData written here
// ends with a "padding" key: a strict array of AMF0 nulls (one byte each), which readers
// parse and skip. kPaddingOverhead is the key and array header around the nulls.
inline constexpr const char* kPaddingKey = "padding";
inline constexpr std::uint32_t kPaddingOverhead = 2 + 7 + 1 + 4;

// The onMetaData script body ("onMetaData" then the ECMA array), with the padding key when
// paddingNulls is given. Its length depends on the scan, the old metadata and the padding
// only, never on the layout.
// The wall clock in milliseconds since 1970, for the metadata's date field.
double metadataNowMs();

std::vector<std::uint8_t> encodeMetadataBody(const ScanResult& scan, const NewLayout& layout,
                                             double nowMs,
                                             std::optional<std::uint32_t> paddingNulls);

}  // namespace flv
