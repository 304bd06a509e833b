#include "media/mci_text.h"

#include <cmath>
#include <limits>

namespace mcitext {

double replyNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    double sign = 1;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-') sign = -1;
        ++i;
    }
    double value = 0;
    bool any = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        any = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        double scale = 0.1;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            value += (text[i].unicode() - u'0') * scale;
            scale /= 10;
            any = true;
            ++i;
        }
    }
    return any ? sign * value : 0;
}

int32_t roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    double r = std::round(value);
    // std::round sends halves away from zero; pull exact halves back to the even neighbour.
    if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

QString leadingWord(const QString& reply) {
    QString word;
    for (QChar c : reply) {
        QChar lc = c.toLower();
        const bool ok = (lc >= u'a' && lc <= u'z') || (lc >= u'0' && lc <= u'9');
        if (!ok) break;
        word += lc;
    }
    return word;
}

}  // namespace mcitext
