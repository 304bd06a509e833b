#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>

#include "controls/icons.h"
#include "controls/lumba_button.h"
#include "qt_app.h"

namespace {

QApplication& ensureApp() { return testmedia::qtApp(); }

struct AppFirst {
    AppFirst() { ensureApp(); }
};

struct Shown : AppFirst {
    QWidget holder;
    LumbaButton* button;
    Shown() {
        holder.resize(200, 100);
        button = new LumbaButton(&holder);
        button->setGeometry(20, 20, 40, 30);
        button->setPicture(icons::pixmap(icons::Kind::Play, 24));
        holder.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&holder));
    }
    QPoint centre() const { return button->inner()->rect().center(); }
    void click() { QTest::mouseClick(button->inner(), Qt::LeftButton, {}, centre()); }
};

}  // namespace

TEST(LumbaButton, PushButtonClicksAndDisabledIgnoresMouse) {
    Shown s;
    QSignalSpy clicks(s.button, &LumbaButton::Click);
    s.click();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(s.button->State(), ButtonState::Hover);  // hover look after the release

    s.button->setState(ButtonState::Disabled);
    EXPECT_FALSE(s.button->inner()->isEnabled());
    s.click();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(s.button->State(), ButtonState::Disabled);

    s.button->setState(ButtonState::Normal);
    s.click();
    EXPECT_EQ(clicks.count(), 2);
}

TEST(LumbaButton, StatePropertyCarriesTheStateNumbers) {
    Shown s;
    ASSERT_TRUE(s.button->setProperty("State", 3));
    EXPECT_EQ(s.button->State(), ButtonState::Disabled);
    EXPECT_FALSE(s.button->inner()->isEnabled());  // set through the property, it still acts
    s.button->setState(ButtonState::Down);
    EXPECT_EQ(s.button->property("State").toInt(), 2);
    s.button->setProperty("State", 0);
    EXPECT_EQ(s.button->State(), ButtonState::Normal);
    EXPECT_TRUE(s.button->inner()->isEnabled());
}

TEST(LumbaButton, DisabledLookUsesDisabledPicture) {
    Shown s;
    const QPixmap dis = icons::pixmap(icons::Kind::Stop, 24);
    s.button->setDisabledPicture(dis);
    s.button->setState(ButtonState::Disabled);
    EXPECT_EQ(s.button->currentPicture().cacheKey(), dis.cacheKey());
    s.button->setState(ButtonState::Normal);
    EXPECT_EQ(s.button->currentPicture().cacheKey(), s.button->Picture().cacheKey());
}

TEST(LumbaButton, HoverEndsWithin100msAfterPointerLeaves) {
    Shown s;
    QCursor::setPos(s.button->inner()->mapToGlobal(s.centre()));
    QTest::mouseMove(s.button->inner(), s.centre());
    ASSERT_EQ(s.button->State(), ButtonState::Hover);
    EXPECT_TRUE(s.button->hoverTimerActive());
    // Still over the button: the check keeps the hover look.
    s.button->checkHover();
    EXPECT_EQ(s.button->State(), ButtonState::Hover);

    QCursor::setPos(s.holder.mapToGlobal(QPoint(150, 80)));  // no leave event is sent
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.button->State() == ButtonState::Normal; }, 150));
    EXPECT_FALSE(s.button->hoverTimerActive());
}

TEST(LumbaButton, ToggleClickedTwiceIsUpAgainWithAClickEachTime) {
    Shown s;
    s.button->setMode(ButtonMode::ToggleOnPress);
    QSignalSpy clicks(s.button, &LumbaButton::Click);
    ButtonState stateAtClick = ButtonState::Normal;
    QObject::connect(s.button, &LumbaButton::Click, [&] { stateAtClick = s.button->State(); });
    s.click();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(stateAtClick, ButtonState::Down);
    EXPECT_EQ(s.button->State(), ButtonState::Down);
    s.click();
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_NE(stateAtClick, ButtonState::Down);
    EXPECT_NE(s.button->State(), ButtonState::Down);
}

TEST(LumbaButton, StateSetByHolderDrivesToggleValue) {
    Shown s;
    s.button->setMode(ButtonMode::ToggleOnPress);
    s.button->setState(ButtonState::Down);  // the holder shows it held down (muted, say)
    s.click();
    EXPECT_NE(s.button->State(), ButtonState::Down);
}

TEST(LumbaButton, PressOutsideReleaseGivesNoClick) {
    Shown s;
    QSignalSpy clicks(s.button, &LumbaButton::Click);
    QTest::mousePress(s.button->inner(), Qt::LeftButton, {}, s.centre());
    EXPECT_EQ(s.button->State(), ButtonState::Down);
    QTest::mouseRelease(s.button->inner(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(s.button->State(), ButtonState::Normal);
}

TEST(Icons, DrawnAtTwiceThePixelRatio) {
    ensureApp();
    const QPixmap p = icons::pixmap(icons::Kind::Pause, 16, 2.0);
    EXPECT_EQ(p.width(), 32);
    EXPECT_EQ(p.deviceIndependentSize().toSize(), QSize(16, 16));
    const QImage img = p.toImage();
    int inked = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) inked += qAlpha(img.pixel(x, y)) > 200;
    EXPECT_GT(inked, 50);
}

TEST(LumbaButton, ModeOneTogglesOnPressAndClicksOnRelease) {
    Shown s;
    s.button->setMode(ButtonMode::ToggleOnRelease);
    QSignalSpy clicks(s.button, &LumbaButton::Click);
    QTest::mousePress(s.button->inner(), Qt::LeftButton, {}, s.centre());
    EXPECT_EQ(s.button->State(), ButtonState::Down);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(s.button->inner(), Qt::LeftButton, {}, s.centre());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(s.button->State(), ButtonState::Down);
    s.click();
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_NE(s.button->State(), ButtonState::Down);
}
