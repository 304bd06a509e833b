#include "tools/job_progress.h"

#include <algorithm>
#include <cmath>

namespace tools {

JobProgress::JobProgress(int steps) : weights_(static_cast<size_t>(std::max(1, steps)), 1.0) {}

void JobProgress::setWeights(const std::vector<double>& weights) {
    const size_t n = weights_.size();
    double sum = 0;
    int valid = 0;
    for (size_t i = 0; i < std::min(n, weights.size()); ++i) {
        if (std::isfinite(weights[i]) && weights[i] > 0) {
            sum += weights[i];
            ++valid;
        }
    }
    const double fill = valid > 0 ? sum / valid : 1.0;
    for (size_t i = 0; i < n; ++i) {
        const double w = i < weights.size() ? weights[i] : -1;
        weights_[i] = std::isfinite(w) && w > 0 ? w : fill;
    }
}

void JobProgress::enterStep(int step) {
    step = std::clamp(step, 1, steps());
    if (step <= step_) return;
    step_ = step;
    stepFraction_ = 0;
    lengthKnown_ = false;
}

void JobProgress::commandStarted() { lengthKnown_ = false; }

void JobProgress::commandProgress(int percent) {
    if (percent < 0) {
        lengthKnown_ = false;
        return;
    }
    lengthKnown_ = true;
    // A step is complete only when the next one begins (or the job ends).
    stepFraction_ = std::max(stepFraction_, std::min(percent, 99) / 100.0);
}

void JobProgress::finish() { finished_ = true; }

double JobProgress::doneWeight() const {
    double done = 0;
    for (int i = 0; i + 1 < step_; ++i) done += weights_[static_cast<size_t>(i)];
    return done + weights_[static_cast<size_t>(step_ - 1)] * stepFraction_;
}

int JobProgress::percent() const {
    if (finished_) return 100;
    double total = 0;
    for (double w : weights_) total += w;
    const int p = static_cast<int>(std::floor(doneWeight() * 100.0 / total + 1e-9));
    return std::clamp(p, 0, 99);
}

bool JobProgress::indeterminate() const {
    return !finished_ && step_ == 1 && stepFraction_ == 0 && !lengthKnown_;
}

}  // namespace tools
