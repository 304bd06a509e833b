#include "media/video_surface.h"

#include <QPainter>
#include <cstdlib>
#include <map>

namespace {

std::map<int32_t, VideoSurface*>& registry() {
    static std::map<int32_t, VideoSurface*> surfaces;
    return surfaces;
}
int32_t nextId = 1;

// mpv's software renderer is fastest with 64-byte-aligned lines and start address.
QImage alignedImage(const QSize& size) {
    const qsizetype stride = ((static_cast<qsizetype>(size.width()) * 4 + 63) / 64) * 64;
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(size.height());
    void* data = std::aligned_alloc(64, bytes == 0 ? 64 : bytes);
    if (!data) return {};
    return QImage(
        static_cast<uchar*>(data), size.width(), size.height(), stride, QImage::Format_RGB32,
        [](void* p) { std::free(p); }, data);
}

}  // namespace

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent), id_(nextId++) {
    registry()[id_] = this;
}

VideoSurface::~VideoSurface() { registry().erase(id_); }

VideoSurface* VideoSurface::find(int32_t id) {
    auto it = registry().find(id);
    return it == registry().end() ? nullptr : it->second;
}

QImage VideoSurface::shownImage() const { return hasFrame_ ? buffer_.copy() : QImage(); }

QImage VideoSurface::shownVideo() const {
    if (!hasFrame_) return {};
    const QRect area = buffer_.rect().marginsRemoved(margins_);
    return area.isValid() ? buffer_.copy(area) : QImage();
}

QImage VideoSurface::paintedArea(const QRect& area) {
    if (area.isEmpty()) return {};
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    // The widget paints itself (and its children, as they show) into the image.
    render(&out, QPoint(), QRegion(area), RenderFlags(DrawWindowBackground | DrawChildren));
    return out;
}

void VideoSurface::setVideoRect(const QRect& r) {
    if (r == videoRect_) return;
    update(videoRect_);
    videoRect_ = r;
    update(videoRect_);
}

QImage& VideoSurface::frameBuffer(const QSize& size) {
    if (buffer_.size() != size || buffer_.isNull()) {
        buffer_ = alignedImage(size);
        hasFrame_ = false;
    }
    return buffer_;
}

void VideoSurface::presentFrame(const QMargins& margins) {
    margins_ = margins;
    hasFrame_ = !buffer_.isNull();
    ++framesShown_;
    update(videoRect_);
    emit frameShown();
}

void VideoSurface::clearVideo() {
    hasFrame_ = false;
    buffer_ = QImage();
    margins_ = {};
    update();
}

void VideoSurface::paintEvent(QPaintEvent*) {
    if (videoRect_.isEmpty()) return;
    QPainter p(this);
    // Around a picture that keeps its shape the bars are black, as a player's are; a
    // captured frame takes them as they show.
    const QRegion bars = QRegion(rect()).subtracted(QRegion(videoRect_));
    for (const QRect& r : bars) p.fillRect(r, Qt::black);
    if (hasFrame_ && buffer_.size() == videoRect_.size())
        p.drawImage(videoRect_.topLeft(), buffer_);
    else
        p.fillRect(videoRect_, Qt::black);
}
