#pragma once
// What a fix job does with a source, as plain data: the names it uses and the argument lists
// of its commands. Nothing here runs a process or touches the disk.
#include <QString>
#include <QStringList>

#include "tools/command.h"
#include "tools/deployment.h"
#include "tools/save_plan.h"
#include "tools/tool_texts.h"

namespace fix {

using tools::Command;

// The temporary file of an FLV fix, relative to the output folder: "~fix~tmpSP.flv".
QString tempName(const QString& ext);
// The name the save dialog offers: "clip_fix.flv" for /v/clip.flv.
QString proposedName(const QString& source);

// How a remux treats the audio: copied, or (after the user agreed) re-encoded to MP3 at
// 64 kbit/s because the container cannot hold it as it is.
enum class Audio { Copy, Mp3 };

struct FixPlan {
    QString source;  // absolute path
    QString ext;     // of the source, lower case
    QString output;  // absolute path
    tools::ToolKind kind = tools::ToolKind::Other;
    tools::ToolSet toolSet = tools::ToolSet::Fix3;
    // FLV only: what flvmdi's repair writes, relative to the output folder. The output itself
    // when the user chose the temporary name for it.
    QString repairInto;
    // Every file of the output folder the job writes, moves onto or deletes.
    QStringList touchedFiles() const;
};
FixPlan makeFixPlan(const QString& source, const QString& output);

// FLV: flvmdi rebuilds the file at tag level, metadata included, into out (relative to the
// output folder, or absolute).
Command repairCommand(const save::Tools& t, const QString& source, const QString& out);
// Whether a remux takes the source's cover pictures (attached pictures) along.
enum class Covers { Kept, Left };
// Whether ffmpeg writes covers into the container of ext: MP4 and M4A. Its MOV and 3GP
// writers drop them without a word; AVI, ASF and MPEG would carry one as a video stream of a
// single picture.
bool holdsCovers(const QString& ext);

// MPEG program streams and everything else: every video and audio stream copied by ffmpeg
// into output, in the source's own container (a ".dat" is an MPEG program stream), with the
// covers when asked for and the container holds them.
Command remuxCommand(const save::Tools& t, const QString& source, const QString& output,
                     const QString& ext, Audio audio, Covers covers = Covers::Left);

// The notice for a source that is missing or not of an editable kind.
QString notFoundText();
// The message for an output that is the source itself (or a file the job would replace it by).
QString ownSourceText(const QString& source);
// The description at the top of the page.
QString descriptionText();

}  // namespace fix
