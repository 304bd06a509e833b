#pragma once
// What the user sees of the pieces a split writes: their names, the same name as the dialogs
// spell it, and the name proposed for a single cut. The split tool and the saved segments
// ("另存分割") both name their pieces so; changing the names means changing this file.
#include <QString>

#include "tools/save_plan.h"

namespace split {

QString pieceName(int index, const QString& ext);  // "split_001.flv" for index 0
QString pieceNamePattern(const QString& ext);      // "split_編號.flv"
QString cutFileName(const QString& source);        // "/v/my clip.flv": "my clip_part.flv"

// The three for the cutting path.
save::PieceNames pieceNames();

}  // namespace split
