#pragma once
// The orderly end of the program: the exits of the File menu, a termination signal, the
// question while marks are edited, the media and tool files released and the settings
// saved unless the exit without saving was chosen.
#include <functional>

class frmMain;

namespace app {

class WindowSettings;

class Shutdown {
  public:
    // beforeRelease: stops what must not run once closing has begun (the start-up timer).
    Shutdown(frmMain& window, WindowSettings& settings, std::function<void()> beforeRelease);

    // index as in mnuEnd: kEndSaving or kEndWithoutSaving.
    void mnuEnd(int index);
    // A termination signal: close through the normal shutdown, asking nothing.
    void terminate();
    // The steps, when the window is asked to close; false when the user keeps it running.
    bool run();

    bool closing() const { return closing_; }
    bool terminated() const { return quiet_; }

  private:
    bool userKeepsRunning();

    frmMain& w_;
    WindowSettings& settings_;
    std::function<void()> beforeRelease_;
    bool closing_ = false;
    bool quiet_ = false;
    bool saveOnClose_ = true;  // the tag of mnuEnd(0): empty, or "noSaveINI"
};

}  // namespace app
