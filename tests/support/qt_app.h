#pragma once
// The one QApplication of a test program, made on first use, offscreen unless told
// otherwise; libmpv refuses to start unless LC_NUMERIC is "C".
#include <QApplication>
#include <QString>
#include <clocale>
#include <ostream>

#include "qstring_print.h"

namespace testmedia {

inline QApplication& qtApp() {
    if (auto* a = qobject_cast<QApplication*>(QCoreApplication::instance())) return *a;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumba-test";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return *app;
}

}  // namespace testmedia

