#include "media/mpv_player.h"

#include <malloc.h>
#include <mpv/client.h>
#include <mpv/render.h>

#include <QMargins>
#include <QMetaObject>
#include <algorithm>
#include <clocale>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/video_surface.h"
#include "media/wait_clock.h"

namespace {

void setOption(mpv_handle* h, const char* name, const char* value) {
    mpv_set_option_string(h, name, value);
}

const mpv_node* mapGet(const mpv_node& map, const char* key) {
    if (map.format != MPV_FORMAT_NODE_MAP) return nullptr;
    for (int i = 0; i < map.u.list->num; ++i)
        if (qstrcmp(map.u.list->keys[i], key) == 0) return &map.u.list->values[i];
    return nullptr;
}

QString nodeString(const mpv_node* n) {
    return (n && n->format == MPV_FORMAT_STRING) ? QString::fromUtf8(n->u.string) : QString();
}
bool nodeFlag(const mpv_node* n) { return n && n->format == MPV_FORMAT_FLAG && n->u.flag; }
double nodeDouble(const mpv_node* n) {
    if (!n) return 0;
    if (n->format == MPV_FORMAT_DOUBLE) return n->u.double_;
    if (n->format == MPV_FORMAT_INT64) return static_cast<double>(n->u.int64);
    return 0;
}

// The mpv event loop may stop at a frame slightly before the exact time we aim at.
constexpr double kTimeSlack = 0.0005;

// Ending a handle with video takes about 200 ms inside libmpv (its video output shuts down
// on the core's schedule); that happens on a worker so that closing never stalls the window.
struct Retiring {
    std::thread worker;
    std::shared_ptr<std::atomic<bool>> done;
};
std::mutex retireLock;
std::vector<Retiring>& retiring() {
    static std::vector<Retiring> list;
    return list;
}

// Every handle starts its own demuxer, decoder and output threads, and the next file's start
// overlaps the last one's shutdown, so glibc hands out a fresh malloc arena per thread up to
// eight per core. Each arena keeps the pages its short-lived threads left half used, and a
// long play list ends up holding three times what one file needs. One arena per core is
// enough for the decoders to allocate without waiting on each other. It must be set before
// the process has more than eight arenas (glibc fixes the limit then), so before the first
// handle starts.
void limitMallocArenas() {
    static const bool once = [] {
        const int cores = static_cast<int>(std::thread::hardware_concurrency());
        mallopt(M_ARENA_MAX, std::max(2, cores));
        return true;
    }();
    (void)once;
}

void retire(mpv_render_context* render, mpv_handle* mpv) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([render, mpv, done] {
        if (render) mpv_render_context_free(render);  // before the handle, as libmpv requires
        if (mpv) mpv_terminate_destroy(mpv);
        // What the handle's threads freed stays mapped in their arenas unless handed back.
        malloc_trim(0);
        *done = true;
    });
    std::lock_guard<std::mutex> hold(retireLock);
    retiring().push_back({std::move(worker), done});
}

