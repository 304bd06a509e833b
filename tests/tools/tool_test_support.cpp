#include "tool_test_support.h"

#include <QApplication>
#include <cstdlib>

#include "qt_app.h"

namespace tooltest {

void ensureApp() { testmedia::qtApp(); }

QString binDir() {
    const QByteArray d = qgetenv("LUMBA_BIN_DIR");
    return d.isEmpty() ? QStringLiteral(LUMBA_TOOLS_BIN_DIR) : QString::fromLocal8Bit(d);
}

}  // namespace tooltest
