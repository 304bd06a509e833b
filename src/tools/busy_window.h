#pragma once
// frmBuzy: the translucent window laid over the window that started a job, with the
// five-line caption, a progress bar under it and the stop panel.
#include <QWidget>
#include <vector>

#include "tools/job_progress.h"
#include "tools/runner.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QFrame;

namespace tools {

class frmBuzy : public QWidget, public RunObserver {
    Q_OBJECT
  public:
    explicit frmBuzy(QWidget* caller);
    ~frmBuzy() override;

    // The five lines: "Lumba.FLV", blank, the working line, blank, the step line.
    void setCaption(const QString& text);
    QString caption() const;

    // Whether the user has pressed the stop button; once pressed, for the rest of the job.
    enum class StopButton { Untouched, Pressed };
    bool stopPressed() const { return stopButton_ == StopButton::Pressed; }

    QPushButton* cmdBreak() const { return cmdBreak_; }
    QLabel* lblBuzy() const { return lblBuzy_; }
    QProgressBar* bar() const { return bar_; }
    QFrame* picBreak() const { return picBreak_; }

    // Lays out the caption (centred above the stop panel) and the panel (bottom centre).
    void lblBuzyMove();

    // The bar covers the whole job: its steps with their weights (empty: equal shares).
    void setSteps(int steps, const std::vector<double>& weights);
    // Step (1-based) has begun.
    void enterStep(int step);
    // The job has ended successfully: the bar shows 100 %.
    void jobDone();
    const JobProgress& jobProgress() const { return progress_; }

    // RunObserver: within a step the bar follows the running command.
    void commandStarted(const Command& c) override;
    void progress(int percent) override;
    void commandEnded() override;

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void cmdBreak_Click();
    void showProgress();

    QLabel* lblBuzy_;
    QProgressBar* bar_;
    QFrame* picBreak_;
    QPushButton* cmdBreak_;
    QLabel* imgRun_;
    StopButton stopButton_ = StopButton::Untouched;
    JobProgress progress_;
};

// Five-line caption of a tool: "Lumba.FLV", blank, working line, blank, step line.
QString buzyCaption(const QString& workingLine, const QString& stepLine);
// "共有 N 個程序，正處理第 M 個".
QString stepLine(int steps, int step);

}  // namespace tools
