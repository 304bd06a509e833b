#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/lumba_tab.h"
#include "qt_app.h"

using namespace tabstrip;

namespace {

struct AppFirst {
    AppFirst() { testmedia::qtApp(); }
};

// Seven tabs, four to a row, on a 400 x 300 control at (10, 10), a page for each tab.
struct Strip : AppFirst {
    QWidget holder;
    LumbaTab* tab;
    QList<QWidget*> pages;
    Strip() {
        holder.resize(420, 320);
        tab = new LumbaTab(&holder);
        tab->setGeometry(10, 10, 400, 300);
        tab->setTabs(7);
        tab->setTabsPerRow(4);
        for (int i = 0; i < 7; ++i) {
            auto* page = new QWidget(&holder);
            page->setObjectName(QStringLiteral("page%1").arg(i));
            page->setAutoFillBackground(true);
            pages.append(page);
        }
        tab->setPages(pages);
        holder.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&holder));
    }
    void clickTab(int i) { QTest::mouseClick(tab, Qt::LeftButton, {}, tab->tabRect(i).center()); }
    // The page the user sees at the centre of the page area.
    QWidget* pageOnTop() const {
        QWidget* w = holder.childAt(tab->geometry().center().x(), tab->geometry().bottom() - 5);
        while (w && w->parentWidget() != &holder) w = w->parentWidget();
        return w;
    }
};

}  // namespace

TEST(TabLayout, FirstRowSitsNextToThePagesAndLaterRowsStackUpwards) {
    const TabLayout l = tabLayout(7, 4, 400);
    EXPECT_EQ(l.rows, 2);
    EXPECT_EQ(l.captionHeight(), 40);
    ASSERT_EQ(l.boxes.size(), 7);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(l.boxes[i].rect, QRect(i * 100, 20, 100, 20)) << i;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(l.boxes[i].isTop) << i;
    EXPECT_TRUE(l.boxes[3].isTop);  // nothing above it: the top row has only three
    for (int i = 4; i < 7; ++i) {
        EXPECT_EQ(l.boxes[i].rect, QRect((i - 4) * 100, 0, 100, 20)) << i;
        EXPECT_TRUE(l.boxes[i].isTop) << i;
    }
    EXPECT_EQ(tabAt(l, QPoint(150, 5)), 5);
    EXPECT_EQ(tabAt(l, QPoint(150, 25)), 1);
    EXPECT_EQ(tabAt(l, QPoint(350, 5)), -1);  // the top row's empty corner
}

TEST(TabLayout, OneFullRowIsTheTopRowAndWidthIsSharedByIntegerDivision) {
    const TabLayout l = tabLayout(3, 3, 301);
    EXPECT_EQ(l.rows, 1);
    for (const TabBox& b : l.boxes) {
        EXPECT_TRUE(b.isTop);
        EXPECT_EQ(b.rect.width(), 100);
        EXPECT_EQ(b.rect.top(), 0);
    }
    // Eight tabs of four: the second row is full, and only it is the top row.
    const TabLayout full = tabLayout(8, 4, 400);
    EXPECT_EQ(full.rows, 2);
    EXPECT_FALSE(full.boxes[3].isTop);
    EXPECT_TRUE(full.boxes[4].isTop);
}

TEST(TabLayout, PageAreaLiesBelowTheCaptionRows) {
    EXPECT_EQ(pageArea(QRect(10, 10, 400, 300), 40), QRect(10, 50, 400, 260));
    EXPECT_EQ(pageArea(QRect(0, 0, 100, 30), 40).height(), 0);
}

