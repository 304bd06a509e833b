#include "common/time_code.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// value in units of 1/unitsPerSecond, as "int.frac" with the integer part at least minDigits
// wide and `decimals` digits after the point (hundredths padded with zeros beyond two).
QString formatUnits(long long value, long long unitsPerSecond, int decimals, int minDigits) {
    QString text = QString::number(value / unitsPerSecond).rightJustified(minDigits, u'0');
    if (decimals >= 1) {
        const int fracDigits = decimals >= 2 ? 2 : 1;
        text += u'.' + QString::number(value % unitsPerSecond).rightJustified(fracDigits, u'0');
        if (decimals > 2) text += QString(decimals - 2, u'0');
    }
    return text;
}

}  // namespace

QString secToText(float& seconds, int style, int decimals, int* fields) {
    const int t = style;
    const int n = decimals < 0 ? 0 : decimals;
    // Only 0.004 is added before the cut to hundredths, so 3723.455 stays 3723.45.
    const long long signedHundredths =
        static_cast<long long>(std::floor((static_cast<double>(seconds) + 0.004) * 100.0));
    seconds = static_cast<float>(signedHundredths / 100.0);
    const bool negative = signedHundredths < 0;
    const long long hundredths = negative ? -signedHundredths : signedHundredths;

    // Work in whole units of the last digit shown, so that the fields are exact and a
    // rounding up carries into the minutes instead of showing 60 seconds.
    long long units = hundredths;
    long long perSecond = 100;
    if (n < 2) {
        const long long div = n == 1 ? 10 : 100;
        perSecond = 100 / div;
        // The two-digit seconds field without decimals is cut, never rounded up.
        units = (t >= 2 && n == 0) ? hundredths / div : (hundredths + div / 2) / div;
    }

    QString text;
    int shown = 1;
    if (t == 0) {
        text = formatUnits(units, perSecond, n, 1);
    } else {
        long long h = units / (3600 * perSecond);
        long long m = (units - h * 3600 * perSecond) / (60 * perSecond);
        if (t == 4) {
            m = units / (60 * perSecond);
            h = 0;
        }
        const long long sec = units - h * 3600 * perSecond - m * 60 * perSecond;
        // Hours are never shown without minutes, and seconds after minutes are two digits,
        // so that the text reads back to the same time.
        const bool showHours = t == 3 || h >= 1;
        const bool showMinutes = t >= 2 || m >= 1 || showHours;
        text = formatUnits(sec, perSecond, n, showMinutes ? 2 : 1);
        if (showMinutes) {
            text = QString::number(m).rightJustified(2, u'0') + u':' + text;
            shown = 2;
        }
        if (showHours) {
            text = QString::number(h).rightJustified(2, u'0') + u':' + text;
            shown = 3;
        }
    }
    if (negative && units != 0) text.prepend(u'-');
    if (fields) *fields = shown;
    return text;
}

QString secToText(double seconds, int style, int decimals) {
    float s = static_cast<float>(seconds);
    return secToText(s, style, decimals, nullptr);
}

float textToSec(const QString& text, bool* ok) {
    if (ok) *ok = true;
    if (!text.contains(u':')) return 0.0f;
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    double total = 0.0;
    const QStringList parts = text.split(u':');
    for (const QString& part : parts) {
        if (!number.match(part).hasMatch()) {
            if (ok) *ok = false;
            return 0.0f;
        }
        total = total * 60.0 + part.trimmed().toDouble();
    }
    return static_cast<float>(total);
}

long long ceilSeconds(double seconds) { return static_cast<long long>(std::ceil(seconds)); }
