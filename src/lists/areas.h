#pragma once
// The work areas of the list window: number = tab * 10 + sub-page, the tab strip's order of
// the area tabs, and the texts that go with each area.
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace lists {

enum class Area {
    PlayList1 = 0,
    PlayList2 = 1,
    MarksList = 10,
    FileBrowser = 11,
    JoinList = 20,
    Split = 21,
    Snapshot = 30,
    Fix = 40,
    FlvToVideo = 60,
    VideoToFlv = 61,
    FlvToMusic = 70,
    MusicToFlv = 71,
};

inline constexpr int kStripTabs = 7;
// The area tab (the tens of the area number) of each strip index: tab 5 has no area.
inline constexpr std::array<int, kStripTabs> kAreaTabOfStrip{0, 1, 2, 3, 4, 6, 7};

inline int areaNumber(Area a) { return static_cast<int>(a); }
// The area of an area tab and sub-page; nullopt for a combination that does not exist.
std::optional<Area> areaOf(int areaTab, int page);
inline int areaTab(Area a) { return areaNumber(a) / 10; }
inline int areaPage(Area a) { return areaNumber(a) % 10; }
// The strip index of an area tab, -1 for none.
int stripIndexOfAreaTab(int areaTab);
// 1 or 2.
int pageCount(int stripIndex);

// The strip's caption of a tab and the caption of mnuSwithItem(stripIndex).
QString tabCaption(int stripIndex);
QString switchItemCaption(int stripIndex);
// The two captions of a tab's sub-page switch (empty for a tab of one page).
QStringList pageSwitchCaptions(int stripIndex);

// lblNote's text in an area.
QString areaHint(Area a);
// The caption of the pop-up menu's play item in an area.
QString playItemCaption(Area a);

bool isPlayListArea(Area a);
bool isConversionArea(Area a);

}  // namespace lists
