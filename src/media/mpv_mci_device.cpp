#include "media/mpv_mci_device.h"

#include <QFileInfo>
#include <cmath>
#include <cstdio>

#include "media/alsa_volume_backend.h"
#include "media/mci_command.h"
#include "media/mci_text.h"
#include "media/mpv_player.h"
#include "media/video_surface.h"

struct MpvMciDevice::Device {
    std::unique_ptr<MpvPlayer> player;
    bool cd = false;
    bool ms = false;  // time format milliseconds (always for a CD)

    // Position units per second in the current time format.
    double unitsPerSecond() const {
        if (ms || cd || !player->hasVideo()) return 1000.0;
        return player->frameRate();
    }
    QString units(double seconds) const {
        return QString::number(mcitext::roundHalfEven(seconds * unitsPerSecond()));
    }
    double seconds(long long units) const { return static_cast<double>(units) / unitsPerSecond(); }
};

namespace {

QString modeWord(MpvPlayer::Mode m) {
    switch (m) {
        case MpvPlayer::Mode::Playing:
            return QStringLiteral("playing");
        case MpvPlayer::Mode::Paused:
            return QStringLiteral("paused");
        case MpvPlayer::Mode::Stopped:
            return QStringLiteral("stopped");
        case MpvPlayer::Mode::Seeking:
            return QStringLiteral("seeking");
        case MpvPlayer::Mode::NotReady:
            break;
    }
    return QStringLiteral("not ready");
}

bool envHeadless() { return qEnvironmentVariableIntValue("LUMBA_HEADLESS") == 1; }

}  // namespace

MpvMciDevice::MpvMciDevice() : MpvMciDevice(Options{envHeadless(), 10000}) {}

MpvMciDevice::MpvMciDevice(const Options& options) : options_(options) { silenceAlsaErrors(); }

MpvMciDevice::~MpvMciDevice() {
    devices_.clear();
    MpvPlayer::finishClosing();
}

MpvPlayer* MpvMciDevice::player(const QString& alias) const {
    auto it = devices_.find(aliasKey(alias));
    return it == devices_.end() ? nullptr : it->second->player.get();
}

int MpvMciDevice::send(const QString& command, QString* reply) {
    // LUMBA_MCI_TRACE=1 writes every command with its result to standard error.
    static const bool trace = qEnvironmentVariableIntValue("LUMBA_MCI_TRACE") == 1;
    const int rc = execute(command, reply);
    if (trace)
        std::fprintf(stderr, "mci: %s -> %d %s\n", qPrintable(command), rc,
                     reply ? qPrintable(QLatin1Char('"') + *reply + QLatin1Char('"')) : "");
    return rc;
}

int MpvMciDevice::execute(const QString& command, QString* reply) {
    if (reply) reply->clear();
    const MciCommand c = parseMciCommand(command);
    if (c.verb.isEmpty()) return mcierr::kUnrecognizedCommand;
    if (c.verb == QLatin1String("open")) return open(c);
    if (c.verb == QLatin1String("close") && aliasKey(c.device) == QLatin1String("all")) {
        devices_.clear();
        return 0;
    }
    MpvPlayer::reapClosed();
    auto it = devices_.find(aliasKey(c.device));
    if (it == devices_.end())
        return c.device.isEmpty() ? mcierr::kMissingParameter : mcierr::kInvalidDeviceName;
    Device& d = *it->second;
    MpvPlayer& p = *d.player;

    if (c.verb == QLatin1String("close")) {
        devices_.erase(it);
        return 0;
    }
    if (c.verb == QLatin1String("play")) return play(d, c);
    if (c.verb == QLatin1String("pause")) {
        p.pause();
        return 0;
    }
    if (c.verb == QLatin1String("resume")) {
        p.resume();
        return 0;
    }
    if (c.verb == QLatin1String("stop")) {
        p.stop();
        return 0;
    }
    if (c.verb == QLatin1String("seek")) return seek(d, c);
    if (c.verb == QLatin1String("step")) {
        const auto n = c.numberAfter(QStringLiteral("by"));
        if (c.has(QStringLiteral("by")) && !n) return mcierr::kMissingParameter;
        p.step(d.seconds(n.value_or(1)));
        return 0;
    }
    if (c.verb == QLatin1String("set")) return set(d, c);
    if (c.verb == QLatin1String("setaudio")) {
        const auto v = c.numberAfter(QStringLiteral("to"));
        if (!c.has(QStringLiteral("volume")) || !v) return mcierr::kMissingParameter;
        if (*v < 0 || *v > 1000) return mcierr::kOutOfRange;
        p.setVolume(static_cast<double>(*v) / 5.0);  // 500 -> 100 %, the file's own level
        return 0;
    }
    if (c.verb == QLatin1String("status")) return status(d, c, reply);
    if (c.verb == QLatin1String("where")) return where(d, c, reply);
    if (c.verb == QLatin1String("put")) return put(d, c);
    return mcierr::kUnrecognizedCommand;
}

