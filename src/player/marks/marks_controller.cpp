#include "player/marks/marks_controller.h"

#include "common/prompts.h"
#include "common/texts.h"
#include "media/mci.h"
#include "player/marks/common_calls.h"

namespace marks {

using texts::kCrLf;
using texts::kNoticeTitle;

QString segmentQuestionText(const QString& summary) {
    return summary + kCrLf + kCrLf + QStringLiteral("是否要播放或刪除這個標記區段？") + kCrLf +
           kCrLf + kCrLf + QStringLiteral("按「是」則播放這個標記區段") + kCrLf +
           QStringLiteral("按「否」則刪除這個標記區段");
}

QString attachMarksQuestionText(const QString& marksText) {
    QString pairs = marksText;
    pairs.replace(u' ', kCrLf);
    return QStringLiteral("你選擇把目前的檔案加入到指定清單") + kCrLf +
           QStringLiteral("是否要附加標記，被標記的影格如下：") + kCrLf + kCrLf + pairs;
}

QString leaveListPlayModeText() {
    return QStringLiteral("由於你針對目前的檔案進行了標記編輯") + kCrLf +
           QStringLiteral("清單播放模式將改為「單次播放檔案」");
}

MarksController::MarksController(MarksHost& host, QObject* parent) : QObject(parent), host_(host) {}

QString MarksController::barToolTip() const {
    if (!barVisible_) return {};
    return totalLine(segs_.count(), segs_.totalLength(), host_.secondsPerUnit());
}

void MarksController::setAutoAddMark(bool on) {
    if (autoAddMark_ == on) return;
    autoAddMark_ = on;
    emit autoAddMarkChanged(on);
}

void MarksController::setExactCut(bool on) {
    if (exactCut_ == on) return;
    exactCut_ = on;
    emit exactCutChanged(on);
}

// ---- commands ----

void MarksController::markStart() {
    if (!host_.positionBarEnabled()) return;
    const int32_t p = host_.media().getCurFrame();
    setMark(p, -1);
    host_.setMarkButtonState(MarkButton::Start, ButtonState::Normal);
    host_.setMarkButtonState(MarkButton::End, ButtonState::Normal);
}

void MarksController::markEnd() {
    if (!barVisible_) return;
    const int32_t p = host_.media().getCurFrame();
    // A rejected end removed its segment and disabled the end button: it stays disabled.
    if (setMark(-1, p)) setEndButton(ButtonState::Normal);
}

void MarksController::segmentClicked(int k) {
    if (k < 0 || k > segs_.lastIndex() || segs_.at(k).summary.isEmpty()) return;
    if (segs_.lastIsOpen()) deleteSegment(lastSegment_);
    if (k > segs_.lastIndex()) return;
    segs_.at(k).highlighted = true;
    emit changed();
    host_.pausePrFn();
    const auto answer = prompts::msgBox(segmentQuestionText(segs_.at(k).summary),
                                        prompts::Buttons::YesNoCancel, kNoticeTitle);
    if (answer == prompts::Answer::Yes || answer == prompts::Answer::No) {
        host_.media().rngCancel();
        host_.shareBnStop();
        if (answer == prompts::Answer::No) {
            deleteSegment(k);
            updateMarksTotal();
        } else {
            playNextRS(SegmentRepeat::Once, k, false, -1, -1, true);
        }
    }
    for (int i = 0; i < segs_.count(); ++i) segs_.at(i).highlighted = false;
    emit changed();
}

void MarksController::clearCommand() {
    host_.pausePrFn();
    const auto answer = prompts::msgBox(QString::fromUtf8(kClearMarksQuestion),
                                        prompts::Buttons::OkCancel, kNoticeTitle);
    if (answer != prompts::Answer::Ok) return;
    clearAllMarks();
    host_.shareBnStop();
}

void MarksController::playMarksCommand(int element) { leaveListPlayMode(false, element); }

void MarksController::playMarksForModifiers(int mask) {
    if (!menus_.rngPlay) return;
    playMarksCommand(playIndexForModifiers(mask));
}

void MarksController::goToMarksList() {
    host_.pausePrFn();
    if (segs_.lastIsOpen()) markEnd();
    leaveListPlayMode(false, std::nullopt);
    list_->showMarksListTab();
    list_->loadMark();
}

// ---- operations ----

bool MarksController::setMark(int32_t start, int32_t end) {
    if (start >= 0) {
        if (segs_.last().state == SegmentState::Closed) segs_.append();
        lastSegment_ = segs_.lastIndex();
        Segment& s = segs_.at(lastSegment_);
        segs_.bringToFront(lastSegment_);
        s.state = SegmentState::Open;
        s.length = 1;
        s.start = start;
        describe(lastSegment_);
        s.visible = true;
        barVisible_ = true;
        emit changed();
    }
    if (end > 0) {
        segs_.at(lastSegment_).state = SegmentState::Closed;
        if (!checkSegmentWidth(true, end)) return false;
        menus_.rngEdit = menus_.rngClear = menus_.rngPlay = true;
        describe(lastSegment_);
        updateSaveMenus();
        marksEdited_ = true;
        updateMarksTotal();
        emit changed();
    }
    return true;
}

bool MarksController::checkSegmentWidth(bool check, int32_t end) {
    Segment& seg = segs_.at(lastSegment_);
    const int32_t s = seg.start;
    if (end < 1 && s != 0 && host_.playState() == PlayState::Playing) end = host_.totalUnits();
    const int64_t len = int64_t(end) - s;
    const float w = host_.barScale() * float(len);
    if (end == 0) {
        // No end to measure against: a stretch leaves the open segment as it is; a close
        // at position 0 is no segment.
        if (!check) return true;
        deleteSegment(lastSegment_);
        return false;
    }
    const double ratio = 100.0 * double(len) / double(end);
    if (ratio >= -0.03 && (!check || w >= 0.5f)) {
        // A stretch never makes the open segment shorter than it began (one unit): an end
        // at or just before its start leaves it unchanged.
        if (check || len >= 1) seg.length = static_cast<int32_t>(len);
        emit changed();
        host_.repaintNow();
        return true;
    }
    deleteSegment(lastSegment_);
    return false;
}

void MarksController::deleteSegment(int k) {
    setEndButton(ButtonState::Disabled);
    if (segs_.lastIndex() < 1) {
        clearAllMarks();
    } else if (k >= 0 && k <= segs_.lastIndex()) {
        segs_.closeUp(k);
        for (int i = k; i < segs_.count(); ++i) describe(i);
    }
    lastSegment_ = segs_.lastIndex();
    if (lastSegment_ == 0) menus_.saveCut = false;
    emit changed();
}

void MarksController::clearAllMarks() {
    host_.media().rngCancel();
    barVisible_ = false;
    segs_.reset();
    if (host_.playState() != PlayState::Stopped) {
        host_.setMarkButtonState(MarkButton::Start, ButtonState::Normal);
        setEndButton(ButtonState::Disabled);
    }
    lastSegment_ = 0;
    playingSegment_ = 0;
    menus_.rngEdit = true;
    menus_.rngClear = menus_.rngPlay = menus_.saveRng = menus_.saveCut = false;
    marksEdited_ = false;
    updateMarksTotal();
    emit changed();
}

QString MarksController::segmentSummary(int index) const {
    return summaryLine(index, rsFormat(index, 2));
}

SegmentTimes MarksController::rsFormat(int index, int style, double startAdjust,
                                       double endAdjust) const {
    if (index < 0 || index > segs_.lastIndex()) return {};
    const Segment& seg = segs_.at(index);
    const float spu = host_.secondsPerUnit();
    SegmentTimes t =
        formatSegmentTimes(seg, spu, host_.totalSeconds(), style, startAdjust, endAdjust);
    if (spu <= 0) return t;
    const double mark = std::max(0.0, double(seg.start) * spu);
    if (const auto copy = host_.copyStartSeconds(mark)) {
        const QString text = timeText(*copy, style, 2);
        if (text != timeText(mark, style, 2)) {
            t.copyStartText = text;
            t.copyStartSeconds = *copy;
        }
    }
    return t;
}

void MarksController::describe(int i) {
    Segment& s = segs_.at(i);
    s.copyStart.reset();
    if (s.state == SegmentState::Open) {
        s.summary.clear();
        return;
    }
    const SegmentTimes t = rsFormat(i, 2);
    s.summary = summaryLine(i, t);
    if (!t.copyStartText.isEmpty())
        s.copyStart = roundHalfEven(t.copyStartSeconds / host_.secondsPerUnit());
}

void MarksController::refreshCopyStarts() {
    for (int i = 0; i < segs_.count(); ++i)
        if (segs_.at(i).state == SegmentState::Closed) describe(i);
    list_->refreshCopyNotes();
    emit changed();
}

void MarksController::updateMarksTotal() {
    emit changed();
    list_->checkCmdRng();
}

void MarksController::updateSaveMenus() {
    const QString file = host_.media().FileName();
    if (file.isEmpty() || isUrlPath(file) || !isEditablePath(file)) return;
    menus_.saveRng = true;
    if (lastSegment_ >= 1) menus_.saveCut = true;
    emit changed();
}

bool MarksController::checkDealRng() const {
    return segs_.last().state == SegmentState::Open || (marksEdited_ && barVisible_);
}

void MarksController::playNextRS(SegmentRepeat repeat, int index, bool keepState, int32_t start,
                                 int32_t end, bool onlyThis) {
    startSegmentPlay(repeat, index, keepState, start, end, onlyThis, true);
}

bool MarksController::startSegmentPlay(SegmentRepeat repeat, int index, bool keepState,
                                       int32_t start, int32_t end, bool onlyThis,
                                       bool reportFailure) {
    if (segs_.lastIsOpen()) deleteSegment(lastSegment_);
    if (index < 0 || index > segs_.lastIndex()) index = index < 0 ? 0 : segs_.lastIndex();
    const Segment& seg = segs_.at(index);
    if (start == -1) start = seg.start;
    if (end == -1) end = seg.end();
    MCI& m = host_.media();
    m.playMCI(start, end, repeat == SegmentRepeat::Loop, false, false);
    if (!m.isSuccess()) {
        if (reportFailure) host_.failPlay();
        return false;
    }
    playingSegment_ = onlyThis ? segs_.lastIndex() : index;
    // Keeping the state: the opener shows the playing state itself once the open is through.
    if (!keepState) host_.segmentPlayStarted(host_.playState() == PlayState::Stopped);
    return true;
}

void MarksController::leaveListPlayMode(bool stopInsteadOfPause, std::optional<int> playIndex) {
    if (!barVisible_ || (!playIndex && !marksEdited_)) return;
    if (list_->listPlayMode() != ListPlayMode::Once) {
        if (stopInsteadOfPause)
            host_.stopMedia();
        else
            host_.pausePrFn();
        host_.repaintNow();
        prompts::msgBox(leaveListPlayModeText(), prompts::Buttons::Ok, kNoticeTitle);
        list_->setListPlayModeOnce();
    }
    if (playIndex)
        playNextRS(*playIndex == 1 ? SegmentRepeat::Loop : SegmentRepeat::Once, 0, false, -1, -1,
                   false);
}

void MarksController::applyMark() { applyMarkSpans(list_->editorSpans()); }

void MarksController::applyMarkSpans(const std::vector<std::pair<float, float>>& spans) {
    clearAllMarks();
    host_.shareBnStop();
    for (const auto& [fs, fe] : spans) {
        const int32_t s = roundHalfEven(fs);
        const int32_t e = roundHalfEven(fe);
        if (s >= 0 && e >= 0) setMark(s, e);
    }
}

void MarksController::stretchOpenSegment(int32_t position) {
    if (!segs_.lastIsOpen()) return;
    lastSegment_ = segs_.lastIndex();
    checkSegmentWidth(false, position);
}

// ---- marks text ----

void MarksController::playWholeMedia() { host_.media().playMCI(0, 0, false, false, false); }

void MarksController::applyMarksText(const QString& text) {
    if (text.isEmpty()) {
        playWholeMedia();
        return;
    }
    const int32_t total = host_.media().getTotalFrames();
    const auto pairs = items::parseMarksText(text);
    bool beyond = !pairs;
    if (pairs) {
        for (const items::MarkPair& p : *pairs) beyond = beyond || p.start > total;
    }
    if (beyond) {
        // Text the program never writes, or marks of some other media: none of it applies.
        clearAllMarks();
        playWholeMedia();
        return;
    }
    segs_.reset();
    for (size_t i = 0; i < pairs->size(); ++i) {
        const int k = static_cast<int>(i);
        if (k > 0) segs_.append();
        Segment& s = segs_.at(k);
        s.length = (*pairs)[i].end - (*pairs)[i].start;
        s.start = (*pairs)[i].start;
        // Marks from a list or the command line are whole segments, each one to save.
        s.state = SegmentState::Closed;
        segs_.bringToFront(k);
        describe(k);
        s.visible = true;
    }
    lastSegment_ = segs_.lastIndex();
    // A failure is the opener's to report: it tests isSuccess right after this.
    if (startSegmentPlay(SegmentRepeat::Once, 0, true, -1, -1, false, false)) {
        barVisible_ = true;
        menus_.rngEdit = menus_.rngClear = menus_.rngPlay = true;
        updateSaveMenus();
        updateMarksTotal();
    }
    emit changed();
}

QString MarksController::marksText() const { return items::formatMarksText(segs_.pairs()); }

QString MarksController::itemTextWithMarks(bool skipMarks) {
    const QString path = host_.media().FileName();
    if (path.isEmpty() || !segs_.at(0).visible || skipMarks) return path;
    const QString text = marksText();
    if (autoAddMark_) return items::joinItemText(path, text);
    host_.pausePrFn();
    const auto answer =
        prompts::msgBox(attachMarksQuestionText(text), prompts::Buttons::YesNoCancel, kNoticeTitle);
    if (answer == prompts::Answer::Yes) return items::joinItemText(path, text);
    if (answer == prompts::Answer::No) return path;
    return {};
}

}  // namespace marks
