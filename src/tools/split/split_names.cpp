#include "tools/split/split_names.h"

#include <QFileInfo>

namespace split {

QString pieceName(int index, const QString& ext) {
    return QStringLiteral("split_%1.%2").arg(index + 1, 3, 10, QLatin1Char('0')).arg(ext);
}

QString pieceNamePattern(const QString& ext) { return QStringLiteral("split_編號.") + ext; }

QString cutFileName(const QString& source) {
    const QFileInfo fi(source);
    return fi.completeBaseName() + QStringLiteral("_part.") + fi.suffix().toLower();
}

save::PieceNames pieceNames() { return {pieceName, pieceNamePattern, cutFileName}; }

}  // namespace split
