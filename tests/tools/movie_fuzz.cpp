// Movie files as the tools read them: the keyframe index of a part's source, and the
// splice-point mark of a part joined after another (both read untrusted box sizes, the mark
// also rewrites pictures in place: here, in a file of the fuzzer's own).
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "tools/movie_keys.h"
#include "tools/splice_point.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("a.mp4"));
    const QString second = dir.filePath(QStringLiteral("b.mp4"));
    for (const QString& path : {first, second}) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    (void)save::movieCuts(first, {0, 1, 3, 7}, {1, 3, 7});
    (void)save::markSplicePoint(first, second);
    return 0;
}
