#pragma once
// The window a media file's video is drawn in: a plain QWidget that shows the pictures the
// media device renders in software. Windows create one, pass its surfaceId() to openMCI as
// the parent window, and size the picture with putMCI. Mouse events are ordinary Qt events
// (the surface does not consume them, so they reach the widget's parent too).
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QWidget>
#include <cstdint>

class VideoSurface : public QWidget {
    Q_OBJECT
  public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // The id that stands for this surface in command strings ("parent N"); never 0.
    int32_t surfaceId() const { return id_; }
    // The registered surface with that id, or nullptr.
    static VideoSurface* find(int32_t id);

    // Where the video picture sits inside the surface (the last "put ... window at").
    QRect videoRect() const { return videoRect_; }
    // Whether the picture is stretched over the whole of videoRect() whatever its shape;
    // otherwise (the default) it keeps its proportions there, with bars where the shapes
    // differ. The media device reads it at every put.
    bool stretch() const { return stretch_; }
    void setStretch(bool on) { stretch_ = on; }
    // The last picture shown, at the size of videoRect(); null before the first one.
    QImage shownImage() const;
    // Bars the renderer left around the picture inside shownImage() (kept aspect ratio).
    QMargins videoMargins() const { return margins_; }
    // shownImage() without those bars: exactly the displayed video area.
    QImage shownVideo() const;
    // What the surface paints inside area (its own coordinates), rendered from its own image
    // and not read from the screen, so it is right while the window is covered or hidden:
    // the picture with mpv's bars where it is drawn, the surface's background around it.
    QImage paintedArea(const QRect& area);
    // Number of pictures shown since creation (lets tests and the capture window wait).
    quint64 framesShown() const { return framesShown_; }

    // Used by the media device.
    void setVideoRect(const QRect& r);
    // A 64-byte-aligned RGB32 buffer of that size to render into (reused while the size holds).
    QImage& frameBuffer(const QSize& size);
    void presentFrame(const QMargins& margins);
    void setVideoMargins(const QMargins& margins) { margins_ = margins; }
    void clearVideo();

  signals:
    void frameShown();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int32_t id_;
    QRect videoRect_;
    bool stretch_ = false;
    QImage buffer_;
    bool hasFrame_ = false;
    QMargins margins_;
    quint64 framesShown_ = 0;
};
