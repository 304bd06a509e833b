#pragma once
// The join tool's job: the join list checked, the items' streams compared with the first
// item's, the output chosen, then the join on the common job frame.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "tools/command.h"
#include "tools/join/join_list_access.h"
#include "tools/join/stream_compare.h"

class QWidget;

namespace join {

// Reads the streams of one file; nullopt when it cannot be read.
using StreamReader = std::function<std::optional<StreamSummary>(const QString& path)>;
// The reader the program uses: a private headless libmpv player per file.
StreamReader mpvStreamReader();

// What a job did, for the record and for tests.
struct JoinOutcome {
    bool started = false;    // past the dialogs: the busy window was shown
    bool succeeded = false;  // the output passed the success test
    QString output;
    int reencodeQuestions = 0;
};

// cmdMediaJoin: caller is the window the busy window covers (the list window).
JoinOutcome mediaJoin(const JoinListAccess& list, QWidget* caller, const StreamReader& reader);

// The refusal of an output that is one of the items (or a name the join itself uses there).
QString ownSourceText(const QString& item);

}  // namespace join
