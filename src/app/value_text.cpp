#include "app/value_text.h"

#include <QLocale>
#include <cmath>
#include <string>

namespace app {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    std::string number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number += char(text[i].unicode());
        ++i;
    }
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        number += char(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            number += char(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits) return 0;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && isDigit(text[j]) && exponent.size() < 8) {
            exponent += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits) number += exponent;
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

std::optional<int> leadingWhole(const QString& text, int minValue, int maxValue) {
    const double value = std::nearbyint(leadingNumber(text));  // default rounding: half to even
    if (value < minValue || value > maxValue) return std::nullopt;
    return int(value);
}

std::optional<bool> textToBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value != 0;
}

QString generalNumber(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    // The shortest text that reads back to exactly this value.
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace app
