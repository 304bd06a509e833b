#pragma once
// What a job's keyframe probe (the real ffmpeg) answers for a source: the answers that the
// readers of a file's own index must give too.
#include <string>
#include <vector>

#include "test_media.h"
#include "tools/save_plan.h"

namespace savetest {

inline std::vector<std::string> argv(const save::Command& c) {
    std::vector<std::string> a{c.program.toStdString()};
    for (const QString& s : c.args) a.push_back(s.toStdString());
    return a;
}

// Where the probe finds the cut of S to begin, widening its window as a job does.
inline save::CutStart probedStart(const std::string& src, int64_t S, tools::ToolKind kind) {
    const save::Tools t{QStringLiteral("ffmpeg"), QString()};
    for (std::optional<double> w = save::firstProbeWindow(S, kind); w;
         w = save::widerProbeWindow(*w, S)) {
        const save::Command c = save::keyframeProbe(t, QString::fromStdString(src), *w, S);
        const QString out = QString::fromStdString(testmedia::run(argv(c)).output);
        if (auto cs = save::parseKeyframes(out, *w, S)) return *cs;
    }
    return {};
}

// Where the probe finds the copies of parts that end at ends to stop, in one run.
inline std::vector<int64_t> probedEnds(const std::string& src, const std::vector<int64_t>& ends) {
    const save::Tools t{QStringLiteral("ffmpeg"), QString()};
    std::vector<save::ProbeWindow> windows;
    for (const int64_t end : ends) windows.push_back(save::endProbeWindow(end));
    const auto r =
        testmedia::run(argv(save::keyframeProbe(t, QString::fromStdString(src), windows)));
    return save::parseCopyEnds(QString::fromStdString(r.output), windows);
}

}  // namespace savetest
