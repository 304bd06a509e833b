#pragma once
// A list box of the list window: one text line per item, TAB-separated columns drawn at the
// box's tab stops, files and text dropped on it, and a tooltip per item.
#include <QListWidget>
#include <QStringList>
#include <functional>

#include "items/line_format.h"

namespace lists {

class ListBox : public QListWidget, public mdlLineFormat::LineListBox {
    Q_OBJECT
  public:
    explicit ListBox(QWidget* parent = nullptr);

    // LineListBox
    int count() const override { return QListWidget::count(); }
    QString line(int index) const override;
    void setLine(int index, const QString& text) override;
    int selectedIndex() const override { return currentRow(); }
    QString tag() const override { return tag_; }
    void setTag(const QString& tag) override { tag_ = tag; }
    void setTabStops(const QList<int>& stops) override;
    void setHorizontalExtent(int pixels) override;
    int textWidth(const QString& text) const override;
    void redraw() override { viewport()->update(); }

    const QList<int>& tabStopPixels() const { return stopPixels_; }
    // Width in pixels the lines are laid out with (the horizontal extent); 0: not set.
    int extent() const { return extent_; }
    // Text of the tooltip of the item at an index ("" : none).
    std::function<QString(int)> toolTipFor;

  signals:
    // Existing files, in the order they are to be added.
    void filesDropped(const QStringList& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool viewportEvent(QEvent* e) override;

  private:
    QString tag_;
    QList<int> stopPixels_;
    int extent_ = 0;
};

}  // namespace lists
