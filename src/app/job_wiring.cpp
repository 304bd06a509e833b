#include "app/job_wiring.h"

#include "app/list_wiring.h"
#include "player/capture/frm_cap.h"
#include "player/frm_main.h"
#include "player/marks/marks_actions.h"
#include "player/marks/marks_controller.h"
#include "player/playback_controller.h"
#include "tools/done_report.h"
#include "tools/save_segments.h"
#include "tools/split/split_names.h"

namespace app {

PlayerToolHost::PlayerToolHost(frmMain& window) : w_(window) {
    tools::installToolHost(this);
    w_.capture().doneAfterSave = [](const QString& path) {
        tools::doneAfterSave(path, false, 0, false);
    };
}

PlayerToolHost::~PlayerToolHost() { tools::installToolHost(nullptr); }

QWidget* PlayerToolHost::mainWindow() { return &w_; }

void PlayerToolHost::pausePrFn() { w_.playback().pausePrFn(); }

QWidget* PlayerToolHost::listWindow() { return lists_ ? &lists_->window() : nullptr; }

bool PlayerToolHost::doneToFileList() { return lists_ && lists_->browser().doneToFn(); }

bool PlayerToolHost::exactCut() { return w_.marks().exactCut(); }

void PlayerToolHost::selectInFileBrowser(const QString& path) {
    if (!lists_) return;
    lists_->window().showOn(lists::Area::FileBrowser);
    lists_->browser().showFile(path);
}

SaveWiring::SaveWiring(frmMain& window) {
    marks::MarksController& marks = window.marks();
    host_.closeOpen = [&marks] {
        if (marks.lastIsOpen()) marks.markEnd();
    };
    host_.source = [&window] { return window.media().FileName(); };
    host_.marks = [&marks] {
        std::vector<save::UnitSegment> out;
        const marks::SegmentList& list = marks.segments();
        for (int i = 0; i < list.count(); ++i)
            if (list.at(i).state == marks::SegmentState::Closed)
                out.push_back({list.at(i).start, list.at(i).length});
        return out;
    };
    host_.unitSeconds = [&window] { return double(window.state().secondsPerUnit()); };
    host_.length = [&window] { return window.state().totalSeconds(); };
    host_.audioOnly = [&window] { return window.media().isAudioOnly(); };
    host_.pause = [&window] { window.playback().pausePrFn(); };
    host_.owner = &window;
    QObject::connect(
        &window.marksActions(), &marks::MarksActions::saveRngRequested, &window,
        [this] { save::saveMarkedSegments(host_, save::Mode::Cut, split::pieceNames()); });
    QObject::connect(
        &window.marksActions(), &marks::MarksActions::saveCutRequested, &window,
        [this] { save::saveMarkedSegments(host_, save::Mode::Split, split::pieceNames()); });
}

}  // namespace app
