#pragma once
// The join as plain data: the names it uses in the output folder and the command of each
// kind of list. FLV files are joined by flvmdi at tag level (metadata written in the same
// pass); every other type by ffmpeg's concat demuxer, by stream copy. Nothing here runs a
// process or touches the disk.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/command.h"
#include "tools/movie_keys.h"
#include "tools/save_plan.h"
#include "tools/tool_texts.h"

namespace join {

// The save dialog's proposed name: "clip_merge.flv" for /v/clip.flv.
QString proposedName(const QString& firstPath);

struct JoinPlan {
    QStringList items;  // absolute paths, in list order
    QString ext;        // lower case, shared by the items
    tools::ToolKind kind = tools::ToolKind::Other;
    QString output;  // absolute
    QString folder;  // the output's folder, ending in "/"
    QString joined;  // "~tmpSJoin.<ext>" in the folder: written first, then moved onto output
    QString list;    // "~tmpSJoin.txt" in the folder; empty for FLV
    // The items as that list names them. ffmpeg reads it a line at a time: an item whose path
    // holds a line break is named by a link to it in the folder ("~tmpSJoinL002.mp4" for
    // the second item), which the job makes.
    QStringList listed;
    double seconds = 0;  // expected length of the result (0: unknown)

    bool tagLevel() const { return kind == tools::ToolKind::Flv; }
    // Every file of the folder this job writes, moves onto or deletes.
    QStringList touchedFiles() const;
};
JoinPlan makeJoinPlan(const QStringList& items, const QString& output, double seconds = 0);

// The pictures that an ffmpeg join of movie items leaves out of each (LeadingPictures of the
// items, in list order): its hidden leading pictures, as long as every item before it could
// be read (the filter counts them by their place among all the items' pictures).
std::vector<std::vector<std::size_t>> leftOut(const std::vector<save::LeadingPictures>& items);
// Those pictures as the options of the join's video filter; none when there are none.
QStringList leftOutFilter(const std::vector<save::LeadingPictures>& items);

// The join into p.joined; reencodeAudio and videoFilter only for ffmpeg joins.
tools::Command joinStep(const JoinPlan& p, const save::Tools& t, bool reencodeAudio,
                        const QStringList& videoFilter = {});

}  // namespace join
