#pragma once
// The fix job ("執行修復功能"): checks the source, asks for the output with the save dialog
// and rebuilds the file on the job frame. FLV files are rebuilt at tag level by flvmdi's
// repair; MPEG program streams and everything else are remuxed by ffmpeg with stream copy,
// the audio re-encoded to MP3 when the user agrees.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/command.h"

class QWidget;

namespace fix {

// What a job did, for the page and for tests.
struct FixOutcome {
    bool started = false;    // the busy window was shown
    bool succeeded = false;  // the output passed the success test
    QString output;          // the chosen output ("" when the job ended before the dialog)
    int reencodeQuestions = 0;
};

// The whole operation for the text of txtMdFix; caller is the list window.
FixOutcome mediaFix(QWidget* caller, const QString& sourceText);

}  // namespace fix
