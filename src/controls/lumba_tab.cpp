#include "controls/lumba_tab.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tabstrip {

TabLayout tabLayout(int tabs, int perRow, int width) {
    tabs = std::max(tabs, 0);
    perRow = std::max(perRow, 1);
    TabLayout out;
    out.rows = (tabs + perRow - 1) / perRow;
    const int tabWidth = std::max(width, 0) / perRow;
    out.boxes.reserve(tabs);
    for (int i = 0; i < tabs; ++i) {
        const int rowFromTop = out.rows - 1 - i / perRow;
        TabBox box;
        box.rect = QRect((i % perRow) * tabWidth, rowFromTop * kRowHeight, tabWidth, kRowHeight);
        box.isTop = i + perRow >= tabs;
        out.boxes.append(box);
    }
    return out;
}

int tabAt(const TabLayout& layout, QPoint pt) {
    for (int i = 0; i < layout.boxes.size(); ++i)
        if (layout.boxes[i].rect.contains(pt)) return i;
    return -1;
}

QRect pageArea(const QRect& control, int captionHeight) {
    const int h = std::max(control.height() - captionHeight, 0);
    return QRect(control.left(), control.top() + captionHeight, control.width(), h);
}

QString joinCaptions(const QStringList& captions) {
    QString out;
    for (const QString& c : captions) {
        out += c;
        out += QChar(kCaptionEnd);
    }
    return out;
}

QStringList splitCaptions(const QString& text) {
    QStringList parts = text.split(QChar(kCaptionEnd));
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    return parts;
}

}  // namespace tabstrip

using namespace tabstrip;

namespace {

QString defaultCaption(int tab) { return QStringLiteral("Tab ") + QString::number(tab); }

}  // namespace

LumbaTab::LumbaTab(QWidget* parent) : QWidget(parent) { setTabs(3); }

void LumbaTab::setTabs(int tabs) {
    tabs = std::max(tabs, 1);
    while (captions_.size() > tabs) captions_.removeLast();
    while (captions_.size() < tabs) captions_.append(defaultCaption(Tabs()));
    select(tabNow_);
}

void LumbaTab::setTabsPerRow(int perRow) {
    perRow_ = std::max(perRow, 1);
    relayout();
}

void LumbaTab::setTabNow(int tab) { select(tab); }

void LumbaTab::setTabCaption(const QString& caption) {
    captions_[tabNow_] = caption;
    update();
}

void LumbaTab::setAll_Caption(const QString& text) {
    const QStringList parts = splitCaptions(text);
    const int n = std::min(static_cast<int>(parts.size()), Tabs());
    for (int i = 0; i < n; ++i) captions_[i] = parts[i];
    update();
}

QColor LumbaTab::TabCapColor() const {
    return capColor_.isValid() ? capColor_ : palette().color(QPalette::WindowText);
}

void LumbaTab::setTabCapColor(const QColor& c) {
    capColor_ = c;
    update();
}

void LumbaTab::setPages(const QList<QWidget*>& pages) {
    // Pages dropped from the strip stay where they are but no longer show as a page.
    for (const auto& old : pages_)
        if (old && !pages.contains(old.data())) old->hide();
    pages_.clear();
    for (QWidget* w : pages) pages_.append(w);
    placePages();
}

void LumbaTab::setPage(int tab, QWidget* page) {
    if (tab < 0) return;
    if (pages_.size() <= tab) pages_.resize(tab + 1);
    if (pages_[tab] && pages_[tab] != page) pages_[tab]->hide();
    pages_[tab] = page;
    placePages();
}

void LumbaTab::select(int tab) {
    const int previous = tabNow_;
    tabNow_ = std::clamp(tab, 0, Tabs() - 1);
    relayout();
    if (tabNow_ != previous) emit Click(previous);
}

void LumbaTab::relayout() {
    layout_ = tabLayout(Tabs(), perRow_, width());
    placePages();
    update();
}

void LumbaTab::placePages() {
    // The page area in the coordinates of each page's own parent, which need not be ours.
    const QRect local = pageRect();
    for (int i = 0; i < pages_.size(); ++i) {
        QWidget* page = pages_[i];
        if (!page) continue;
        if (i >= Tabs()) {
            page->hide();
            continue;
        }
        QWidget* host = page->parentWidget();
        QPoint origin;
        if (host == parentWidget())
            origin = pos();
        else if (host && host->isAncestorOf(this))
            origin = mapTo(host, QPoint(0, 0));
        else
            origin = host ? host->mapFromGlobal(mapToGlobal(QPoint(0, 0))) : mapToGlobal(QPoint());
        page->setGeometry(local.translated(origin));
        // Pages behind the selected one are hidden rather than only covered, so the keyboard
        // focus cannot wander into them.
        page->setVisible(i == tabNow_);
        if (i == tabNow_) page->raise();
    }
}

void LumbaTab::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int tab = tabAt(layout_, e->position().toPoint());
    if (tab < 0) return;
    if (tab == tabNow_) {
        update(tabRect(tab));
        return;
    }
    select(tab);
}

void LumbaTab::resizeEvent(QResizeEvent*) { relayout(); }

void LumbaTab::moveEvent(QMoveEvent*) { placePages(); }

void LumbaTab::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange) update();
    QWidget::changeEvent(e);
}

void LumbaTab::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor face = palette().color(QPalette::Button);
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);

    // The page area frame, seen only where no page covers it.
    const QRect page = pageRect();
    if (!page.isEmpty()) {
        p.fillRect(page, face);
        const QRect r = page.adjusted(0, 0, -1, -1);
        p.setPen(light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(shadow);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    for (int i = 0; i < Tabs(); ++i)
        if (i != tabNow_) paintBox(p, i);
    // Last, so that it covers the page frame's top line where it joins the page area.
    paintBox(p, tabNow_);
}

void LumbaTab::paintBox(QPainter& p, int tab) const {
    const TabBox& box = layout_.boxes.value(tab);
    if (box.rect.isEmpty()) return;
    const bool selected = tab == tabNow_;
    const QColor face = palette().color(QPalette::Button);
    const QRect r = box.rect.adjusted(1, 1, -1, selected ? 0 : -1);  // one-pixel inset
    p.fillRect(selected ? r.adjusted(0, 0, 0, 1) : r, face);

    // Boxes with nothing above round their upper corners; the others butt against the row above.
    const int corner = box.isTop ? 2 : 0;
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(r.left() + corner, r.top(), r.right() - corner, r.top());
    p.drawLine(r.left(), r.top() + corner, r.left(), r.bottom());
    if (corner) p.drawPoint(r.left() + 1, r.top() + 1);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(r.right(), r.top() + corner, r.right(), r.bottom());
    if (corner) p.drawPoint(r.right() - 1, r.top() + 1);
    // The selected box has no bottom edge: it opens into the page area.
    if (!selected) p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());

    p.setPen(TabCapColor());
    p.setFont(font());
    p.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextSingleLine, captions_.value(tab));
}
