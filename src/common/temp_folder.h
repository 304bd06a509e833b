#pragma once
// The private temporary folder. Tool files with fixed names are written there and executed,
// so a folder another local user can write to or replace would let them plant a program.
#include <QByteArray>
#include <QString>

// $XDG_RUNTIME_DIR/Lumba.FLV/ when that variable names an existing folder, else
// ($TMPDIR or /tmp)/Lumba.FLV-<uid>/. Created with mode 0700 when missing. Returns the
// folder with a trailing "/", or "" when the base folder does not exist or the folder is a
// symbolic link, not a folder, owned by someone else or writable by everyone.
QString privateTempFolder();

// The same rule with the two environment values given (empty: unset).
QString privateTempFolderFrom(const QByteArray& xdgRuntimeDir, const QByteArray& tmpDir);
