#pragma once
// One tool command: a program and its arguments, run without a shell.
#include <QString>
#include <QStringList>

namespace tools {

struct Command {
    QString program;   // absolute path of the tool
    QStringList args;  // each argument as the tool receives it
    QString folder;    // working folder; empty: the program's current folder
    // The command is ffmpeg: the runner adds "-progress pipe:1 -nostats" and shows how far
    // it has come against expectedSeconds (the length of what this step writes).
    bool ffmpeg = false;
    // The tool writes lines of the same form on its own (flvmdi's cut and join): the runner
    // reads them the same way but adds no options.
    bool progressLines = false;
    double expectedSeconds = 0;
    // The size the output will reach in bytes, for a stream copy whose length is not known
    // beforehand (ffmpeg's "total_size" lines); used when expectedSeconds is 0.
    qint64 expectedBytes = 0;
    bool readsProgress() const { return ffmpeg || progressLines; }
    // The runner can show how far this command has come.
    bool measured() const { return readsProgress() && (expectedSeconds > 0 || expectedBytes > 0); }

    // The command as one line (arguments with blanks or quotes in double quotes), for tests
    // and for reading; it is never given to a shell.
    QString text() const;
    // The arguments the child gets (with the progress options for ffmpeg).
    QStringList effectiveArgs() const;
};

// ffmpeg reads a leading "-" as an option and "name:" as a protocol, so every path given to
// it is written as "file:" + path.
QString ffmpegFile(const QString& path);

// Whether the runner reads ffmpeg's progress from standard output. A probe whose output the
// job itself reads (a packet list, a stream description) must run without it.
enum class Progress { Shown, None };

// Every ffmpeg command is made here: program, its arguments (paths already through
// ffmpegFile), and the expected length of its output in seconds (0: unknown, the bar only
// moves on at the end).
Command ffmpegCommand(const QString& ffmpegProgram, const QStringList& args,
                      double expectedSeconds = 0, Progress progress = Progress::Shown);
// An ffmpeg run whose standard output the job reads: no progress options.
Command ffmpegProbe(const QString& ffmpegProgram, const QStringList& args);

}  // namespace tools
