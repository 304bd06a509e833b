#pragma once
// A part cut from an HEVC stream with open groups (x265's default) begins at a CRA picture.
// Joined after another part, a decoder takes that picture as one more picture of the same
// sequence: it keeps counting picture order from the part before, and where the new part's
// count falls behind the old one, pictures come out in the wrong order or not at all. Marking
// the picture as a broken link (BLA) tells the decoder that a new sequence starts there; the
// two picture types share one syntax, so only the NAL unit headers change, in place.
//
// H.264 has no such picture type. A part that starts at an open group's I-picture (not an
// IDR) has its frame numbers and picture order counts, up to its first IDR, renumbered in
// place to go on from the part before it, as if the two had been one stream.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

namespace save {

enum class SpliceMark {
    Marked,      // the first picture's CRA units are BLA units now, or the H.264 part renumbered
    NotNeeded,   // neither HEVC nor H.264, or its first picture is neither a CRA nor open
    Unreadable,  // the file could not be read or written as expected: left as it was
};

// Whether files of this extension are written as MP4, MOV or 3GP: the joints mended here.
bool joinsAsMovie(const QString& ext);

// In an MP4, MOV or 3GP file that is joined after previous (another such file), the start
// of its video track. Only path may change.
SpliceMark markSplicePoint(const QString& previous, const QString& path);

// The same for a movie joined from items (each such a file, joined in this order by a stream
// copy that kept every picture but those in leftOut, by item and place): each joint where an
// item starts at a CRA picture or an open group is marked or renumbered in the joined file.
// Only joined may change; Unreadable where its pictures are not the items' (then a joint may
// be left as the copy wrote it).
SpliceMark markJoints(const QString& joined, const QStringList& items,
                      const std::vector<std::vector<std::size_t>>& leftOut = {});

}  // namespace save
