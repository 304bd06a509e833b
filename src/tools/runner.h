#pragma once
// Runs tool commands one at a time as child processes and waits for each in a nested event
// loop: the program uses no processor while a tool runs, windows keep painting, and the stop
// button can end the child.
#include <QString>

#include "tools/command.h"

namespace tools {

// Set by the stop button; cleared by the runner at the end of every command. A job keeps its
// own record of the stop (the busy window's stop tag), so clearing this loses nothing.
extern bool AbortRequested;
// Start of the running job on a monotonic clock (monotonicSeconds), so a job across midnight
// or a clock change still shows its real duration.
extern double JobStart;
double monotonicSeconds();

// Told about the command that runs; the busy window shows its progress.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    virtual void commandStarted(const Command& c) { (void)c; }
    // 0..99 while the command runs, -1 when no percentage is known.
    virtual void progress(int percent) { (void)percent; }
    // The command has ended (or could not start). Its job may well go on.
    virtual void commandEnded() {}
};
void setRunObserver(RunObserver* o);  // not owned; nullptr: nobody

// How a command ended.
enum class Ending {
    Exited,         // ran to its end; exitCode says how
    Crashed,        // ended by a signal (a crash, or the stop button)
    FailedToStart,  // the program could not be started
    NotRun,         // a stop came before it started
};

struct CmdResult {
    Ending ending = Ending::NotRun;
    int exitCode = -1;  // meaningful when ending is Exited
    QString output;     // standard output and standard error (ffmpeg: without progress lines)
    // The video frames a command with progress lines reported writing; -1 when it gave none.
    qint64 frames = -1;
    bool succeeded() const { return ending == Ending::Exited && exitCode == 0; }
};

// Runs c to its end. A command that cannot start returns at once.
CmdResult runCommand(const Command& c);
// The text of runCommand alone, for probes that read what a tool printed.
QString getCmdOutput(const Command& c);
// runCommand, text discarded; true when the command ran and exited with status 0.
bool runCmd(const Command& c);
// The process id of the running command, 0 when none runs (tests end it from outside).
qint64 runningProcessId();

// The stop button: AbortRequested := true and the running child is ended (SIGTERM to its
// process group, SIGKILL one second later if it is still there).
void requestStop();
// True while a command runs.
bool commandRunning();

}  // namespace tools
