#include "lists/list_box.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "lists/list_ops.h"

namespace lists {

namespace {

// Draws a line's TAB-separated cells at the box's tab stops, as a list box with tab stops does.
class ColumnDelegate : public QStyledItemDelegate {
  public:
    explicit ColumnDelegate(ListBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString text = index.data().toString();
        if (!text.contains(u'\t')) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        o.text.clear();
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &o, w);
        p->save();
        p->setPen(o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                   : QPalette::Text));
        const QStringList cells = text.split(u'\t');
        const QList<int>& stops = box_->tabStopPixels();
        for (int c = 0; c < cells.size(); ++c) {
            const int x = textRect.left() + (c == 0 ? 0 : stops.value(c - 1, 0));
            p->drawText(QRect(x, textRect.top(), textRect.right() - x + 100000, textRect.height()),
                        Qt::AlignLeft | Qt::AlignVCenter, cells.at(c));
        }
        p->restore();
    }

  private:
    ListBox* box_;
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Drops land on the viewport; the items themselves are never dragged.
    setDragDropMode(QAbstractItemView::DropOnly);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setUniformItemSizes(true);  // keeps long lists fast to lay out
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setItemDelegate(new ColumnDelegate(this));
}

QString ListBox::line(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void ListBox::setLine(int index, const QString& text) {
    if (QListWidgetItem* it = item(index)) it->setText(text);
}

void ListBox::setTabStops(const QList<int>& stops) {
    // Dialog units: a quarter of the font's average character width.
    const qreal unit = fontMetrics().averageCharWidth() / 4.0;
    stopPixels_.clear();
    for (int s : stops) stopPixels_.append(int(s * unit + 0.5));
    viewport()->update();
}

void ListBox::setHorizontalExtent(int pixels) {
    // Lines are drawn unclipped to the right; the scroll range follows the widest line.
    horizontalScrollBar()->setRange(0, std::max(0, pixels - viewport()->width()));
}

int ListBox::textWidth(const QString& text) const { return fontMetrics().horizontalAdvance(text); }

void ListBox::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls() || e->mimeData()->hasText())
        e->acceptProposedAction();
    else
        e->ignore();
}

void ListBox::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasUrls() || e->mimeData()->hasText())
        e->acceptProposedAction();
    else
        e->ignore();
}

void ListBox::dropEvent(QDropEvent* e) {
    const QStringList files = droppedFiles(*e->mimeData());
    e->acceptProposedAction();
    if (!files.isEmpty()) emit filesDropped(files);
}

bool ListBox::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int row = indexAt(help->pos()).row();
        const QString tip = (row >= 0 && toolTipFor) ? toolTipFor(row) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QListWidget::viewportEvent(e);
}

}  // namespace lists
