#include "lists/list_ops.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QTime>
#include <QUrl>
#include <algorithm>
#include <numeric>

#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/time_code.h"

namespace lists {

QList<int> caselessOrder(const QStringList& keys) {
    QList<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    // Folding once per key keeps the sort at n log n comparisons of plain strings.
    QStringList folded;
    folded.reserve(keys.size());
    for (const QString& k : keys) folded.append(k.toCaseFolded());
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return folded.at(a) < folded.at(b); });
    return order;
}

void shuffleItems(QStringList& items, std::mt19937& generator) {
    for (qsizetype i = items.size() - 1; i > 0; --i) {
        std::uniform_int_distribution<qsizetype> pick(0, i);
        items.swapItemsAt(i, pick(generator));
    }
}

std::mt19937& listRandom() {
    static std::mt19937 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(),
                           unsigned(QTime::currentTime().msecsSinceStartOfDay())};
        return std::mt19937(seed);
    }();
    return generator;
}

int randomIndex(int n, std::mt19937& generator) {
    if (n < 1) return -1;
    return std::uniform_int_distribution<int>(0, n - 1)(generator);
}

namespace {
QString existingFile(QString path) {
    path = fixDriveLetter(path.trimmed());
    if (path.isEmpty()) return {};
    path = absoluteFromCurrent(path);
    const QFileInfo fi(path);
    return fi.isFile() ? QDir::cleanPath(fi.absoluteFilePath()) : QString();
}
}  // namespace

QStringList droppedFiles(const QMimeData& data) {
    QStringList candidates;
    if (data.hasUrls()) {
        for (const QUrl& u : data.urls())
            if (u.isLocalFile()) candidates.append(u.toLocalFile());
    } else if (data.hasText()) {
        candidates = data.text().split(QStringLiteral("\n"));
    }
    QStringList out;
    for (auto it = candidates.crbegin(); it != candidates.crend(); ++it) {
        QString name = *it;
        name.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        const QString path = existingFile(name);
        if (!path.isEmpty()) out.append(path);
    }
    return out;
}

QString itemToolTip(const QString& path) {
    if (path.isEmpty()) return {};
    if (isUrl(path)) return path;
    const QFileInfo fi(path);
    if (!fi.isFile()) return path + QStringLiteral(" ( 不存在 )");
    return path + QStringLiteral(" ( %1 KB )").arg(ceilSeconds(double(fi.size()) / 1024.0));
}

ListButtons listButtons(int n, int selected) {
    ListButtons b;
    b.oneItem = n >= 1;
    b.manyItems = n >= 2;
    b.moveUp = selected >= 1 && selected < n;
    b.moveDown = selected >= 0 && selected < n - 1;
    return b;
}

int stepIndex(int d, int i, int n) {
    int next;
    if (d == 1) {
        next = i >= n - 1 ? 0 : i + 1;
    } else {
        if (i == 0) i = n;
        next = i - 1;
    }
    return (next >= 0 && next < n) ? next : -1;
}

AdvanceStep advanceStep(ContinueMode state, bool forced, ListPlayMode mode, int n) {
    if (forced) state = ContinueMode::PlayList;
    if (state == ContinueMode::PlayList && n > 0) {
        switch (forced ? ListPlayMode::LoopList : mode) {
            case ListPlayMode::Once:
                return {Advance::Nothing, ContinueMode::None};
            case ListPlayMode::LoopFile:
                return {Advance::Replay, state};
            case ListPlayMode::LoopList:
                return {Advance::Step, state};
            case ListPlayMode::RandomList:
                return {Advance::Random, state};
        }
    }
    return {Advance::Nothing, ContinueMode::None};
}

}  // namespace lists