TEST(TabCaptions, AllCaptionEndsEveryCaptionAndSplitsAtTheMark) {
    testmedia::qtApp();
    LumbaTab tab;
    EXPECT_EQ(tab.Tabs(), 3);
    EXPECT_EQ(tab.TabsPerRow(), 3);
    EXPECT_EQ(tab.All_Caption(), QStringLiteral("Tab 0≡Tab 1≡Tab 2≡"));

    tab.setProperty("All_Caption", QStringLiteral("A≡B≡C≡"));
    EXPECT_EQ(tab.caption(0), QStringLiteral("A"));
    EXPECT_EQ(tab.caption(1), QStringLiteral("B"));
    EXPECT_EQ(tab.caption(2), QStringLiteral("C"));

    // Fewer captions leave the rest; an empty one in the middle is still a caption.
    tab.setAll_Caption(QStringLiteral("第一區≡≡"));
    EXPECT_EQ(tab.All_Caption(), QStringLiteral("第一區≡≡C≡"));

    tab.setTabNow(2);
    tab.setTabCaption(QStringLiteral("第三區"));
    EXPECT_EQ(tab.caption(2), QStringLiteral("第三區"));
    EXPECT_EQ(tab.TabCaption(), QStringLiteral("第三區"));

    // New tabs get the default caption by their index.
    tab.setTabs(5);
    EXPECT_EQ(tab.caption(4), QStringLiteral("Tab 4"));
    EXPECT_EQ(splitCaptions(QStringLiteral("X≡Y")), QStringList({"X", "Y"}));
}

TEST(LumbaTab, TabNowIsClampedAndRaisesClickOnlyOnAChange) {
    Strip s;
    QSignalSpy clicks(s.tab, &LumbaTab::Click);
    s.tab->setProperty("TabNow", 9);
    EXPECT_EQ(s.tab->TabNow(), 6);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 0);
    EXPECT_EQ(s.pageOnTop(), s.pages[6]);

    s.tab->setTabNow(6);
    EXPECT_EQ(clicks.count(), 1);

    // Losing tabs pulls the selection back onto the last one left, and the lost pages go.
    s.tab->setTabs(3);
    EXPECT_EQ(s.tab->TabNow(), 2);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_FALSE(s.pages[6]->isVisible());
    EXPECT_EQ(s.pageOnTop(), s.pages[2]);
}

TEST(LumbaTab, ClickOnAnotherTabSelectsItAndBringsItsPageUp) {
    Strip s;
    QSignalSpy clicks(s.tab, &LumbaTab::Click);
    s.clickTab(0);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(s.tab->TabNow(), 0);

    s.clickTab(5);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 0);
    EXPECT_EQ(s.tab->TabNow(), 5);
    EXPECT_EQ(s.pageOnTop(), s.pages[5]);
    for (QWidget* page : s.pages) EXPECT_EQ(page->geometry(), QRect(10, 50, 400, 260));

    s.clickTab(5);
    EXPECT_EQ(clicks.count(), 1);
    s.clickTab(2);
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 5);
    EXPECT_EQ(s.pageOnTop(), s.pages[2]);

    // The right button selects nothing.
    QTest::mouseClick(s.tab, Qt::RightButton, {}, s.tab->tabRect(3).center());
    EXPECT_EQ(s.tab->TabNow(), 2);
}

TEST(LumbaTab, ResizeLaysOutCaptionsAndPagesAgain) {
    Strip s;
    s.tab->setTabNow(4);
    s.tab->setGeometry(0, 0, 200, 150);
    EXPECT_EQ(s.tab->tabRect(5), QRect(50, 0, 50, 20));
    EXPECT_EQ(s.tab->tabRect(1), QRect(50, 20, 50, 20));
    for (QWidget* page : s.pages) EXPECT_EQ(page->geometry(), QRect(0, 40, 200, 110));
    EXPECT_EQ(s.pageOnTop(), s.pages[4]);

    s.tab->setTabsPerRow(7);
    EXPECT_EQ(s.tab->layout().rows, 1);
    EXPECT_EQ(s.pages[4]->geometry(), QRect(0, 20, 200, 130));
}

TEST(LumbaTab, PagesOfAnotherParentArePlacedInItsCoordinates) {
    testmedia::qtApp();
    QWidget holder;
    holder.resize(300, 300);
    auto* frame = new QWidget(&holder);
    frame->setGeometry(30, 40, 250, 250);
    auto* tab = new LumbaTab(frame);
    tab->setGeometry(5, 5, 240, 200);
    auto* page = new QWidget(&holder);
    holder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&holder));
    tab->setPage(1, page);
    tab->setTabNow(1);
    EXPECT_EQ(page->geometry(), QRect(35, 65, 240, 180));
    tab->move(6, 5);
    EXPECT_EQ(page->geometry(), QRect(36, 65, 240, 180));
}
