#include "lists/list_box.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "lists/list_ops.h"

namespace lists {

namespace {

// No path is longer than this (PATH_MAX), so a longer cell is cut there: laying out and
// drawing megabytes of text per row would freeze the list and overflow the painter.
constexpr qsizetype kMaxShownChars = 4096;
// The widest extent a list takes: three cells of that length in a wide font.
constexpr int kMaxExtent = 1 << 18;

QString bounded(QStringView text) {
    if (text.size() <= kMaxShownChars) return text.toString();
    return text.left(kMaxShownChars).toString() + QChar(0x2026);
}

// Draws a line's TAB-separated cells at the box's tab stops, as a list box with tab stops
// does, inside the line's row and no wider than the box's extent.
class ColumnDelegate : public QStyledItemDelegate {
  public:
    explicit ColumnDelegate(ListBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString text = index.data().toString();
        o.text.clear();
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &o, w);
        p->save();
        p->setClipRect(option.rect, Qt::IntersectClip);
        p->setPen(o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                   : QPalette::Text));
        const QList<QStringView> cells = QStringView(text).split(u'\t');
        const QList<int>& stops = box_->tabStopPixels();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const int x = textRect.left() + (c == 0 ? 0 : stops.value(c - 1, 0));
            if (x > textRect.right()) break;
            // A cell ends where the next column begins (the last one at the row's end).
            const int end = c < stops.size() && c + 1 < cells.size()
                                ? textRect.left() + stops[c] - p->fontMetrics().averageCharWidth()
                                : textRect.right();
            const QString cell =
                p->fontMetrics().elidedText(bounded(cells[c]), Qt::ElideRight, end - x);
            p->drawText(QRect(x, textRect.top(), end - x + 1, textRect.height()),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cell);
        }
        p->restore();
    }

    // Every line is as wide as the box's extent, so the view scrolls over the widest line.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize s = QStyledItemDelegate::sizeHint(option, index);
        return {box_->extent() > 0 ? box_->extent() : s.width(), s.height()};
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(o, index);
        o->text = bounded(o->text);
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
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
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
    // Dialog units: a quarter of the font's average character width. A proportional font draws
    // some cells wider than their byte count says, so a column is also as wide as the widest
    // of its longest cells as drawn (measuring every cell would slow long lists down): cells
    // do not run into the next column.
    constexpr qsizetype kMeasured = 16;
    const QFontMetrics fm = fontMetrics();
    const qreal unit = fm.averageCharWidth() / 4.0;
    const int gap = fm.averageCharWidth() * 2;
    QList<QList<std::pair<qsizetype, QStringView>>> longest(stops.size());
    QStringList lines;
    lines.reserve(count());
    for (int i = 0; i < count(); ++i) lines << item(i)->text();
    for (const QString& line : lines) {
        const QList<QStringView> cells = QStringView(line).split(u'\t');
        for (qsizetype c = 0; c < cells.size() && c < longest.size(); ++c)
            longest[c].append({cells[c].size(), cells[c]});
    }
    stopPixels_.clear();
    qreal before = 0;
    int at = 0;
    for (qsizetype c = 0; c < stops.size(); ++c) {
        auto& cells = longest[c];
        const qsizetype n = std::min(kMeasured, cells.size());
        std::partial_sort(cells.begin(), cells.begin() + n, cells.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
        int widest = 0;
        for (qsizetype k = 0; k < n; ++k)
            widest = std::max(widest, fm.horizontalAdvance(bounded(cells[k].second)));
        const int width = std::max(int((stops[c] - before) * unit + 0.5), widest + gap);
        before = stops[c];
        at = std::min(at + width, kMaxExtent);
        stopPixels_.append(at);
    }
    viewport()->update();
}

void ListBox::setHorizontalExtent(int pixels) {
    // The last tab stop lies past the widest line's last cell; the given extent, worked out
    // for another font, may fall short of it.
    const int last = stopPixels_.isEmpty() ? 0 : stopPixels_.last();
    const int extent = std::clamp(std::max(pixels, last), 0, kMaxExtent);
    if (extent == extent_) return;
    extent_ = extent;
    // Lines take their width from the extent: lay them out again.
    scheduleDelayedItemsLayout();
}

int ListBox::textWidth(const QString& text) const {
    return fontMetrics().horizontalAdvance(bounded(text));
}

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
