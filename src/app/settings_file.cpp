#include "app/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "app/value_text.h"

namespace app {

namespace {

// Twips beyond this are not a window place on any screen; they would overflow pixels.
constexpr double kMaxTwips = 1e7;

// The first count comma-separated fields as numbers; nullopt when there are fewer.
template <size_t N>
std::optional<std::array<double, N>> numberFields(const QString& value) {
    const QStringList fields = value.split(QLatin1Char(','));
    if (fields.size() < qsizetype(N)) return std::nullopt;
    std::array<double, N> out{};
    for (size_t i = 0; i < N; ++i) {
        out[i] = leadingNumber(fields[qsizetype(i)]);
        if (std::fabs(out[i]) > kMaxTwips) return std::nullopt;
    }
    return out;
}

struct Reader {
    SettingsValues& v;
    const SettingsEnvironment& env;
    bool listDirApplied = false;

    QString fix(const QString& path) const {
        return env.fixDriveLetter ? env.fixDriveLetter(path) : path;
    }
    bool exists(const QString& folder) const {
        return !folder.isEmpty() && env.folderExists && env.folderExists(folder);
    }

    void setBool(bool& target, const QString& value) {
        if (const auto b = textToBool(value)) target = *b;
    }

    void apply(const QString& key, const QString& value) {
        if (key == QLatin1String("mainrect=")) {
            const auto r = numberFields<4>(value);
            if (r && (*r)[2] > 0 && (*r)[3] > 0) v.mainRectTwips = r;
        } else if (key == QLatin1String("listrect=")) {
            if (const auto r = numberFields<2>(value)) v.listWindow.rectTwips = r;
        } else if (key == QLatin1String("caprect=")) {
            if (const auto r = numberFields<2>(value))
                v.capRect = {int(std::nearbyint((*r)[0])), int(std::nearbyint((*r)[1]))};
        } else if (key == QLatin1String("keepwh=")) {
            setBool(v.keepWH, value);
        } else if (key == QLatin1String("keepdef=")) {
            setBool(v.keepDef, value);
        } else if (key == QLatin1String("listdir=")) {
            if (exists(value)) {
                v.listWindow.browserFolder = fix(value);
                const int files = env.filesListed ? env.filesListed(value) : 0;
                v.listWindow.browserIndex = files > 0 ? 0 : -1;
                listDirApplied = true;
            }
        } else if (key == QLatin1String("listdiridx=")) {
            if (!listDirApplied) return;
            const int files = env.filesListed ? env.filesListed(v.listWindow.browserFolder) : 0;
            if (const auto n = leadingWhole(value, -1, files - 1)) v.listWindow.browserIndex = *n;
        } else if (key == QLatin1String("savedir=")) {
            if (exists(value)) v.listWindow.saveFolder = fix(value);
        } else if (key == QLatin1String("stepmode=")) {
            const QStringList f = value.split(QLatin1Char(','));
            if (f.size() < 4) return;
            const auto m = leadingWhole(f[0], 0, player::kStepModes - 1);
            // The program itself only ever sets step values from 1 to 100.
            const auto a = leadingWhole(f[1], 1, 100);
            const auto b = leadingWhole(f[2], 1, 100);
            const auto c = leadingWhole(f[3], 1, 100);
            if (!m || !a || !b || !c) return;
            v.stepMode = player::stepModeOf(*m).value_or(player::kDefaultStepMode);
            v.stepValues = {*a, *b, *c};
        } else if (key == QLatin1String("playsetting=")) {
            if (const auto n = leadingWhole(value, 0, 3)) v.playSetting = *n;
        } else if (key == QLatin1String("tolistend=")) {
            setBool(v.toListEnd, value);
        } else if (key == QLatin1String("startlist=")) {
            setBool(v.startList, value);
        } else if (key == QLatin1String("autoaddmark=")) {
            setBool(v.autoAddMark, value);
        } else if (key == QLatin1String("linefmt=")) {
            if (const auto n = leadingWhole(value, 0, 2)) v.lineFmt = *n;
        } else if (key == QLatin1String("donetofn=")) {
            if (const auto n = leadingWhole(value, 0, 1)) v.listWindow.doneToFn = *n;
        } else if (key == QLatin1String("exactcut=")) {
            setBool(v.exactCut, value);
        }
    }
};

}  // namespace

SettingsEnvironment diskEnvironment() {
    SettingsEnvironment env;
    env.folderExists = [](const QString& folder) { return QFileInfo(folder).isDir(); };
    env.filesListed = [](const QString& folder) {
        return int(QDir(folder).entryList(QDir::Files).size());
    };
    return env;
}

void readSettingsLines(const QStringList& lines, SettingsValues& values,
                       const SettingsEnvironment& env) {
    Reader reader{values, env};
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        // A blank before "=" stays part of the key, which then matches nothing.
        reader.apply(line.left(eq + 1).toLower(), line.mid(eq + 1).trimmed());
    }
}

QStringList settingsLines(const SettingsValues& v) {
    auto numbers = [](auto const& arr) {
        QStringList parts;
        for (const auto x : arr) parts << generalNumber(double(x));
        return parts.join(QLatin1Char(','));
    };
    const std::array<double, 4> mainRect = v.mainRectTwips.value_or(
        std::array<double, 4>{0, 0, 370 * kTwipsPerPixel, 370 * kTwipsPerPixel});
    const std::array<double, 2> listRect =
        v.listWindow.rectTwips.value_or(std::array<double, 2>{0, 0});
    const auto& lw = v.listWindow;
    return {
        QStringLiteral("MainRect=") + numbers(mainRect),
        QStringLiteral("ListRect=") + numbers(listRect),
        QStringLiteral("CapRect=") + numbers(v.capRect),
        QStringLiteral("KeepWH=") + boolText(v.keepWH),
        QStringLiteral("KeepDef=") + boolText(v.keepDef),
        QStringLiteral("ListDir=") + lw.browserFolder,
        QStringLiteral("SaveDir=") + lw.saveFolder,
        QStringLiteral("ListDirIdx=") + QString::number(lw.browserIndex),
        QStringLiteral("StepMode=") + QString::number(static_cast<int>(v.stepMode)) +
            QLatin1Char(',') + numbers(v.stepValues),
        QStringLiteral("PlaySetting=") + QString::number(v.playSetting),
        QStringLiteral("ToListEnd=") + boolText(v.toListEnd),
        QStringLiteral("StartList=") + boolText(v.startList),
        QStringLiteral("AutoAddMark=") + boolText(v.autoAddMark),
        QStringLiteral("LineFmt=") + QString::number(v.lineFmt),
        QStringLiteral("DoneToFn=") + QString::number(lw.doneToFn),
        QStringLiteral("ExactCut=") + boolText(v.exactCut),
    };
}

}  // namespace app
