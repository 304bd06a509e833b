#include "app/tool_pages.h"

#include "lists/frm_list.h"
#include "lists/list_box.h"
#include "player/frm_main.h"
#include "player/media_opener.h"
#include "tools/encode/encode_page.h"
#include "tools/fix/fix_page.h"
#include "tools/join/join_page.h"
#include "tools/measure/measure_panel.h"
#include "tools/snapshot/snapshot_page.h"
#include "tools/split/split_page.h"
#include "tools/tool_page.h"

namespace app {

using lists::Area;

ToolPages::ToolPages(frmMain& window, lists::frmList& list) : list_(list) {
    tools::PageContext ctx;
    ctx.editFilter = [&window] { return window.EditFilter(); };
    ctx.openFilter = [&window] { return window.OpenFilter(); };
    ctx.playSingle = [&window](const QString& path) {
        window.opener().playSingle(path, player::PlayRequest::User);
    };

    join::JoinListAccess joinList;
    joinList.paths = [&list] { return list.joinList().model().items(); };
    joinList.select = [&list](int i) { list.joinList().select(i); };
    auto* join = new join::JoinPage(ctx, joinList);
    join->insertList(&list.joinList().box());
    add(Area::JoinList, join);

    // Split and snapshot share one measuring panel; the page shown holds it.
    measure::MeasureContext measuring;
    measuring.editFilter = ctx.editFilter;
    measuring.playErrorMsg = [&window](const QString& path, const QString& lead) {
        window.opener().playErrorMsg(path, lead);
    };
    auto* panel = new measure::MeasurePanel(measuring);
    add(Area::Split, new split::SplitPage(ctx, panel));
    add(Area::Snapshot, new snapshot::SnapshotPage(ctx, panel));

    add(Area::Fix, new fix::FixPage(ctx));
    for (encode::Panel p : encode::kPanels)
        add(static_cast<Area>(encode::areaNumber(p)), new encode::EncodePage(p, ctx));

    connect(&list, &lists::frmList::areaShown, this, [this](Area a) {
        if (tools::ToolPage* p = page(a)) p->prepareFields();
    });
    connect(&list, &lists::frmList::playSourceRequested, this, [this, &window](Area a) {
        tools::ToolPage* p = page(a);
        const QString path = p ? p->sourcePath() : QString();
        if (!path.isEmpty()) window.opener().playSingle(path, player::PlayRequest::User);
    });
}

void ToolPages::add(Area a, tools::ToolPage* page) {
    list_.registerArea(a, page);
    pages_[a] = page;
}

tools::ToolPage* ToolPages::page(Area a) const {
    const auto it = pages_.find(a);
    return it == pages_.end() ? nullptr : it->second;
}

}  // namespace app
