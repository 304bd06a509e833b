#pragma once
// Reads ffmpeg's "-progress" key=value lines and turns them into a percentage.
#include <QByteArray>

namespace tools {

class ProgressParser {
  public:
    explicit ProgressParser(double expectedSeconds) : expected_(expectedSeconds) {}
    // Feeds bytes as they arrive (lines may be split anywhere). Returns true when the
    // percentage changed.
    bool feed(const QByteArray& bytes);
    // 0 to 99 while the command runs: 100 belongs to the moment it has ended. -1 while the
    // expected length is unknown.
    int percent() const { return percent_; }
    double outSeconds() const { return outSeconds_; }

  private:
    bool line(const QByteArray& l);
    double expected_;
    QByteArray pending_;
    double outSeconds_ = 0;
    int percent_ = -1;
};

}  // namespace tools
