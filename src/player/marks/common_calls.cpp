#include "player/marks/common_calls.h"

#include "common/media_kinds.h"
#include "common/time_code.h"

namespace marks {

QString timeText(double seconds, int style, int decimals) {
    float s = static_cast<float>(seconds);
    return secToText(s, style, decimals);
}

bool isUrlPath(const QString& path) { return isUrl(path); }
bool isEditablePath(const QString& path) { return isEditableFile(path); }

}  // namespace marks
