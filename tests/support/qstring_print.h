#pragma once
// Lets GoogleTest show QString values as text in failure messages.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
