#pragma once
// A part cut from an HEVC stream with open groups (x265's default) begins at a CRA picture.
// Joined after another part, a decoder takes that picture as one more picture of the same
// sequence: it keeps counting picture order from the part before, and where the new part's
// count falls behind the old one, pictures come out in the wrong order or not at all. Marking
// the picture as a broken link (BLA) tells the decoder that a new sequence starts there; the
// two picture types share one syntax, so only the NAL unit headers change, in place.
#include <QString>

namespace save {

enum class SpliceMark {
    Marked,      // the first picture's CRA units are BLA units now
    NotNeeded,   // not HEVC, or its first picture is no CRA
    Unreadable,  // the file could not be read or written as expected: left as it was
};

// In an MP4, MOV or 3GP file: the first sample of its video track.
SpliceMark markSplicePoint(const QString& path);

}  // namespace save
