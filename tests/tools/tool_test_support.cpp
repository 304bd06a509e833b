#include "tool_test_support.h"

#include <QApplication>
#include <cstdlib>

namespace tooltest {

void ensureApp() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_tools";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QString binDir() {
    const QByteArray d = qgetenv("LUMBA_BIN_DIR");
    return d.isEmpty() ? QStringLiteral(LUMBA_TOOLS_BIN_DIR) : QString::fromLocal8Bit(d);
}

}  // namespace tooltest
