#pragma once
// The frame every media tool job follows: after the tool has validated its inputs and the
// user has chosen the output, start() makes the output folder current, starts the clock,
// lays the busy window over the caller and has the tools written; run() runs one command
// with its step line; finish() cleans up, tests the output and reports.
//
// A stop ends the job: once the user has pressed the stop button no later command runs,
// and finish() goes down the failure path (the stop message once, no error message), removing
// every file this job made. The clean-up removes only the temporary files the job named
// through temp(), never other files of that shape the user keeps in the folder.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "tools/command.h"
#include "tools/deployment.h"
#include "tools/runner.h"
#include "tools/save_plan.h"
#include "tools/tool_failure.h"
#include "tools/tool_texts.h"

namespace tools {

// What a job showed and ran, for tests: a seam that production leaves unset.
struct JobRecord {
    QStringList captions;           // the busy caption after the start and at each showStep()
    std::vector<Command> commands;  // every command run through the frame, in order
};
// Every job from now on writes into record, which its start empties (nullptr: none).
void recordJobs(JobRecord* record);

// How a job run through the frame went.
struct JobRun {
    bool started = false;    // past the checks of the start: the busy window was shown
    bool succeeded = false;  // the output passed the success test and was reported
};

// Whether the frame removes an existing output before the steps: a series of pictures
// replaces its pictures one by one instead.
enum class Target { Replace, Keep };

class JobFrame {
  public:
    // steps: N of the step line ("共有 N 個程序…"); tools with a fixed step line ignore it.
    JobFrame(QWidget* caller, Tool tool, int steps);
    ~JobFrame();  // a job left without finish() still closes its busy window
    JobFrame(const JobFrame&) = delete;
    JobFrame& operator=(const JobFrame&) = delete;

    // Frame step 1: the keyboard focus leaves the pressed button and playback pauses.
    static void prepare(QWidget* caller);
    // A job must not write over its own source: removing the output first would delete it.
    static bool isOwnSource(const QString& output, const QString& source);

    // The share of the job each step is expected to take, one weight per step in step order
    // (a cut: the length of its span). Without it every step counts the same. The busy
    // window's bar runs over the whole job with these shares, and within a step follows the
    // running command's own progress. Declared before start().
    void setWeights(std::vector<double> weights);

    // The whole frame around a job's steps: start() with the tool set written, the existing
    // output removed (Target::Replace), steps() (false: the job failed), finish().
    JobRun runJob(const QString& output, ToolSet toolSet, Target target,
                  const std::function<bool()>& steps);

    // Frame steps 4 to 9. False when another job is running (nothing done), when the output's
    // folder cannot take files (the user is told; nothing else is done), or when the tools
    // could not be written (the job has failed: its error box was shown, nothing is left).
    bool start(const QString& output, ToolSet toolSet);

    // A temporary file of this job: name relative to the output folder (or absolute). Returns
    // the absolute path; the clean-up removes it.
    QString temp(const QString& name);
    // A file the job produces besides the output (split pieces): removed when the job fails
    // and it is empty, or when the user stopped.
    void own(const QString& path);
    // Removes the existing target (closing it first when it plays). False: it is still there
    // (held by another program), the job should fail.
    bool removeTarget(const QString& path);

    // Writes the step line for step (1-based) without running anything.
    void showStep(int step);
    // How a step went.
    enum class Step {
        Done,     // the command ran and exited with status 0
        Failed,   // it exited with an error, crashed, could not start or found the disk full
        Stopped,  // the user stopped the job: go to finish() without running anything else
    };
    // showStep(step), then the command. What a failing command printed (and a full disk
    // that any command reported) becomes the reason of the error message. result, when
    // given, receives what the command printed and counted.
    Step run(int step, const Command& c, CmdResult* result = nullptr);
    // A command that reads rather than makes (a probe, a check): run in the job's folder
    // without a step line, its output returned.
    CmdResult probe(Command c);
    bool stopped() const;
    // A command reported a full disk: whatever it was writing then is cut short.
    bool diskFullSeen() const { return failure_.cause == FailureCause::DiskFull; }

    // The tool's re-encode question; OK gives true. The clock restarts after the answer, so
    // the report leaves out the time the question was open.
    bool askReencode();

    // Frame steps 12 and 13. failed forces the failure path (a step failed, or its check did):
    // every file the job made or replaced is removed, so nothing cut short is left looking
    // finished. Returns true when the job succeeded.
    bool finish(const QString& output, bool failed = false);
    // Lines the success report adds about how the job went.
    void setReportNote(const QString& note) { reportNote_ = note; }

    ToolPaths paths() const { return paths_; }
    // The programs the job's commands run, as start() wrote them.
    save::Tools commandTools() const { return {paths_.ffmpeg, paths_.flvmdi}; }
    QString folder() const { return folder_; }
    // Absolute path of a name relative to the job's folder.
    QString inFolder(const QString& name) const;
    QWidget* caller() const { return caller_; }
    const ToolTexts& texts() const { return texts_; }

  private:
    void writeStep(int step);
    void cleanUp();
    void closeBusy(bool* stopped);

    QPointer<QWidget> caller_;
    QString reportNote_;
    const ToolTexts& texts_;
    int steps_;
    bool started_ = false;
    bool busyOpen_ = false;
    bool finished_ = false;
    bool stopSeen_ = false;
    bool ownsOutput_ = false;
    QString folder_;
    ToolPaths paths_;
    ToolFailure failure_;
    QStringList temps_;
    QStringList owned_;
    std::vector<double> weights_;
};

// True when the file system of folder has (next to) no room left for an ordinary user: a
// job that failed there failed for that, whatever its tools said.
bool diskFull(const QString& folder);
// The disk folder lies on, as the user knows it: the mount point of its file system.
QString diskOf(const QString& folder);

// The size of path in bytes, 0 when it is missing.
qint64 fileLength(const QString& path);

// True when folder exists and a file can be created in it. The test creates (and removes) a
// file there: the permission bits say yes to root almost everywhere, and a read-only or
// pseudo file system refuses only the write itself.
bool folderWritable(const QString& folder);

}  // namespace tools
