#pragma once
// A shell that records what it was asked to open or show instead of starting a program.
#include <QStringList>

#include "common/shell.h"

struct RecordingShell : Shell {
    QStringList opened, explored;
    bool open(const QString& target) override {
        opened << target;
        return true;
    }
    bool exploreSelect(const QString& path) override {
        explored << path;
        return true;
    }
};