int MpvMciDevice::open(const MciCommand& c) {
    if (c.device.isEmpty()) return mcierr::kMissingParameter;
    const QString type = c.valueAfter(QStringLiteral("type"));
    QString alias = c.valueAfter(QStringLiteral("alias"));
    if (alias.isEmpty()) alias = c.device;
    if (devices_.count(aliasKey(alias))) return mcierr::kDuplicateAlias;

    auto d = std::make_unique<Device>();
    d->cd = type == QLatin1String("cdaudio");
    QString target;
    if (d->cd) {
        // The disc as a whole, one chapter per track; positions run from the start of the disc.
        target = QStringLiteral("cdda://");
    } else {
        // A folder would make mpv play its contents as a list: only files (and addresses).
        if (!c.device.contains(QLatin1String("://")) && !QFileInfo(c.device).isFile())
            return mcierr::kFileNotFound;
        target = c.device;
    }
    MpvPlayer::Config config;
    config.nullAudio = options_.headless;
    if (const auto parent = c.numberAfter(QStringLiteral("parent")))
        config.surface = VideoSurface::find(static_cast<int32_t>(*parent));
    d->player = std::make_unique<MpvPlayer>(config);
    if (!d->player->open(target, options_.openTimeoutMs)) return mcierr::kInvalidFile;
    d->ms = d->cd;
    devices_[aliasKey(alias)] = std::move(d);
    return 0;
}

int MpvMciDevice::play(Device& d, const MciCommand& c) {
    std::optional<double> from, to;
    const double length = d.player->duration();
    if (c.has(QStringLiteral("from"))) {
        const auto n = c.numberAfter(QStringLiteral("from"));
        if (!n) return mcierr::kMissingParameter;
        from = std::clamp(d.seconds(*n), 0.0, length > 0 ? length : 1e12);
    }
    if (c.has(QStringLiteral("to"))) {
        const auto n = c.numberAfter(QStringLiteral("to"));
        if (!n) return mcierr::kMissingParameter;
        to = std::max(0.0, d.seconds(*n));
        if (length > 0 && *to >= length) to.reset();  // to the end: the end of file stops it
    }
    if (from && to && *to < *from) return mcierr::kOutOfRange;
    d.player->play(from, to, c.has(QStringLiteral("repeat")));
    return 0;
}

int MpvMciDevice::seek(Device& d, const MciCommand& c) {
    const QString where = c.valueAfter(QStringLiteral("to"));
    if (where.isEmpty()) return mcierr::kMissingParameter;
    if (where == QLatin1String("start")) {
        d.player->seek(0);
    } else if (where == QLatin1String("end")) {
        d.player->seek(d.player->duration());
    } else {
        const auto n = c.numberAfter(QStringLiteral("to"));
        if (!n) return mcierr::kMissingParameter;
        d.player->seek(d.seconds(*n));
    }
    return 0;
}

