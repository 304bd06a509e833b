// Lumba.FLV: the player program.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/platform.h"
#include "app/player_app.h"
#include "app/settings_store.h"
#include "app/single_instance.h"
#include "app/splash.h"
#include "app/termination.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/temp_folder.h"
#include "media/mpv_mci_device.h"
#include "tools/busy_state.h"

int main(int argc, char* argv[]) {
    app::choosePlatform();
    QApplication application(argc, argv);
    app::fixNumericLocale();
    QApplication::setApplicationName(QStringLiteral("Lumba.FLV"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    prompts::loadQtTranslation();

    const QStringList command =
        app::commandPaths(QApplication::arguments().mid(1), QDir::currentPath());

    ProgramFolder = addSlash(QApplication::applicationDirPath());
    TempFolder = privateTempFolder();
    if (TempFolder.isEmpty()) TempFolder = ProgramFolder;

    // A second start hands its paths over and ends, reading and writing nothing.
    app::SingleInstance instance(TempFolder);
    switch (instance.start(command)) {
        case app::SingleInstance::Role::HandedOver:
            return 0;
        case app::SingleInstance::Role::NoAnswer:
            std::fprintf(stderr, "Lumba.FLV: the running instance does not answer\n");
            return 1;
        case app::SingleInstance::Role::First:
            break;
    }

    auto splash = std::make_unique<app::frmSplash>();
    splash->show();
    QApplication::processEvents();
    // Until start-up takes this over, a prompt removes the splash before it shows.
    prompts::beforeNextPrompt([&splash] { splash.reset(); });

    MpvMciDevice device;
    setDefaultMciDevice(&device);

    app::SettingsStore store(app::configFolder(ProgramFolder));
    int exitCode = 0;
    {
        app::PlayerApp player(store, nullptr, &instance);
        app::AppShell& shell = player.shell();
        // A running tool job ends first: its stop and clean-up must not be cut short.
        app::TerminationSignals termination(
            [&shell](int) { tools::whenIdle([&shell] { shell.terminate(); }); });

        shell.startUp(command, [&splash] { splash.reset(); });

        // A signal during start-up has closed the window already.
        if (!shell.closing()) exitCode = application.exec();
        if (shell.terminated()) exitCode = 0;
    }
    setDefaultMciDevice(nullptr);
    return exitCode;
}
