#include "lists/areas.h"

namespace lists {

std::optional<Area> areaOf(int tab, int page) {
    static constexpr Area all[] = {Area::PlayList1,   Area::PlayList2,  Area::MarksList,
                                   Area::FileBrowser, Area::JoinList,   Area::Split,
                                   Area::Snapshot,    Area::Fix,        Area::FlvToVideo,
                                   Area::VideoToFlv,  Area::FlvToMusic, Area::MusicToFlv};
    for (Area a : all)
        if (areaNumber(a) == tab * 10 + page && page >= 0 && page <= 9) return a;
    return std::nullopt;
}

int stripIndexOfAreaTab(int tab) {
    for (int i = 0; i < kStripTabs; ++i)
        if (kAreaTabOfStrip[size_t(i)] == tab) return i;
    return -1;
}

int pageCount(int stripIndex) { return (stripIndex == 3 || stripIndex == 4) ? 1 : 2; }

QString tabCaption(int stripIndex) {
    static const char* const captions[kStripTabs] = {
        "播放清單", "標記清單", "合併、切割", "截圖", "修復", "FLV <-> 影片", "FLV <-> 音樂"};
    return (stripIndex >= 0 && stripIndex < kStripTabs) ? QString::fromUtf8(captions[stripIndex])
                                                        : QString();
}

QString switchItemCaption(int stripIndex) {
    static const char* const captions[kStripTabs] = {
        "第一區／播放清單", "第二區／標記清單",        "第三區／合併、切割功能", "第四區／截圖功能",
        "第五區／修復功能", "第六區／FLV <----> 影片", "第七區／FLV <----> 音樂"};
    return (stripIndex >= 0 && stripIndex < kStripTabs) ? QString::fromUtf8(captions[stripIndex])
                                                        : QString();
}

QStringList pageSwitchCaptions(int stripIndex) {
    switch (stripIndex) {
        case 0:
            return {QStringLiteral("播放清單一"), QStringLiteral("播放清單二")};
        case 1:
            return {QStringLiteral("標記清單"), QStringLiteral("檔案列表")};
        case 2:
            return {QStringLiteral("合併清單"), QStringLiteral("切割功能")};
        case 5:
            return {QStringLiteral("FLV → 影片"), QStringLiteral("影片 → FLV")};
        case 6:
            return {QStringLiteral("FLV → 音樂"), QStringLiteral("音樂 → FLV")};
        default:
            return {};
    }
}

QString areaHint(Area a) {
    const auto afterSteps = [](const char* run) {
        return QStringLiteral("按照步驟輸入參數之後，「") + QString::fromUtf8(run) +
               QStringLiteral("」便可以按下");
    };
    switch (a) {
        case Area::PlayList1:
        case Area::PlayList2:
        case Area::JoinList:
            return QStringLiteral("用滑鼠雙擊清單的指定項目，便可以播放該檔案");
        case Area::MarksList:
            return QStringLiteral("用滑鼠雙擊清單的指定項目，便可以播放該標記區段");
        case Area::FileBrowser:
            return QStringLiteral("用滑鼠雙擊列表的指定項目，便可以播放該檔案");
        case Area::Split:
            return afterSteps("執行切割功能");
        case Area::Snapshot:
            return afterSteps("執行截圖功能");
        case Area::Fix:
            return afterSteps("執行修復功能");
        case Area::FlvToVideo:
        case Area::VideoToFlv:
        case Area::FlvToMusic:
        case Area::MusicToFlv:
            return afterSteps("執行轉檔功能");
    }
    return {};
}

QString playItemCaption(Area a) {
    if (a == Area::MusicToFlv) return QStringLiteral("播放來源音樂");
    if (isConversionArea(a)) return QStringLiteral("播放來源影片");
    return QStringLiteral("播放指定影片");
}

bool isPlayListArea(Area a) { return a == Area::PlayList1 || a == Area::PlayList2; }

bool isConversionArea(Area a) {
    return a == Area::FlvToVideo || a == Area::VideoToFlv || a == Area::FlvToMusic ||
           a == Area::MusicToFlv;
}

}  // namespace lists
