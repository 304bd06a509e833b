#pragma once
// saveMarkedSegments: the marked segments of the playing file saved without re-encoding,
// all joined into one file (mode 0, "另存裁剪") or each to a file of its own (mode 1,
// "另存分割"), on the common job frame.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/save_plan.h"

class QWidget;

namespace save {

// What the job needs of the player; the application connects it to the main window.
class SaveHost {
  public:
    virtual ~SaveHost() = default;
    // The end-mark command on the last segment when it is still open.
    virtual void closeOpenSegment() = 0;
    // FileName of the main media object ("" when nothing is open).
    virtual QString sourcePath() = 0;
    // Elements 0 to lastSegment in list order; empty when no segment is marked.
    virtual std::vector<UnitSegment> segments() = 0;
    virtual double secondsPerUnit() = 0;
    virtual double totalSeconds() = 0;  // the length the player shows
    virtual bool isAudioOnly() = 0;
    virtual void pausePrFn() = 0;
    // The main window: owner of the dialogs and caller of the busy window.
    virtual QWidget* window() = 0;
};

// What a job did, for the record and for tests.
struct SaveOutcome {
    bool started = false;    // past the dialogs: the busy window was shown
    bool succeeded = false;  // the output passed the success test
    QString output;          // the file of the success test and the report
    int steps = 0;           // N of the busy caption
    int reencodeQuestions = 0;
    // Parts of an exact save whose pictures could not be rebuilt (no H.264 or Sorenson
    // H.263): cut at the keyframe before the mark, which starts at copyFromSeconds.
    struct CopyStart {
        int part = 0;
        double copyFromSeconds = 0;
    };
    std::vector<CopyStart> notExact;
};

// names: the split tool's (split::pieceNames()).
SaveOutcome saveMarkedSegments(SaveHost& host, Mode mode, const PieceNames& names);

// The cutting path every job that cuts spans out of one source shares (the saved segments
// and the split tool): on the frame of tool, each part is cut (FLV at tag level, others from
// the keyframe a probe finds, the tool's re-encode question once when a copy yields nothing),
// then moved to its final name, moved to the output or joined. The caller has made sure
// the plan does not write over its source (writesOverSource).
SaveOutcome runSavePlan(const SavePlan& plan, QWidget* caller, tools::Tool tool);
// True when a file the plan writes, moves onto or deletes is its source.
bool writesOverSource(const SavePlan& plan);

// The texts of the job.
// The report's lines about parts an exact save cut at a keyframe instead.
QString notExactText(const std::vector<SaveOutcome::CopyStart>& parts);
QString missingSourceText();
QString audioOnlyText(Mode mode);
QString confirmText(Mode mode, const QString& source);
// pieces: how the texts name the pieces ("split_編號.flv").
QString folderBrowserTitle(const QString& pieces);
QString ownSourceText(Mode mode, const QString& source);
// The same refusal for any job: "「" + jobWord + "」的新檔案不能取代…".
QString ownSourceText(const QString& jobWord, const QString& source);

}  // namespace save
