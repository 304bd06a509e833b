#pragma once
// The shared services the marks use, in one place.
#include <QString>

namespace marks {

// secToText with the given style and decimals.
QString timeText(double seconds, int style, int decimals);
bool isUrlPath(const QString& path);
bool isEditablePath(const QString& path);

}  // namespace marks
