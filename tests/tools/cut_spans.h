#pragma once
// The spans a recorded job cut, read back from its commands: flvmdi's --cut FROM_MS TO_MS, or
// ffmpeg's seek and length of each part it wrote. Shared by the tool tests and the bench
// driver, so both read the batched runs the same way.
#include <QRegularExpression>
#include <QStringList>
#include <utility>
#include <vector>

#include "tools/command.h"
#include "tools/job_frame.h"

namespace jobtest {

// The cuts a recorded command made: flvmdi's one, or each part an ffmpeg run wrote (several
// when it cut them all in one run: each with the options of its input and its output, a probe
// that follows the last part kept with it). Any other command as it is.
inline std::vector<tools::Command> cutRuns(const tools::Command& c) {
    static const QRegularExpression part(QStringLiteral(".*~tmpSP\\d.*"));
    if (!c.ffmpeg || c.args.contains(QStringLiteral("concat"))) return {c};
    std::vector<tools::Command> runs;
    tools::Command run = c;
    run.args.clear();
    QStringList input;  // the options of the input the parts so far read, and the input
    for (qsizetype i = 0; i < c.args.size(); ++i) {
        run.args << c.args[i];
        if (c.args[i] == QLatin1String("-i") && i + 1 < c.args.size()) {
            run.args << c.args[++i];
            input = run.args;
        } else if (part.match(c.args[i]).hasMatch()) {
            // Parts that share one input read it as the first of them does.
            if (!run.args.contains(QStringLiteral("-i"))) run.args = input + run.args;
            runs.push_back(run);
            run.args.clear();
        }
    }
    if (runs.empty()) return {c};
    runs.back().args += run.args;
    return runs;
}
inline bool isFlvCut(const tools::Command& c) { return c.args.value(0) == QStringLiteral("--cut"); }
// Every part's cut of a job, in order.
inline std::vector<tools::Command> cutsOf(const tools::JobRecord& record) {
    std::vector<tools::Command> cuts;
    for (const tools::Command& c : record.commands) {
        if (isFlvCut(c)) cuts.push_back(c);
        if (!c.ffmpeg || c.args.contains(QStringLiteral("concat"))) continue;
        for (const tools::Command& r : cutRuns(c))
            if (r.args.indexOf(QRegularExpression(QStringLiteral(".*~tmpSP\\d.*"))) >= 0)
                cuts.push_back(r);
    }
    return cuts;
}
// Where one part's cut begins and ends, in seconds of the source (flvmdi's, or ffmpeg's seek
// on its input and its output, and its length).
inline std::pair<double, double> cutSpan(const tools::Command& c) {
    if (isFlvCut(c)) return {c.args[1].toDouble() / 1000, c.args[2].toDouble() / 1000};
    const QStringList a =
        c.args.mid(0, c.args.indexOf(QRegularExpression(QStringLiteral(".*~tmpSP\\d.*"))) + 1);
    const qsizetype input = a.indexOf(QStringLiteral("-i"));
    auto after = [&](qsizetype from, const QString& opt) {
        const qsizetype i = a.indexOf(opt, from);
        return i < 0 ? 0.0 : a[i + 1].toDouble();
    };
    const qsizetype firstSs = a.indexOf(QStringLiteral("-ss"));
    const double seek = firstSs >= 0 && firstSs < input ? after(0, QStringLiteral("-ss")) : 0;
    const double from = seek + after(input, QStringLiteral("-ss"));
    return {from, from + after(input, QStringLiteral("-t"))};
}

}  // namespace jobtest
