#include "keyframes/keyframe_indexer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <memory>

namespace keyframes {

namespace {

bool looksLikeFlv(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(3) == "FLV";
}

}  // namespace

KeyframeIndexer::KeyframeIndexer(QObject* parent)
    : QObject(parent), probe_(QStandardPaths::findExecutable(QStringLiteral("ffprobe"))) {}

KeyframeIndexer::~KeyframeIndexer() {
    for (QProcess* p : processes_) {
        p->disconnect(this);
        p->kill();
        p->waitForFinished(2000);
    }
    for (QThread* t : threads_) {
        t->disconnect(this);
        t->wait();
        delete t;
    }
}

void KeyframeIndexer::request(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return;
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    auto it = entries_.find(path);
    if (it != entries_.end() && it->size == info.size() && it->modified == modified) return;
    Entry e;
    e.size = info.size();
    e.modified = modified;
    entries_.insert(path, e);
    if (looksLikeFlv(path))
        walkFlv(path);
    else
        runProbe(path);
}

const KeyframeIndex* KeyframeIndexer::find(const QString& path) const {
    auto it = entries_.constFind(path);
    return it != entries_.cend() && it->index ? &*it->index : nullptr;
}

void KeyframeIndexer::walkFlv(const QString& path) {
    auto result = std::make_shared<std::optional<KeyframeIndex>>();
    QThread* t = QThread::create([file = QFile::encodeName(path).toStdString(), result] {
        if (auto stream = flv::readPictures(file)) *result = indexFromFlv(*stream);
    });
    threads_ << t;
    connect(t, &QThread::finished, this, [this, t, path, result] {
        threads_.removeOne(t);
        t->deleteLater();
        // A file our walk refuses (torn, foreign) may still be read by ffmpeg.
        if (*result)
            store(path, std::move(*result));
        else
            runProbe(path);
    });
    t->start(QThread::LowPriority);
}

void KeyframeIndexer::runProbe(const QString& path) {
    if (probe_.isEmpty()) {
        store(path, std::nullopt);
        return;
    }
    auto* p = new QProcess(this);
    processes_ << p;
    p->setStandardErrorFile(QProcess::nullDevice());
    connect(p, &QProcess::finished, this, [this, p, path](int code, QProcess::ExitStatus status) {
        processes_.removeOne(p);
        p->deleteLater();
        const bool ok = status == QProcess::NormalExit && code == 0;
        store(path, ok ? indexFromFfprobe(p->readAllStandardOutput()) : std::nullopt);
    });
    connect(p, &QProcess::errorOccurred, this, [this, p, path](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        processes_.removeOne(p);
        p->deleteLater();
        store(path, std::nullopt);
    });
    p->start(probe_, ffprobeArguments(path));
}

void KeyframeIndexer::store(const QString& path, std::optional<KeyframeIndex> index) {
    auto it = entries_.find(path);
    if (it == entries_.end()) return;
    it->index = std::move(index);
    emit indexed(path);
}

}  // namespace keyframes