void joinRetired(bool all) {
    std::vector<Retiring> finished;
    {
        std::lock_guard<std::mutex> hold(retireLock);
        auto& list = retiring();
        for (auto it = list.begin(); it != list.end();) {
            if (all || *it->done) {
                finished.push_back(std::move(*it));
                it = list.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& r : finished) r.worker.join();
}

}  // namespace

MpvPlayer::MpvPlayer(const Config& config, QObject* parent)
    : QObject(parent), surface_(config.surface), config_(config) {}

void MpvPlayer::finishClosing() { joinRetired(true); }
void MpvPlayer::reapClosed() { joinRetired(false); }

MpvPlayer::~MpvPlayer() {
    // No callback may reach this object any more; posted calls die with it.
    if (render_) mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    if (mpv_) mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    if (render_ || mpv_) retire(render_, mpv_);
    render_ = nullptr;
    mpv_ = nullptr;
    if (surface_) surface_->clearVideo();
}

bool MpvPlayer::open(const QString& target, int timeoutMs) {
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    limitMallocArenas();
    mpv_ = mpv_create();
    if (!mpv_) return false;
    setOption(mpv_, "vo", surface_ ? "libmpv" : "null");
    if (config_.nullAudio) setOption(mpv_, "ao", "null");
    setOption(mpv_, "audio-fallback-to-null", "yes");
    setOption(mpv_, "keep-open", "yes");
    setOption(mpv_, "idle", "yes");
    setOption(mpv_, "pause", "yes");
    setOption(mpv_, "input-default-bindings", "no");
    setOption(mpv_, "input-vo-keyboard", "no");
    setOption(mpv_, "osc", "no");
    setOption(mpv_, "audio-display", "no");  // cover art is not video
    setOption(mpv_, "volume-max", "200");
    setOption(mpv_, "hr-seek", "yes");
    // Some demuxers (MPEG program streams) land after a keyframe past the target; starting
    // the demuxer a second early lets the exact seek decode up to the very frame.
    setOption(mpv_, "hr-seek-demuxer-offset", "1");
    setOption(mpv_, "sub-auto", "no");
    setOption(mpv_, "terminal", "no");
    setOption(mpv_, "msg-level", "all=no");
    // libmpv starts its built-in scripts (statistics overlay, console, web-video hook) on
    // every handle, each a thread with its own Lua state, and the player opens one handle per
    // file and uses none of them: without them a file opens in about half the time, with
    // three threads and tens of megabytes less.
    setOption(mpv_, "load-scripts", "no");
    setOption(mpv_, "ytdl", "no");
    setOption(mpv_, "load-stats-overlay", "no");
    setOption(mpv_, "load-osd-console", "no");
    setOption(mpv_, "load-auto-profiles", "no");
    if (mpv_initialize(mpv_) < 0) return false;

    if (surface_) {
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
            {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_create(&render_, mpv_, params) < 0) {
            render_ = nullptr;
            return false;
        }
        mpv_render_context_set_update_callback(
            render_, [](void* ctx) { static_cast<MpvPlayer*>(ctx)->requestRender(); }, this);
    }
    mpv_observe_property(mpv_, 0, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, 0, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv_, 0, "osd-dimensions", MPV_FORMAT_NODE);
    mpv_set_wakeup_callback(
        mpv_,
        [](void* ctx) {
            auto* self = static_cast<MpvPlayer*>(ctx);
            if (!self->eventsPosted_.exchange(true))
                QMetaObject::invokeMethod(self, &MpvPlayer::pollEvents, Qt::QueuedConnection);
        },
        this);

    const QByteArray path = target.toUtf8();
    const char* cmd[] = {"loadfile", path.constData(), nullptr};
    if (mpv_command(mpv_, cmd) < 0) return false;

    // Opening answers like a synchronous command: wait for the load or its failure.
    WaitClock clock;
    while (!loaded_ && !ended_ && waitEvent(clock, timeoutMs)) {
    }
    if (!loaded_ || ended_) return false;
    readTracks();
    if (!hasVideo_ && !hasAudio_) return false;
    if (hasVideo_) {
        // Frames count from the first picture, which may start a little after the sound.
        const qint64 firstFrameBy = std::min<qint64>(timeoutMs, clock.used() + 2000);
        while (!restarted_ && !ended_ && waitEvent(clock, firstFrameBy)) {
        }
        const double first = getDouble("time-pos", 0);
        if (first > 0 && first < 5 && first < duration_) {
            origin_ = first;
            duration_ -= first;
        }
    }
    mode_ = Mode::Stopped;
    if (hasVideo_) destination_ = QRect(QPoint(0, 0), sourceSize());
    if (surface_) surface_->setVideoRect(destination_);
    return true;
}

// One step of a synchronous wait: handles an event or renders a frame the video output is
// waiting for (nobody else can while this thread waits). False once the clock has used
// untilMs. Short slices: a stretch in which the process did not run costs at most one.
bool MpvPlayer::waitEvent(WaitClock& clock, qint64 untilMs) {
    const qint64 leftMs = untilMs - clock.used();
    if (leftMs <= 0) return false;
    if (renderPosted_) render(false);
    const qint64 slice = std::min<qint64>(leftMs, render_ ? 5 : 50);
    mpv_event* e = clock.timed(slice, [this](qint64 ms) {
        return mpv_wait_event(mpv_, static_cast<double>(ms) / 1000.0);
    });
    if (e->event_id != MPV_EVENT_NONE) handleEvent(*e);
    return true;
}

void MpvPlayer::readTracks() {
    mpv_node list;
    if (mpv_get_property(mpv_, "track-list", MPV_FORMAT_NODE, &list) >= 0) {
        if (list.format == MPV_FORMAT_NODE_ARRAY) {
            for (int i = 0; i < list.u.list->num; ++i) {
                const mpv_node& t = list.u.list->values[i];
                const QString type = nodeString(mapGet(t, "type"));
                if (type == QLatin1String("audio")) hasAudio_ = true;
                if (type == QLatin1String("video") && !nodeFlag(mapGet(t, "albumart")) &&
                    !hasVideo_) {
                    hasVideo_ = true;
                    demuxSize_ = QSize(static_cast<int>(nodeDouble(mapGet(t, "demux-w"))),
                                       static_cast<int>(nodeDouble(mapGet(t, "demux-h"))));
                    fps_ = nodeDouble(mapGet(t, "demux-fps"));
                }
            }
        }
        mpv_free_node_contents(&list);
    }
    duration_ = getDouble("duration", 0);  // origin_ is taken off once it is known
    if (hasVideo_) {
        // Fixed now and never re-estimated, so that positions kept as frames stay put.
        const double container = getDouble("container-fps", 0);
        if (container > 0) fps_ = container;
        if (fps_ <= 0) fps_ = getDouble("estimated-vf-fps", 0);
        if (fps_ <= 0) fps_ = 25;
    } else {
        fps_ = 0;
    }
    mpv_node chapters;
    if (mpv_get_property(mpv_, "chapter-list", MPV_FORMAT_NODE, &chapters) >= 0) {
        if (chapters.format == MPV_FORMAT_NODE_ARRAY)
            for (int i = 0; i < chapters.u.list->num; ++i)
                chapters_.append(nodeDouble(mapGet(chapters.u.list->values[i], "time")) - origin_);
        mpv_free_node_contents(&chapters);
    }
}

QVector<MediaTrack> MpvPlayer::trackList() {
    QVector<MediaTrack> tracks;
    mpv_node list;
    if (!mpv_ || mpv_get_property(mpv_, "track-list", MPV_FORMAT_NODE, &list) < 0) return tracks;
    if (list.format == MPV_FORMAT_NODE_ARRAY) {
        for (int i = 0; i < list.u.list->num; ++i) {
            const mpv_node& n = list.u.list->values[i];
            const QString type = nodeString(mapGet(n, "type"));
            MediaTrack t;
            t.kind = type == QLatin1String("video")   ? MediaTrack::Kind::Video
                     : type == QLatin1String("audio") ? MediaTrack::Kind::Audio
                                                      : MediaTrack::Kind::Other;
            t.codec = nodeString(mapGet(n, "codec"));
            t.albumArt = nodeFlag(mapGet(n, "albumart"));
            t.width = static_cast<int>(nodeDouble(mapGet(n, "demux-w")));
            t.height = static_cast<int>(nodeDouble(mapGet(n, "demux-h")));
            t.fps = nodeDouble(mapGet(n, "demux-fps"));
            t.sampleRate = static_cast<int>(nodeDouble(mapGet(n, "demux-samplerate")));
            t.channels = static_cast<int>(nodeDouble(mapGet(n, "demux-channel-count")));
            tracks.append(t);
        }
    }
    mpv_free_node_contents(&list);
    return tracks;
}

double MpvPlayer::getDouble(const char* name, double fallback) {
    double v = 0;
    if (!mpv_ || mpv_get_property(mpv_, name, MPV_FORMAT_DOUBLE, &v) < 0) return fallback;
    return v;
}

QSize MpvPlayer::sourceSize() {
    if (!hasVideo_) return {};
    int64_t w = 0, h = 0;
    if (mpv_get_property(mpv_, "dwidth", MPV_FORMAT_INT64, &w) >= 0 &&
        mpv_get_property(mpv_, "dheight", MPV_FORMAT_INT64, &h) >= 0 && w > 0 && h > 0)
        return QSize(static_cast<int>(w), static_cast<int>(h));
    return demuxSize_;
}

void MpvPlayer::pollEvents() {
    eventsPosted_ = false;
    if (!mpv_) return;
    for (;;) {
        mpv_event* e = mpv_wait_event(mpv_, 0);
        if (e->event_id == MPV_EVENT_NONE) break;
        handleEvent(*e);
    }
    checkStop();
}

void MpvPlayer::handleEvent(const mpv_event& e) {
    switch (e.event_id) {
        case MPV_EVENT_FILE_LOADED:
            loaded_ = true;
            break;
        case MPV_EVENT_END_FILE:
            // One handle opens one file, so every end-file is about it.
            ended_ = true;
            seekTarget_.reset();
            if (loaded_ && mode_ != Mode::NotReady) mode_ = Mode::Stopped;
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            restarted_ = true;
            seekTarget_.reset();
            break;
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* p = static_cast<const mpv_event_property*>(e.data);
            if (qstrcmp(p->name, "osd-dimensions") == 0 && p->format == MPV_FORMAT_NODE) {
                const auto* n = static_cast<const mpv_node*>(p->data);
                margins_ = QMargins(static_cast<int>(nodeDouble(mapGet(*n, "ml"))),
                                    static_cast<int>(nodeDouble(mapGet(*n, "mt"))),
                                    static_cast<int>(nodeDouble(mapGet(*n, "mr"))),
                                    static_cast<int>(nodeDouble(mapGet(*n, "mb"))));
                // They may come after the picture they belong to; a paused picture shows no
                // later frame that would carry them.
                if (surface_) surface_->setVideoMargins(margins_);
            }
            break;
        }
        default:
            break;
    }
}

