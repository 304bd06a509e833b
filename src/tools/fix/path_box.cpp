#include "tools/fix/path_box.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace tools {
namespace {

QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& u : data->urls())
        if (u.isLocalFile()) paths << u.toLocalFile();
    return paths;
}

}  // namespace

QString singleSeparators(const QString& path) {
    QString p = path;
    while (p.contains(QLatin1String("//"))) p.replace(QLatin1String("//"), QLatin1String("/"));
    return p;
}

PathBox::PathBox(Accept accept, QWidget* parent) : QLineEdit(parent), accept_(accept) {
    setAcceptDrops(true);
}

bool PathBox::takeDropped(const QStringList& localPaths) {
    if (localPaths.isEmpty()) return false;
    const QString path = singleSeparators(localPaths.first());
    if (accept_ == Accept::ExistingFile && !QFileInfo(path).isFile()) return false;
    setText(path);
    emit pathDropped(path);
    return true;
}

void PathBox::dragEnterEvent(QDragEnterEvent* e) {
    if (!localFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QLineEdit::dragEnterEvent(e);
}

void PathBox::dragMoveEvent(QDragMoveEvent* e) {
    if (!localFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QLineEdit::dragMoveEvent(e);
}

void PathBox::dropEvent(QDropEvent* e) {
    const QStringList files = localFiles(e->mimeData());
    if (files.isEmpty()) {
        QLineEdit::dropEvent(e);
        return;
    }
    takeDropped(files);
    e->acceptProposedAction();
}

}  // namespace tools
