// Feeds arbitrary text to the settings reader and checks that what it writes reads back
// to the same values.
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    app::SettingsEnvironment env;
    env.folderExists = [](const QString& f) { return f == QLatin1String("/"); };
    env.filesListed = [](const QString&) { return 3; };
    app::SettingsValues values;
    app::readSettingsLines(text.split(QLatin1Char('\n')), values, env);
    const QStringList written = app::settingsLines(values);
    if (written.size() != 16) std::abort();  // the fifteen keys and ExactCut
    app::SettingsValues again;
    app::readSettingsLines(written, again, env);
    // Twips without a MainRect line are written as a default; everything else must survive.
    if (!values.mainRectTwips) again.mainRectTwips.reset();
    if (!values.listWindow.rectTwips) again.listWindow.rectTwips.reset();
    if (!(again == values)) std::abort();
    return 0;
}
