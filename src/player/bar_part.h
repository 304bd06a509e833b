#pragma once
// The pieces of the position bar and the volume slider: plain painted boxes that report
// their mouse events (in their own coordinates) to whoever drives them.
#include <QWidget>

namespace player {

class BarPart : public QWidget {
    Q_OBJECT
  public:
    enum Look { Strip, Track, Thumb, Slider, Knob, MarksStrip };
    BarPart(Look look, const QString& name, QWidget* parent);
    Look look() const { return look_; }

  signals:
    void mouseDown(Qt::MouseButton button, QPoint pos);
    void mouseMove(Qt::MouseButtons buttons, QPoint pos);
    void mouseUp(Qt::MouseButton button, QPoint pos);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    Look look_;
};

}  // namespace player
