#pragma once
// The program's own multi-row tab strip. Caption boxes sit in rows of TabsPerRow at the top of
// the control, the first row next to the pages and later rows stacked above it; the holder
// hands over one page widget per tab, and the control moves all of them into its page area
// and shows the selected one. Holders listen to Click(previous) and read TabNow.
#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace tabstrip {

inline constexpr int kRowHeight = 20;
// Ends every caption in the All_Caption text.
inline constexpr char16_t kCaptionEnd = u'\u2261';

struct TabBox {
    QRect rect;  // in the control's coordinates
    // No tab TabsPerRow places further on, so no box above: its top edge is the strip's.
    bool isTop = false;
};

struct TabLayout {
    int rows = 0;
    QList<TabBox> boxes;  // one per tab, by tab index
    int captionHeight() const { return rows * kRowHeight; }
};

// Caption boxes for a control of the given width. Counts below one are taken as one.
TabLayout tabLayout(int tabs, int perRow, int width);
// The tab whose caption box holds the point, or -1.
int tabAt(const TabLayout& layout, QPoint pt);
// The page area of a control with this geometry, in the coordinates that geometry is given in.
QRect pageArea(const QRect& control, int captionHeight);
// Every caption followed by the caption end mark.
QString joinCaptions(const QStringList& captions);
// The captions of an All_Caption text, in order; what follows the last mark is a caption only
// when it is not empty.
QStringList splitCaptions(const QString& text);

}  // namespace tabstrip

class LumbaTab : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString TabPictureBox READ TabPictureBox WRITE setTabPictureBox)
    Q_PROPERTY(int Tabs READ Tabs WRITE setTabs)
    Q_PROPERTY(int TabsPerRow READ TabsPerRow WRITE setTabsPerRow)
    Q_PROPERTY(int TabNow READ TabNow WRITE setTabNow)
    Q_PROPERTY(QString TabCaption READ TabCaption WRITE setTabCaption)
    Q_PROPERTY(QString All_Caption READ All_Caption WRITE setAll_Caption)
    Q_PROPERTY(QColor TabCapColor READ TabCapColor WRITE setTabCapColor)
    Q_PROPERTY(QFont TabCapFont READ TabCapFont WRITE setTabCapFont)

  public:
    explicit LumbaTab(QWidget* parent = nullptr);

    // Only kept for holders that persist it; pages are handed over with setPages/setPage.
    QString TabPictureBox() const { return pictureBox_; }
    void setTabPictureBox(const QString& name) { pictureBox_ = name; }
    int Tabs() const { return static_cast<int>(captions_.size()); }
    void setTabs(int tabs);
    int TabsPerRow() const { return perRow_; }
    void setTabsPerRow(int perRow);
    int TabNow() const { return tabNow_; }
    // Selects a tab from code; raises Click like a click does when the selection changes.
    void setTabNow(int tab);
    QString TabCaption() const { return captions_.value(tabNow_); }
    void setTabCaption(const QString& caption);
    QString All_Caption() const { return tabstrip::joinCaptions(captions_); }
    void setAll_Caption(const QString& text);
    QString caption(int tab) const { return captions_.value(tab); }
    QColor TabCapColor() const;
    void setTabCapColor(const QColor& c);
    // The caption font is the control's font, so by default the holder's.
    QFont TabCapFont() const { return font(); }
    void setTabCapFont(const QFont& f) { setFont(f); }

    // Page i belongs to tab i. Pages may live in any widget; they are placed in its coordinates.
    void setPages(const QList<QWidget*>& pages);
    void setPage(int tab, QWidget* page);
    QWidget* page(int tab) const { return pages_.value(tab); }

    const tabstrip::TabLayout& layout() const { return layout_; }
    QRect tabRect(int tab) const { return layout_.boxes.value(tab).rect; }
    bool tabIsTop(int tab) const { return layout_.boxes.value(tab).isTop; }
    // The page area in the control's own coordinates.
    QRect pageRect() const { return tabstrip::pageArea(rect(), layout_.captionHeight()); }

  signals:
    void Click(int previous);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    void select(int tab);
    void relayout();
    void placePages();
    void paintBox(QPainter& p, int tab) const;

    QString pictureBox_ = QStringLiteral("picLumbaTab");
    QStringList captions_;
    int perRow_ = 3;
    int tabNow_ = 0;
    QColor capColor_;  // invalid: the palette's window text
    QList<QPointer<QWidget>> pages_;
    tabstrip::TabLayout layout_;
};
