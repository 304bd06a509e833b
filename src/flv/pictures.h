#pragma once
// The video pictures of an FLV file as the cut rules see them: one walk over the tag headers
// and the first bytes of each body.
#include <cstdint>
#include <string>
#include <vector>

#include "flv/cut_start.h"
#include "flv/diag.h"
#include "flv/io.h"

namespace flv {

struct StreamPictures {
    // Coded pictures in decoding order; times as the file has them (unwrapped), shown
    // times with the AVC composition offset added.
    std::vector<Picture> pictures;
    // Where positions count from, as a player shows them and the cut takes its times: the
    // earliest shown time among the first frames of either stream.
    std::int64_t originMs = 0;
};

Result<StreamPictures> readPictures(ByteSource& src);
Result<StreamPictures> readPictures(const std::string& path);

}  // namespace flv
