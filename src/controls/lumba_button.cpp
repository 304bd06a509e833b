#include "controls/lumba_button.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

// The inner button fills the control and takes every mouse event; the control itself only
// lays it out. Keeping the pointer test on one widget makes the hover check exact.
class LumbaButtonInner : public QWidget {
  public:
    explicit LumbaButtonInner(LumbaButton* owner) : QWidget(owner), owner_(owner) {
        setMouseTracking(true);
        setObjectName(QStringLiteral("chkBn"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        owner_->paintInner(p);
    }
    void mouseMoveEvent(QMouseEvent* e) override { owner_->innerMouseMove(e); }
    void mousePressEvent(QMouseEvent* e) override { owner_->innerMousePress(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { owner_->innerMouseRelease(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { owner_->innerMousePress(e); }
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (owner_->OLEDropMode() == 1) e->acceptProposedAction();
    }
    void dropEvent(QDropEvent* e) override { owner_->innerDrop(e); }

  private:
    LumbaButton* owner_;
};

namespace {

int vbButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int vbShift(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

// A grey, lighter rendering of a picture for the disabled look when none was given.
QPixmap greyed(const QPixmap& src) {
    if (src.isNull()) return src;
    QImage img = src.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    QPixmap out = QPixmap::fromImage(img);
    out.setDevicePixelRatio(src.devicePixelRatio());
    return out;
}

}  // namespace

LumbaButton::LumbaButton(QWidget* parent) : QWidget(parent), inner_(new LumbaButtonInner(this)) {
    maskColor_ = palette().color(QPalette::Button);
    backColor_ = palette().color(QPalette::Button);
    foreColor_ = palette().color(QPalette::ButtonText);
    hoverTimer_.setInterval(100);
    connect(&hoverTimer_, &QTimer::timeout, this, &LumbaButton::checkHover);
    inner_->setGeometry(rect());
}

void LumbaButton::setState(ButtonState state) {
    using enum ButtonState;
    state_ = state;
    if (mode_ != ButtonMode::Push) {
        if (state == Down) toggledDown_ = true;
        if (state == Normal || state == Disabled) toggledDown_ = false;
    }
    if (state == Hover) {
        hoverTimer_.start();
    } else if (state != Down || !pressed_) {
        hoverTimer_.stop();
    }
    inner_->setEnabled(state != Disabled);
    if (state == Disabled) pressed_ = false;
    inner_->update();
}

void LumbaButton::setStyle(int style) {
    style_ = style;
    inner_->update();
}

void LumbaButton::setCaption(const QString& caption) {
    caption_ = caption;
    inner_->update();
}

void LumbaButton::setMaskColor(const QColor& c) {
    maskColor_ = c;
    inner_->update();
}

void LumbaButton::setUseMaskColor(bool on) {
    useMaskColor_ = on;
    inner_->update();
}

void LumbaButton::setBackColor(const QColor& c) {
    backColor_ = c;
    inner_->update();
}

void LumbaButton::setForeColor(const QColor& c) {
    foreColor_ = c;
    inner_->update();
}

void LumbaButton::setOLEDropMode(int mode) {
    oleDropMode_ = mode;
    inner_->setAcceptDrops(mode == 1);
}

void LumbaButton::setToolTipText(const QString& text) {
    setToolTip(text);
    inner_->setToolTip(text);
}

void LumbaButton::setPicture(const QPixmap& p) {
    picture_ = p;
    inner_->update();
}

void LumbaButton::setDownPicture(const QPixmap& p) {
    downPicture_ = p;
    inner_->update();
}

void LumbaButton::setDisabledPicture(const QPixmap& p) {
    disabledPicture_ = p;
    inner_->update();
}

QPixmap LumbaButton::currentPicture() const {
    if (state_ == ButtonState::Disabled)
        return disabledPicture_.isNull() ? greyed(picture_) : disabledPicture_;
    if (state_ == ButtonState::Down && !downPicture_.isNull()) return downPicture_;
    return picture_;
}

QPixmap LumbaButton::masked(const QPixmap& p) const {
    if (!useMaskColor_ || p.isNull() || p.hasAlphaChannel()) return p;
    QPixmap out = p;
    out.setMask(p.createMaskFromColor(maskColor_, Qt::MaskInColor));
    return out;
}

void LumbaButton::checkHover() {
    const QWidget* under = QApplication::widgetAt(QCursor::pos());
    if (state_ != ButtonState::Hover || under != inner_) {
        hoverTimer_.stop();
        if (state_ == ButtonState::Hover) setState(ButtonState::Normal);
    }
}

void LumbaButton::resizeEvent(QResizeEvent*) { inner_->setGeometry(rect()); }

void LumbaButton::innerMouseMove(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit MouseMove(vbButton(e->button()) | (e->buttons() & Qt::LeftButton ? 1 : 0),
                   vbShift(e->modifiers()), pt.x(), pt.y());
    if (state_ == ButtonState::Normal) setState(ButtonState::Hover);
    if (state_ == ButtonState::Hover) hoverTimer_.start();
}

void LumbaButton::innerMousePress(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit MouseDown(vbButton(e->button()), vbShift(e->modifiers()), pt.x(), pt.y());
    if (e->button() != Qt::LeftButton || state_ == ButtonState::Disabled) return;
    pressed_ = true;
    if (mode_ == ButtonMode::Push) {
        setState(ButtonState::Down);
        return;
    }
    // Toggles settle their value on the press, so a Click handler reads the new State.
    const bool down = !toggledDown_;
    setState(down ? ButtonState::Down : ButtonState::Hover);
    toggledDown_ = down;
    if (mode_ == ButtonMode::ToggleOnPress) emit Click();
}

void LumbaButton::innerMouseRelease(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit MouseUp(vbButton(e->button()), vbShift(e->modifiers()), pt.x(), pt.y());
    if (e->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (state_ == ButtonState::Disabled) return;
    const bool inside = inner_->rect().contains(pt);
    if (mode_ == ButtonMode::Push) {
        setState(inside ? ButtonState::Hover : ButtonState::Normal);
        if (inside) emit Click();
        return;
    }
    setState(toggledDown_ ? ButtonState::Down
                          : (inside ? ButtonState::Hover : ButtonState::Normal));
    if (mode_ == ButtonMode::ToggleOnRelease && inside) emit Click();
}

void LumbaButton::innerDrop(QDropEvent* e) {
    if (oleDropMode_ != 1) return;
    const QPoint pt = e->position().toPoint();
    e->acceptProposedAction();
    emit OLEDragDrop(e->mimeData(), static_cast<int>(e->dropAction()), vbButton(Qt::LeftButton),
                     vbShift(e->modifiers()), pt.x(), pt.y());
}

void LumbaButton::paintInner(QPainter& p) {
    const QRect r = inner_->rect();
    p.fillRect(r, backColor_);
    const bool down = state_ == ButtonState::Down;
    const int shift = down ? 1 : 0;

    const QPixmap pic = masked(currentPicture());
    QSize picSize = pic.isNull() ? QSize() : pic.deviceIndependentSize().toSize();
    QRect textRect = r.adjusted(2, 2, -2, -2);
    if (!pic.isNull()) {
        int x = (r.width() - picSize.width()) / 2;
        if (!caption_.isEmpty()) x = 3;
        const int y = (r.height() - picSize.height()) / 2;
        p.drawPixmap(QPoint(x + shift, y + shift), pic);
        textRect.setLeft(x + picSize.width() + 3);
    }
    if (!caption_.isEmpty()) {
        p.setPen(state_ == ButtonState::Disabled
                     ? palette().color(QPalette::Disabled, QPalette::ButtonText)
                     : foreColor_);
        p.drawText(textRect.translated(shift, shift),
                   Qt::AlignVCenter | (pic.isNull() ? Qt::AlignHCenter : Qt::AlignLeft), caption_);
    }

    // The one-pixel frame: raised while hovered, sunken while down, always in Style 1.
    const bool raised =
        state_ == ButtonState::Hover || (style_ == 1 && state_ != ButtonState::Down);
    if (!raised && !down) return;
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor topLeft = down ? shadow : light;
    const QColor bottomRight = down ? light : shadow;
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}
