#pragma once
// The conversion job ("執行轉檔程序"): the checks in order, the confirmation, then ffmpeg on
// the job frame with a progress bar, and flvmdi on an FLV target.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/command.h"
#include "tools/encode/encode_plan.h"

class QWidget;

namespace encode {

// What a press did, for the page and for tests.
struct EncodeOutcome {
    Refusal refusal = Refusal::None;  // the check that stopped it (its notice was shown)
    bool confirmed = false;           // the user answered OK to the confirmation
    bool started = false;             // the busy window was shown
    bool succeeded = false;           // the target passed the success test
    QString source, target;           // absolute paths
};

// The whole operation for one panel; caller is the list window.
EncodeOutcome mediaEncode(QWidget* caller, const EncodeRequest& r);

}  // namespace encode
