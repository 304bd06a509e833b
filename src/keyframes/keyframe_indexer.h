#pragma once
// The keyframe index of each file the player opens, built beside the window thread (an FLV
// by our own walk on a worker thread, any other file, or an FLV our walk refuses, by one
// ffprobe run) and kept for the session. A file that changed on disk is indexed again.
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

#include "keyframes/keyframe_index.h"

class QProcess;
class QThread;

namespace keyframes {

class KeyframeIndexer : public QObject {
    Q_OBJECT
  public:
    explicit KeyframeIndexer(QObject* parent = nullptr);
    // Ends a running ffprobe and waits for a running walk.
    ~KeyframeIndexer() override;

    // The ffprobe to run (default: the one on PATH; empty: none, so only FLV gets an index).
    void setProbeProgram(const QString& program) { probe_ = program; }

    // Starts indexing a local file unless its index is known or on its way; indexed(path)
    // follows when it is done, found or not.
    void request(const QString& path);
    // The index of path; nullptr while unknown, on its way, or when the file has none.
    const KeyframeIndex* find(const QString& path) const;
    bool busy() const { return !threads_.isEmpty() || !processes_.isEmpty(); }

  signals:
    void indexed(const QString& path);

  private:
    struct Entry {
        qint64 size = -1;
        qint64 modified = 0;
        std::optional<KeyframeIndex> index;
    };
    void walkFlv(const QString& path);
    void runProbe(const QString& path);
    void store(const QString& path, std::optional<KeyframeIndex> index);

    QString probe_;
    QHash<QString, Entry> entries_;
    QList<QThread*> threads_;
    QList<QProcess*> processes_;
};

}  // namespace keyframes