// A play that reaches its end point (or the end of the file) stops there, or starts again.
void MpvPlayer::checkStop() {
    if (mode_ != Mode::Playing || seekTarget_ || !mpv_) return;
    int eof = 0;
    mpv_get_property(mpv_, "eof-reached", MPV_FORMAT_FLAG, &eof);
    const double pos = getDouble("time-pos", 0) - origin_;
    const bool atTo = playTo_ && pos + kTimeSlack >= *playTo_;
    if (!atTo && !eof && !ended_) return;
    if (repeat_ && !ended_) {
        seekExact(playFrom_.value_or(0));
        setPause(false);
        return;
    }
    setPause(true);
    if (atTo) seekExact(*playTo_);
    mode_ = Mode::Stopped;
    playTo_.reset();
}

void MpvPlayer::seekExact(double seconds) {
    if (seconds < 0) seconds = 0;
    if (duration_ > 0 && seconds > duration_) seconds = duration_;
    // A hair early, so that rounding never skips the frame that starts exactly there.
    const double mpvTime = std::max(0.0, seconds + origin_ - 0.001);
    const QByteArray s = QByteArray::number(mpvTime, 'f', 6);
    const char* cmd[] = {"seek", s.constData(), "absolute+exact", nullptr};
    if (mpv_command(mpv_, cmd) >= 0) seekTarget_ = seconds;
}

