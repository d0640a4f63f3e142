// The text cursor rests after a spell without input and blinks again at the next key.

#include "ui/CursorBlinkTimeout.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

// A text box that counts its repaints, two to a flash of a blinking cursor.
struct RepaintedBox : QLineEdit {
    int repaints = 0;
    void paintEvent(QPaintEvent* event) override { ++repaints, QLineEdit::paintEvent(event); }
};

TEST(CursorBlinkTimeout, StopsBlinkingWhenIdleAndBlinksAgainAtTheNextKeyOrClick)
{
    QStyleHints& hints = *QGuiApplication::styleHints();
    hints.setCursorFlashTime(100);
    RepaintedBox box;
    box.show();
    box.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    {
        namoro::ui::CursorBlinkTimeout timeout(*QCoreApplication::instance(), 1s);
        auto blinksThenRests = [&] {
            box.repaints = 0;
            EXPECT_TRUE(QTest::qWaitFor([&] { return box.repaints >= 6; })) << "the cursor blinks";
            ASSERT_TRUE(QTest::qWaitFor([&] { return timeout.resting(); }));
            box.repaints = 0;
            QTest::qWait(500); // ten flashes' time
            EXPECT_LE(box.repaints, 1) << "a resting cursor is steady: one repaint to show it";
        };
        blinksThenRests();
        QTest::keyClick(&box, Qt::Key_A);
        blinksThenRests();
        QTest::mouseClick(&box, Qt::LeftButton);
        blinksThenRests();
    }
    EXPECT_EQ(hints.cursorFlashTime(), 100) << "the desktop's blink comes back when the game ends";
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
