#pragma once
// The marks bar picRngBk under the position bar: one picRS rectangle per segment on a scale
// from 0 to totalUnits, green, red while the user is asked about it, later segments in front.
// A segment's tooltip is its summary line, the background's the total line. Where a save's
// copy starts before a segment's start mark, that lead-in shows in a paler shade before it.
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace marks {

class MarksController;

inline const QColor kSegmentColor = QColor(0, 255, 0);
inline const QColor kAskedSegmentColor = QColor(255, 0, 0);
// The lead-in's shade of a segment colour: most of the way to white.
QColor paleShade(const QColor& c);

// One picRS element.
class SegmentRect : public QWidget {
    Q_OBJECT
  public:
    SegmentRect(int index, QWidget* parent);
    int index() const { return index_; }
    void setColor(const QColor& c);
    QColor color() const { return color_; }

  signals:
    void clicked(int index);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    int index_;
    QColor color_ = kSegmentColor;
};

class MarksBar : public QObject {
    Q_OBJECT
  public:
    // background: the picRngBk widget of the player window (its children are ours).
    MarksBar(QWidget* background, MarksController& marks, QObject* parent = nullptr);

    QWidget* background() const { return bg_; }
    // The picRS element i (nullptr past the pool); hidden ones belong to no segment.
    SegmentRect* rect(int i) const;
    int rectCount() const { return static_cast<int>(rects_.size()); }
    // The lead-in element of segment i (hidden when its copy starts at the mark).
    SegmentRect* leadIn(int i) const;

    // x of a position on the bar, in pixels.
    static int pixelOf(int64_t position, int32_t totalUnits, int barWidth);

  public slots:
    void sync();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> bg_;
    MarksController& marks_;
    // Rectangles are kept and hidden, never deleted: a click handler may be running in one
    // when its segment goes away.
    std::vector<SegmentRect*> rects_;
    std::vector<SegmentRect*> leadIns_;
};

}  // namespace marks
