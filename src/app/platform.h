#pragma once
// Choices made before the QApplication exists and right after it.

namespace app {

// When QT_QPA_PLATFORM is unset and an X display is reachable, asks Qt for xcb: the program
// places its windows itself, which a Wayland client cannot.
void choosePlatform();

// libmpv refuses to start unless numbers are formatted the C way; Qt set the locale from the
// environment when the QApplication was made.
void fixNumericLocale();

}  // namespace app
