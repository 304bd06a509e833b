#pragma once
// The boxes of an MP4, MOV or 3GP file, as far as the tools read them: the movie header read
// whole, its boxes found by type, and a track's sample table. Every size is checked against
// what holds it, so a damaged file gives nullopt, never a read past its data.
#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace save::movie {

inline quint32 u32(const QByteArray& d, qint64 at) {
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(d.constData() + at));
}
inline quint64 u64(const QByteArray& d, qint64 at) {
    return qFromBigEndian<quint64>(reinterpret_cast<const uchar*>(d.constData() + at));
}

// A box whose body runs from body to end (offsets in the buffer that holds it).
struct Box {
    qint64 body = 0, end = 0;
};
// The box whose header begins at `at` of d, with room bytes left for it; nullopt when its
// header or its size does not fit.
std::optional<Box> boxAt(const QByteArray& d, qint64 at, qint64 room);
// The first box of type inside [from, to) of d, skipping the first `skip` boxes of that type.
std::optional<Box> child(const QByteArray& d, qint64 from, qint64 to, const char* type,
                         int skip = 0);
inline std::optional<Box> child(const QByteArray& d, Box in, const char* type, int skip = 0) {
    return child(d, in.body, in.end, type, skip);
}
// Down a path of box types from in.
std::optional<Box> boxPath(const QByteArray& d, Box in, std::initializer_list<const char*> types);

// The movie header ("moov") of the file, read whole; nullopt when there is none or it is
// implausibly large.
std::optional<QByteArray> readMoov(QFile& f);

// The k-th track of moov whose handler is "vide" (k counts video tracks only).
std::optional<Box> videoTrak(const QByteArray& moov, int k = 0);

struct Sample {
    qint64 offset = 0, size = 0;
};
// How many samples a sample table holds (stsz), in a file of fileSize bytes: nullopt when the
// table claims more than its box or the file can hold.
std::optional<qint64> sampleCount(const QByteArray& moov, Box stbl, qint64 fileSize);
// Where the first `wanted` samples of a sample table lie: sizes from stsz, chunks from stco or
// co64, samples per chunk from stsc.
std::optional<std::vector<Sample>> samples(const QByteArray& moov, Box stbl, qint64 fileSize,
                                           std::size_t wanted);

}  // namespace save::movie
