#pragma once
// The snapshot job (cmdMediaSnap): one picture into a chosen file, or a series
// snapshot_001, snapshot_002, ... into a chosen folder, each taken by ffmpeg on the common
// frame. Pictures a series has already written stay when a later one fails.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/command.h"
#include "tools/snapshot/snapshot_calc.h"
#include "tools/snapshot/snapshot_plan.h"

class QWidget;

namespace snapshot {

struct SnapRequest {
    QString source;  // txtMdSplit, trimmed
    SnapFields fields;
    PictureType type = PictureType::Jpg;
    double totalSeconds = 0;    // the measure's Tag
    QWidget* caller = nullptr;  // the list window
};

struct SnapOutcome {
    bool started = false;    // past the dialogs
    bool succeeded = false;  // the output passed the test
    QString output;          // the file of the test and the report
    std::vector<double> times;
    QStringList pictures;  // the files written, in order
};

QString badSourceText();
QString folderBrowserTitle();

SnapOutcome runSnapshot(const SnapRequest& r);

}  // namespace snapshot
