#pragma once
// The modal busy state while a job runs: every window ignores input except the busy window's
// stop button, a second job cannot start, and a close waits until the job has ended.
#include <functional>

class QObject;
class QWidget;

namespace tools {

// True from the start of a job until it has ended.
bool isBusy();

// A job's whole span (from its checks to its report). False: a job is already running.
bool beginJob();
// Ends the span, then runs the closes and calls deferred while it ran, in order.
void endJob();

// The input gate while the busy window shows: only events to allowed (and its children) get
// through, and a window's close is held back until the job has ended. Entering twice
// only moves the gate to the new widget.
void enterBusy(QWidget* allowed);
void leaveBusy();
bool inputGated();

// Runs f now when no job runs, else right after the job has ended (the shell's closing on a
// termination signal, for example).
void whenIdle(std::function<void()> f);

}  // namespace tools
