// The text cursor rests after a spell without input and blinks again at the next key.

#include "ui/CursorBlinkTimeout.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(CursorBlinkTimeout, StopsBlinkingWhenIdleAndBlinksAgainAtTheNextKeyOrClick)
{
    QStyleHints& hints = *QGuiApplication::styleHints();
    hints.setCursorFlashTime(1000);
    QLineEdit box;
    box.show();
    {
        namoro::ui::CursorBlinkTimeout timeout(*QCoreApplication::instance(), 30ms);
        ASSERT_TRUE(QTest::qWaitFor([&] { return timeout.resting(); }, 5000));
        EXPECT_EQ(hints.cursorFlashTime(), 0) << "a resting cursor is steady";

        QTest::keyClick(&box, Qt::Key_A);
        EXPECT_FALSE(timeout.resting());
        EXPECT_EQ(hints.cursorFlashTime(), 1000);

        ASSERT_TRUE(QTest::qWaitFor([&] { return timeout.resting(); }, 5000));
        QTest::mouseClick(&box, Qt::LeftButton);
        EXPECT_EQ(hints.cursorFlashTime(), 1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return timeout.resting(); }, 5000));
    }
    EXPECT_EQ(hints.cursorFlashTime(), 1000) << "the desktop's blink comes back when the game ends";
}

TEST(CursorBlinkTimeout, BlinksAgainWhenFocusComesBackToTheWindowOrABox)
{
    QLineEdit box;
    namoro::ui::CursorBlinkTimeout timeout(*QCoreApplication::instance(), 30ms);
    QEvent windowBack(QEvent::WindowActivate);
    QFocusEvent boxBack(QEvent::FocusIn, Qt::TabFocusReason);
    for (QEvent* back : {&windowBack, static_cast<QEvent*>(&boxBack)}) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return timeout.resting(); }, 5000));
        QCoreApplication::sendEvent(&box, back);
        EXPECT_FALSE(timeout.resting()) << back->type();
    }
}
