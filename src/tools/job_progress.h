#pragma once
// The busy window's bar over a whole job, as plain data: every step of the job has a weight
// (its expected share of the work, equal when the job declares none), and within a step the
// running command's own percentage moves the bar through that step's share. The figure only
// climbs and stays below 100 until the job has ended successfully.
#include <vector>

namespace tools {

class JobProgress {
  public:
    explicit JobProgress(int steps = 1);

    // One weight per step, in step order. Missing, negative or non-finite weights count as
    // the average of the others (or 1), so a step never adds nothing to the bar.
    void setWeights(const std::vector<double>& weights);
    int steps() const { return static_cast<int>(weights_.size()); }

    // Step (1-based) has begun: every step before it counts as done. A step already passed
    // does not move the bar back.
    void enterStep(int step);
    // The running command's own figure: 0..99, or -1 when it has no known length. Within a
    // step the bar keeps the highest figure seen, so a retried command does not pull it back.
    void commandProgress(int percent);
    // A command has begun; with no known length the bar waits for it.
    void commandStarted();
    // The job has ended successfully: the one moment the bar shows 100.
    void finish();

    // 0..99 while the job runs, 100 once it has finished.
    int percent() const;
    // True when there is nothing to show yet: no step has finished, and the running command
    // has no length of its own (the bar then shows that the job is busy).
    bool indeterminate() const;

  private:
    double doneWeight() const;

    std::vector<double> weights_;
    int step_ = 1;              // current step, 1-based
    double stepFraction_ = 0;   // of the current step, 0..0.99
    bool lengthKnown_ = false;  // the running command reports its own figure
    bool finished_ = false;
};

}  // namespace tools