void MpvPlayer::setPause(bool paused) {
    int flag = paused ? 1 : 0;
    mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag);
}

MpvPlayer::Mode MpvPlayer::mode() {
    pollEvents();
    return mode_;
}

double MpvPlayer::position() {
    pollEvents();
    if (seekTarget_) return *seekTarget_;
    double pos = getDouble("time-pos", 0) - origin_;
    if (pos < 0) pos = 0;
    if (duration_ > 0 && pos > duration_) pos = duration_;
    return pos;
}

void MpvPlayer::play(std::optional<double> from, std::optional<double> to, bool repeat) {
    pollEvents();
    playFrom_ = from;
    playTo_ = to;
    repeat_ = repeat;
    if (from) {
        seekExact(*from);
    } else {
        int eof = 0;
        mpv_get_property(mpv_, "eof-reached", MPV_FORMAT_FLAG, &eof);
        if (eof && !repeat) {
            // Nothing left to play: the device stays stopped at the end.
            mode_ = Mode::Stopped;
            return;
        }
        if (eof) seekExact(0);
    }
    setPause(false);
    mode_ = Mode::Playing;
}

void MpvPlayer::pause() {
    pollEvents();
    setPause(true);
    mode_ = Mode::Paused;
}

void MpvPlayer::resume() {
    pollEvents();
    if (mode_ == Mode::Playing) return;
    setPause(false);
    mode_ = Mode::Playing;
    checkStop();
}

