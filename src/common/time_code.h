#pragma once
// Time codes hh:mm:ss.cc, the text form every window shows and every time box accepts.
#include <QString>

// seconds is rounded down to hundredths (after adding 0.004) and replaced by that value.
// style: 0 seconds only; 1 as short as possible; 2 at least minutes; 3 always hours;
// 4 total minutes and seconds. decimals: digits after ".". fields (may be null): the number
// of fields shown, 1 to 3.
QString secToText(float& seconds, int style, int decimals, int* fields = nullptr);
// Convenience for a value the caller does not need rounded back.
QString secToText(double seconds, int style, int decimals);

// Sum of the ":"-separated fields, the last in seconds, each earlier one 60 times the next.
// A text without ":" gives 0 (plain seconds are not a time code). A field that is not a
// decimal number sets *ok false (the result is then 0); otherwise *ok is true.
float textToSec(const QString& text, bool* ok = nullptr);

// The smallest whole number not below seconds.
long long ceilSeconds(double seconds);
