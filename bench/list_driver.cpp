// Times the list window's work on a long play list: loading List.ini into the window, sorting,
// shuffling, saving, and importing a play list file of as many existing files. Prints one line
// per step in milliseconds.
// Usage: list_driver FOLDER [ITEMS]
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <clocale>
#include <cstdio>

#include "app/settings_store.h"
#include "common/text_file.h"
#include "items/line_format.h"
#include "lists/frm_list.h"
#include "lists/list_buttons.h"
#include "lists/list_commands.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: list_driver FOLDER [ITEMS]\n");
        return 2;
    }
    // Offscreen unless a platform is named (the bench names xcb for the accessibility case).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    const int n = argc > 2 ? std::atoi(argv[2]) : 10000;

    {  // A list store of n items, a tenth of them with marks.
        app::SettingsStore seed(folder);
        QStringList items;
        for (int i = 0; i < n; ++i) {
            QString item = QStringLiteral("/media/videos/資料夾 %1/clip %2.flv")
                               .arg(i % 97)
                               .arg((i * 7919) % n);
            if (i % 10 == 0) item += QChar(0x2225) + QStringLiteral("100-250 400-900");
            items << item;
        }
        seed.lists.list[0].setItems(items, 0);
        if (seed.save()) return 1;
    }

    QElapsedTimer t;
    const auto step = [&t](const char* what) {
        std::printf("%-32s %8.1f ms\n", what, t.nsecsElapsed() / 1e6);
        t.restart();
    };
    t.start();
    app::SettingsStore store(folder);
    store.load(app::diskEnvironment());
    lists::frmList window(store.lists);
    window.show();  // a shown list is what a screen reader follows
    // The accessibility bridge comes up once the bus answers.
    if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")) {
        QElapsedTimer wait;
        wait.start();
        while (!QAccessible::isActive() && wait.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    window.reloadLists();
    step("load List.ini into the window");
    window.playList(0).sortByShownText();
    step("sort");
    window.playList(0).shuffle();
    step("shuffle");
    window.playList(0).reverse();
    step("reverse");
    window.setLineFormat(1);
    step("redraw in another line format");
    if (store.save()) return 1;
    step("save List.ini");

    // An .m3u of n files that exist, relative to the list's folder, as other players write it.
    QDir(folder).mkdir(QStringLiteral("clips"));
    QStringList m3u{QStringLiteral("#EXTM3U")};
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("clips/clip %1.flv").arg(i);
        QFile(folder + name).open(QIODevice::WriteOnly);
        m3u << QStringLiteral("#EXTINF:8,clip %1").arg(i) << name;
    }
    if (!writeTextLines(folder + QStringLiteral("list.m3u"), m3u).ok) return 1;
    window.changeToTab(0, 1);
    t.restart();
    lists::importListFile(window, folder + QStringLiteral("list.m3u"));
    QApplication::processEvents();
    step(QAccessible::isActive() ? "import an .m3u (accessibility on)"
                                 : "import an .m3u into the window");
    return window.playList(0).count() == n && window.playList(1).count() == n ? 0 : 1;
}