void MpvPlayer::stop() {
    pollEvents();
    setPause(true);
    playTo_.reset();
    mode_ = Mode::Stopped;
}

void MpvPlayer::seek(double seconds) {
    pollEvents();
    setPause(true);
    playTo_.reset();
    seekExact(seconds);
    mode_ = Mode::Stopped;
}

void MpvPlayer::step(double seconds) {
    const double target = position() + seconds;
    setPause(true);
    seekExact(target);
    mode_ = Mode::Paused;
}

bool MpvPlayer::setAudioOn(bool on) {
    if (!hasAudio_) return false;
    int mute = on ? 0 : 1;
    return mpv_set_property(mpv_, "mute", MPV_FORMAT_FLAG, &mute) >= 0;
}

bool MpvPlayer::audioOn() {
    int mute = 0;
    mpv_get_property(mpv_, "mute", MPV_FORMAT_FLAG, &mute);
    return hasAudio_ && !mute;
}

void MpvPlayer::setSpeed(double factor) {
    mpv_set_property(mpv_, "speed", MPV_FORMAT_DOUBLE, &factor);
}

double MpvPlayer::speed() { return getDouble("speed", 1); }

void MpvPlayer::setVolume(double percent) {
    mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &percent);
}

bool MpvPlayer::put(const QRect& rect) {
    if (!hasVideo_) return false;
    destination_ = rect;
    if (surface_) {
        // mpv letterboxes by itself unless told otherwise; a stretched view fills the rect.
        const bool stretch = surface_->stretch();
        if (stretch != stretched_) {
            mpv_set_property_string(mpv_, "keepaspect", stretch ? "no" : "yes");
            stretched_ = stretch;
        }
        surface_->setVideoRect(rect);
        render(true);
    }
    return true;
}

void MpvPlayer::requestRender() {
    if (!renderPosted_.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { render(false); }, Qt::QueuedConnection);
}

void MpvPlayer::render(bool force) {
    renderPosted_ = false;
    if (!render_) return;
    const uint64_t flags = mpv_render_context_update(render_);
    if (!force && !(flags & MPV_RENDER_UPDATE_FRAME)) return;
    // Every frame must be rendered, even into nothing, or mpv's video output waits for it.
    QSize size = destination_.size();
    QImage scratch;
    QImage* target = nullptr;
    if (surface_ && !size.isEmpty()) {
        target = &surface_->frameBuffer(size);
    } else {
        scratch = QImage(16, 16, QImage::Format_RGB32);
        target = &scratch;
        size = scratch.size();
    }
    if (target->isNull()) return;
    int sz[2] = {size.width(), size.height()};
    size_t stride = static_cast<size_t>(target->bytesPerLine());
    int noBlock = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, sz},
                                 {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, target->bits()},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &noBlock},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(render_, params) < 0) return;
    if (target != &scratch && surface_) {
        pollEvents();  // picks up the osd-dimensions of this size
        surface_->presentFrame(margins_);
    }
}
