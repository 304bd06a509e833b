#include "common/cp950.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

// Runs iconv over in, calling onBad(in, left) at each byte sequence it cannot convert; onBad
// appends a substitute to out and returns how many input bytes to skip.
template <typename OnBad>
QByteArray convert(const char* to, const char* from, const QByteArray& input, OnBad onBad) {
    QByteArray out;
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* in = const_cast<char*>(input.constData());
    size_t left = static_cast<size_t>(input.size());
    char buf[4096];
    while (left > 0) {
        char* o = buf;
        size_t room = sizeof buf;
        const size_t r = ::iconv(cd, &in, &left, &o, &room);
        out.append(buf, o - buf);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ, or EINVAL for a sequence cut short at the end.
        const size_t skip = std::min(left, onBad(out, in, left));
        in += skip;
        left -= skip;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    ::iconv_close(cd);
    return out;
}

}  // namespace

QString decodeCp950(const QByteArray& bytes) {
    const QByteArray utf8 =
        convert("UTF-8", "CP950", bytes, [](QByteArray& out, const char*, size_t) -> size_t {
            out.append("\xEF\xBF\xBD");
            return 1;
        });
    return QString::fromUtf8(utf8);
}

QByteArray encodeCp950(const QString& text) {
    return convert("CP950", "UTF-8", text.toUtf8(),
                   [](QByteArray& out, const char* in, size_t left) -> size_t {
                       out.append('?');
                       // Skip the whole UTF-8 character that has no CP950 form.
                       const unsigned char lead = static_cast<unsigned char>(*in);
                       size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                       return std::min(len, left);
                   });
}
