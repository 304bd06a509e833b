#include "player/marks/common_calls.h"

#include "common/file_object.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/time_code.h"

namespace marks {

QString timeText(double seconds, int style, int decimals) {
    float s = static_cast<float>(seconds);
    return secToText(s, style, decimals);
}

bool isUrlPath(const QString& path) { return isUrl(path); }
bool isEditablePath(const QString& path) { return isEditableFile(path); }
QString fileNameOf(const QString& path) { return fso().GetFileName(path); }
QString folderOf(const QString& path) {
    return fixDriveLetter(addSlash(fso().GetParentFolderName(path)));
}

}  // namespace marks
