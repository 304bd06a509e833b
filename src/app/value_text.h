#pragma once
// How settings values are read from and written to text: the leading-number conversion,
// booleans from words or numbers, and the general number format.
#include <QString>
#include <optional>

namespace app {

// The number at the start of text (blanks, sign, digits, fraction, exponent); text after it
// is ignored, and text without a number reads as 0.
double leadingNumber(const QString& text);

// leadingNumber rounded half to even into [minValue, maxValue]; nullopt when out of range.
std::optional<int> leadingWhole(const QString& text, int minValue, int maxValue);

// "True"/"False" in any letter case, or a number (non-zero is true); nullopt otherwise.
std::optional<bool> textToBool(const QString& text);

inline QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Whole numbers without a fraction, others in the shortest form that reads back the same.
QString generalNumber(double value);

}  // namespace app
