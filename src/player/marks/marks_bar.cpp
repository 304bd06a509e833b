#include "player/marks/marks_bar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <numeric>

#include "player/marks/marks_controller.h"

namespace marks {

SegmentRect::SegmentRect(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

QColor paleShade(const QColor& c) {
    auto towardWhite = [](int v) { return v + (255 - v) * 3 / 5; };
    return QColor(towardWhite(c.red()), towardWhite(c.green()), towardWhite(c.blue()));
}

void SegmentRect::setColor(const QColor& c) {
    if (c == color_) return;
    color_ = c;
    update();
}

void SegmentRect::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), color_);
}

void SegmentRect::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked(index_);
}

MarksBar::MarksBar(QWidget* background, MarksController& marks, QObject* parent)
    : QObject(parent), bg_(background), marks_(marks) {
    connect(&marks_, &MarksController::changed, this, &MarksBar::sync);
    if (bg_) bg_->installEventFilter(this);
    sync();
}

SegmentRect* MarksBar::rect(int i) const {
    return i >= 0 && i < rectCount() ? rects_[static_cast<size_t>(i)] : nullptr;
}

SegmentRect* MarksBar::leadIn(int i) const {
    return i >= 0 && i < rectCount() ? leadIns_[static_cast<size_t>(i)] : nullptr;
}

int MarksBar::pixelOf(int64_t position, int32_t totalUnits, int barWidth) {
    if (totalUnits < 1) totalUnits = 1;
    return static_cast<int>((position * barWidth + totalUnits / 2) / totalUnits);
}

bool MarksBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bg_ && event->type() == QEvent::Resize) sync();
    return QObject::eventFilter(watched, event);
}

void MarksBar::sync() {
    if (!bg_) return;
    const SegmentList& segs = marks_.segments();
    bg_->setVisible(marks_.barVisible());
    bg_->setToolTip(marks_.barToolTip());
    while (rectCount() < segs.count()) {
        auto* lead = new SegmentRect(rectCount(), bg_);
        auto* r = new SegmentRect(rectCount(), bg_);
        for (SegmentRect* each : {lead, r})
            connect(each, &SegmentRect::clicked, &marks_, &MarksController::segmentClicked,
                    Qt::QueuedConnection);
        leadIns_.push_back(lead);
        rects_.push_back(r);
    }
    const int32_t total = marks_.host().totalUnits();
    const int width = bg_->width();
    const int height = bg_->height();
    for (int i = 0; i < rectCount(); ++i) {
        SegmentRect* r = rects_[static_cast<size_t>(i)];
        SegmentRect* lead = leadIns_[static_cast<size_t>(i)];
        if (i >= segs.count() || !segs.at(i).visible) {
            r->hide();
            lead->hide();
            continue;
        }
        const Segment& s = segs.at(i);
        const int x = pixelOf(s.start, total, width);
        const int x2 = pixelOf(int64_t(s.start) + std::max(0, s.length), total, width);
        r->setGeometry(x, 0, std::max(1, x2 - x), height);
        r->setColor(s.highlighted ? kAskedSegmentColor : kSegmentColor);
        r->setToolTip(s.summary);
        r->show();
        if (s.copyStart && *s.copyStart < s.start) {
            const int lx = pixelOf(std::max(0, *s.copyStart), total, width);
            lead->setGeometry(lx, 0, std::max(1, x - lx), height);
            lead->setColor(paleShade(r->color()));
            lead->setToolTip(s.summary);
            lead->show();
        } else {
            lead->hide();
        }
    }
    // Later segments in front.
    std::vector<int> order(static_cast<size_t>(segs.count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&segs](int a, int b) { return segs.at(a).zOrder < segs.at(b).zOrder; });
    for (int i : order) {
        leadIns_[static_cast<size_t>(i)]->raise();
        rects_[static_cast<size_t>(i)]->raise();
    }
}

}  // namespace marks
