#pragma once
// The split job (cmdMediaSplit): the source checked, the calculator run, the folder or file
// chosen, then the pieces cut on the common frame with the cutting path of the saved
// segments (the same keyframe probe, cut commands, flvmdi cut for FLV and re-encode question).
#include <QString>

#include "tools/save_segments.h"
#include "tools/split/split_calc.h"

class QWidget;

namespace split {

struct SplitRequest {
    QString source;  // txtMdSplit, trimmed
    SplitFields fields;
    double totalSeconds = 0;    // the measure's Tag
    QWidget* caller = nullptr;  // the list window: owner of the dialogs and the busy window
};

// The notice when the source is missing or not a format the tools edit.
QString badSourceText();
// Title of the folder browser for pieces of ext.
QString folderBrowserTitle(const QString& ext);

save::SaveOutcome runSplit(const SplitRequest& r);

}  // namespace split
