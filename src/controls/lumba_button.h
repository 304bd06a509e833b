#pragma once
// The program's own picture button: flat until hovered, a one-pixel raised frame while the
// pointer is over it, sunken while pressed, optionally a toggle. Holders drive it through
// State (normal, hover, down, disabled) and listen to Click.
#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "common/button_state.h"

class QMimeData;

// How the button answers a click: a push button clicks on release; a toggle flips between
// down and up and clicks on release or already on the press (so that a Click handler reads
// the new State).
enum class ButtonMode { Push = 0, ToggleOnRelease = 1, ToggleOnPress = 2 };

class LumbaButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int State READ stateNumber WRITE setStateNumber)
    Q_PROPERTY(int Mode READ modeNumber WRITE setModeNumber)
    Q_PROPERTY(int Style READ Style WRITE setStyle)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QColor MaskColor READ MaskColor WRITE setMaskColor)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int OLEDropMode READ OLEDropMode WRITE setOLEDropMode)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)

  public:
    explicit LumbaButton(QWidget* parent = nullptr);

    ButtonState State() const { return state_; }
    void setState(ButtonState state);
    // The State property as its number (0 normal, 1 hover, 2 down, 3 disabled).
    int stateNumber() const { return static_cast<int>(state_); }
    void setStateNumber(int state) { setState(static_cast<ButtonState>(state)); }
    ButtonMode Mode() const { return mode_; }
    void setMode(ButtonMode mode) { mode_ = mode; }
    // The Mode property as its number (0 push, 1 and 2 toggles).
    int modeNumber() const { return static_cast<int>(mode_); }
    void setModeNumber(int mode) { mode_ = static_cast<ButtonMode>(mode); }
    int Style() const { return style_; }
    void setStyle(int style);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor MaskColor() const { return maskColor_; }
    void setMaskColor(const QColor& c);
    bool UseMaskColor() const { return useMaskColor_; }
    void setUseMaskColor(bool on);
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& c);
    QColor ForeColor() const { return foreColor_; }
    void setForeColor(const QColor& c);
    int OLEDropMode() const { return oleDropMode_; }
    void setOLEDropMode(int mode);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& text);

    QPixmap Picture() const { return picture_; }
    void setPicture(const QPixmap& p);
    QPixmap DownPicture() const { return downPicture_; }
    void setDownPicture(const QPixmap& p);
    QPixmap DisabledPicture() const { return disabledPicture_; }
    void setDisabledPicture(const QPixmap& p);

    // The inner button that takes the mouse (what the pointer test looks for).
    QWidget* inner() const { return inner_; }
    // The picture the button shows in its current state (for tests and painting).
    QPixmap currentPicture() const;
    // One run of the hover check; the 100 ms timer calls it.
    void checkHover();
    bool hoverTimerActive() const { return hoverTimer_.isActive(); }

  signals:
    void Click();
    void MouseMove(int button, int shift, int x, int y);
    void MouseDown(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void OLEDragDrop(const QMimeData* data, int effect, int button, int shift, int x, int y);

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    friend class LumbaButtonInner;
    void innerMouseMove(QMouseEvent* e);
    void innerMousePress(QMouseEvent* e);
    void innerMouseRelease(QMouseEvent* e);
    void innerDrop(QDropEvent* e);
    void paintInner(QPainter& p);
    QPixmap masked(const QPixmap& p) const;

    QWidget* inner_;
    QTimer hoverTimer_;
    ButtonState state_ = ButtonState::Normal;
    ButtonMode mode_ = ButtonMode::Push;
    int style_ = 0;
    bool toggledDown_ = false;  // a toggle: the button's value is "down"
    bool pressed_ = false;      // left button held on the inner button
    QString caption_;
    QColor maskColor_;
    bool useMaskColor_ = true;
    QColor backColor_;
    QColor foreColor_;
    int oleDropMode_ = 0;
    QPixmap picture_, downPicture_, disabledPicture_;
};
