#pragma once
// Reads ffmpeg's "-progress" key=value lines and turns them into a percentage.
#include <QByteArray>

namespace tools {

class ProgressParser {
  public:
    // expectedSeconds: the length of what the command writes; expectedBytes: its size, for a
    // stream copy whose length is not known beforehand. 0: unknown. The time is used when
    // both are known.
    explicit ProgressParser(double expectedSeconds, qint64 expectedBytes = 0)
        : expected_(expectedSeconds), expectedBytes_(expectedBytes) {}
    // Feeds bytes as they arrive (lines may be split anywhere). Returns true when the
    // percentage changed.
    bool feed(const QByteArray& bytes);
    // 0 to 99 while the command runs: 100 belongs to the moment it has ended. -1 while the
    // expected length is unknown.
    int percent() const { return percent_; }
    double outSeconds() const { return outSeconds_; }
    // The video frames written so far ("frame="), -1 before the first report.
    qint64 frames() const { return frames_; }

  private:
    bool line(const QByteArray& l);
    bool show(double fraction);
    double expected_;
    qint64 expectedBytes_;
    QByteArray pending_;
    double outSeconds_ = 0;
    qint64 frames_ = -1;
    int percent_ = -1;
};

}  // namespace tools
