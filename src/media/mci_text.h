#pragma once
// The number and word rules the media object applies to command strings and replies.
#include <QString>
#include <cstdint>

namespace mcitext {

// The longest decimal number at the start of text, leading blanks skipped; 0 when none.
// Accepts a sign and a fractional part ("  -12.5x" reads -12.5).
double replyNumber(const QString& text);

// Nearest whole number, halves to the even neighbour, held inside the 32-bit range.
int32_t roundHalfEven(double value);

// Lower-cased characters from the start of reply up to the first one that is not a-z or 0-9.
QString leadingWord(const QString& reply);

}  // namespace mcitext