int MpvMciDevice::set(Device& d, const MciCommand& c) {
    if (c.has(QStringLiteral("time"))) {
        const QString f = c.valueAfter(QStringLiteral("format"));
        if (f == QLatin1String("ms") || f == QLatin1String("milliseconds")) {
            d.ms = true;
        } else if (f == QLatin1String("frames") && !d.cd) {
            d.ms = false;
        } else {
            return mcierr::kBadTimeFormat;
        }
        return 0;
    }
    if (c.has(QStringLiteral("audio"))) {
        const bool on = c.has(QStringLiteral("on"));
        if (!on && !c.has(QStringLiteral("off"))) return mcierr::kMissingParameter;
        return d.player->setAudioOn(on) ? 0 : mcierr::kUnsupportedFunction;
    }
    if (c.has(QStringLiteral("speed"))) {
        const auto n = c.numberAfter(QStringLiteral("speed"));
        if (!n) return mcierr::kMissingParameter;
        if (*n < 10 || *n > 100000) return mcierr::kOutOfRange;
        d.player->setSpeed(static_cast<double>(*n) / 1000.0);
        return 0;
    }
    return mcierr::kUnrecognizedKeyword;
}

int MpvMciDevice::status(Device& d, const MciCommand& c, QString* reply) {
    MpvPlayer& p = *d.player;
    QString answer;
    const QString item = c.words.value(0);
    if (item == QLatin1String("mode")) {
        answer = modeWord(p.mode());
    } else if (item == QLatin1String("position") || item == QLatin1String("length")) {
        if (c.has(QStringLiteral("track"))) {
            const auto n = c.numberAfter(QStringLiteral("track"));
            const QVector<double> starts = p.chapterStarts();
            if (!n || *n < 1 || *n > starts.size()) return mcierr::kOutOfRange;
            const qsizetype i = static_cast<qsizetype>(*n - 1);
            const double start = starts[i];
            const double end = i + 1 < starts.size() ? starts[i + 1] : p.duration();
            answer = d.units(item == QLatin1String("position") ? start : end - start);
        } else {
            answer = d.units(item == QLatin1String("position") ? p.position() : p.duration());
        }
    } else if (item == QLatin1String("frame")) {
        // Frames per second times 1000; a file without video counts milliseconds.
        const double fps = p.hasVideo() ? p.frameRate() : 1000.0;
        answer = QString::number(mcitext::roundHalfEven(fps * 1000.0));
    } else if (item == QLatin1String("speed")) {
        answer = QString::number(mcitext::roundHalfEven(p.speed() * 1000.0));
    } else if (item == QLatin1String("audio")) {
        answer = p.audioOn() ? QStringLiteral("on") : QStringLiteral("off");
    } else if (item == QLatin1String("time")) {
        answer = d.ms ? QStringLiteral("milliseconds") : QStringLiteral("frames");
    } else if (item == QLatin1String("ready")) {
        answer = QStringLiteral("true");
    } else if (item == QLatin1String("number")) {
        answer = QString::number(p.chapterStarts().size());
    } else {
        return mcierr::kUnrecognizedKeyword;
    }
    if (reply) *reply = answer.left(128);
    return 0;
}

int MpvMciDevice::where(Device& d, const MciCommand& c, QString* reply) {
    MpvPlayer& p = *d.player;
    if (!p.hasVideo()) return mcierr::kNoWindow;
    QRect r;
    const QString item = c.words.value(0);
    if (item == QLatin1String("source")) {
        r = QRect(QPoint(0, 0), p.sourceSize());
    } else if (item == QLatin1String("destination")) {
        r = p.destination();
    } else {
        return mcierr::kUnrecognizedKeyword;
    }
    if (reply)
        *reply = QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    return 0;
}

int MpvMciDevice::put(Device& d, const MciCommand& c) {
    const qsizetype at = c.find(QStringLiteral("at"));
    if (!c.has(QStringLiteral("window")) || at < 0) return mcierr::kMissingParameter;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = c.words.value(at + 1 + i).toInt(&ok);
        if (!ok) return mcierr::kMissingParameter;
    }
    if (v[2] < 0 || v[3] < 0) return mcierr::kOutOfRange;
    return d.player->put(QRect(v[0], v[1], v[2], v[3])) ? 0 : mcierr::kNoWindow;
}
