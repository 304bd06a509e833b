#pragma once
// One libmpv handle: a loaded file (or disc) and its play state as the command-string
// device reports it. All calls come from the Qt thread; mpv's callbacks only post queued
// calls back to it. Times are in seconds.
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <atomic>
#include <optional>

#include "media/media_tracks.h"

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;
class VideoSurface;
class WaitClock;

class MpvPlayer : public QObject {
    Q_OBJECT
  public:
    enum class Mode { NotReady, Stopped, Playing, Paused, Seeking };

    struct Config {
        bool nullAudio = false;           // ao=null (tests, machines without sound)
        VideoSurface* surface = nullptr;  // draw the video here; nullptr: vo=null
    };

    explicit MpvPlayer(const Config& config, QObject* parent = nullptr);
    ~MpvPlayer() override;
    MpvPlayer(const MpvPlayer&) = delete;
    MpvPlayer& operator=(const MpvPlayer&) = delete;

    // Loads target (path or mpv URL) paused at its start and waits until it has loaded or
    // failed, at most timeoutMs. True when it loaded with at least one audio or video track.
    bool open(const QString& target, int timeoutMs);

    // Facts fixed at open.
    bool hasVideo() const { return hasVideo_; }  // cover art does not count
    bool hasAudio() const { return hasAudio_; }
    double frameRate() const { return fps_; }  // 0 without video
    double duration() const { return duration_; }
    QSize sourceSize();  // display size of the video; empty without
    QVector<double> chapterStarts() const { return chapters_; }
    // libmpv's track list as it stands (read-only; for tools that compare files).
    QVector<MediaTrack> trackList();

    Mode mode();
    double position();

    // Plays from `from` (else from where it stands) and stops at `to` (else at the end);
    // repeat starts again from `from` (or 0) instead of stopping.
    void play(std::optional<double> from, std::optional<double> to, bool repeat);
    void pause();
    void resume();
    void stop();
    void seek(double seconds);  // and stop there
    void step(double seconds);  // relative, and pause there

    bool setAudioOn(bool on);  // false when there is no sound to switch
    bool audioOn();
    void setSpeed(double factor);
    double speed();
    void setVolume(double percent);
    bool put(const QRect& rect);  // false without video
    QRect destination() const { return destination_; }

    // Drains mpv's pending events; also done before every answer.
    void pollEvents();

    // Closed handles finish shutting down in the background; this waits for all of them.
    static void finishClosing();
    // Joins the background shutdowns that have ended (cheap; keeps the list short).
    static void reapClosed();

  private:
    void handleEvent(const mpv_event& event);
    bool waitEvent(WaitClock& clock, qint64 untilMs);
    void checkStop();
    void seekExact(double seconds);
    void setPause(bool paused);
    void readTracks();
    void requestRender();
    void render(bool force);
    double getDouble(const char* name, double fallback);

    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    QPointer<VideoSurface> surface_;
    Config config_;
    std::atomic<bool> eventsPosted_{false};
    std::atomic<bool> renderPosted_{false};

    Mode mode_ = Mode::NotReady;
    bool loaded_ = false;
    bool restarted_ = false;  // mpv showed a first picture (or sound) after a load or seek
    bool ended_ = false;      // end-file after loading (error or stop)
    bool hasVideo_ = false;
    bool hasAudio_ = false;
    double fps_ = 0;
    double duration_ = 0;  // from origin_ on
    double origin_ = 0;    // mpv time of the first video frame; all our times start there
    QSize demuxSize_;
    QVector<double> chapters_;
    QRect destination_;
    QMargins margins_;
    bool stretched_ = false;  // keepaspect=no is set

    std::optional<double> seekTarget_;  // until mpv reports the seek done
    std::optional<double> playFrom_;
    std::optional<double> playTo_;
    bool repeat_ = false;
};
