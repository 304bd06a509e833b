#pragma once
// Opening and closing the busy window over the window that started a job.
class QWidget;

namespace tools {

class frmBuzy;

// Which window the busy window hid while a job runs.
enum class HiddenWindow { None, Main, List };
extern HiddenWindow BuzyHiddenWindow;

// show = true: hides the other window (the main window when the caller is not it, the list
// window when it is), lays the busy window over the caller, enters the busy input state.
// show = false: when the user pressed the stop button, "你已經中止程序！" (once) and
// *stopped = true; closes the busy window, shows the hidden window again, gives the focus
// back to the caller and leaves the busy input state.
void buzySateShow(bool show, QWidget* caller, bool* stopped = nullptr);

// The busy window while it is open, else nullptr.
frmBuzy* currentBuzy();

}  // namespace tools
