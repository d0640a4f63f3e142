// The Qt window over a headless game: what the player sees and what the mouse and keys reach.

#include "tests/support/HeadlessGame.h"

#include "ui/GameWindow.h"
#include "forms/FormBuilder.h"
#include "layout/LayoutReader.h"

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QBackingStore>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <array>

using namespace namoro;
using namespace namoro::testing;

namespace {

struct ShownGame : HeadlessGame {
    ShownGame() : window(form(), game())
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    ui::PlayArea& area() { return window.playArea(); }

    // A pixel of the item's own figure, in the play area's coordinates.
    QPoint opaquePoint(int item)
    {
        const auto& p = picture(item);
        const auto& image = p.picture();
        for (int y = image.height / 2; y < image.height; ++y) {
            for (int x = image.width / 2; x < image.width; ++x) {
                if (image.opaqueAt(x, y))
                    return {int(std::lround(p.left() / 15)) + x, int(std::lround(p.top() / 15)) + y};
            }
        }
        throw std::runtime_error("no opaque pixel");
    }

    // Puts the item's top left corner at the logical pixel `at` and every other item out of sight.
    void isolate(int item, QPoint at)
    {
        for (int other = 1; other <= 17; ++other)
            picture(other).setTop(-100000);
        picture(item).setLeft(float(at.x() * 15));
        picture(item).setTop(float(at.y() * 15));
    }

    int countClicks(int item)
    {
        auto counter = std::make_shared<int>(0);
        picture(item).onClick = [counter] { ++*counter; };
        counters.push_back(counter);
        return int(counters.size() - 1);
    }

    ui::GameWindow window;
    std::vector<std::shared_ptr<int>> counters;
};

} // namespace

TEST(GameWindow, ShowsTheLayoutsInnerAreaCaptionAndMenu)
{
    ShownGame game;
    EXPECT_EQ(game.window.windowTitle(), "Form1");
    EXPECT_EQ(game.area().size(), QSize(650, 536));
    EXPECT_EQ(game.form().scaleWidth(), 9750.0f);
    EXPECT_EQ(game.form().scaleHeight(), 8040.0f);

    const auto menus = game.window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), "ナモロゲーム");
    QStringList commands;
    for (QAction* action : menus[0]->menu()->actions())
        commands << action->text();
    EXPECT_EQ(commands, (QStringList{"スタート", "エンド"}));

    EXPECT_EQ(game.area().lineEdit("Text1")->geometry(), QRect(576, 520, 73, 18));
    EXPECT_EQ(game.area().lineEdit("Text2")->geometry(), QRect(0, 520, 81, 18));
    EXPECT_EQ(game.area().lineEdit("Text1")->text(), "0");
    EXPECT_EQ(QFontInfo(game.area().captionFont()).family(), "RocknRoll One");
    EXPECT_EQ(QFontInfo(game.area().captionFont()).pixelSize(), 21);
    EXPECT_TRUE(QFontInfo(game.area().captionFont()).bold());
}

TEST(GameWindow, DrawsPicturesOneToOneWithTransparentSurroundings)
{
    ShownGame game;
    const QImage shot = game.area().grab().toImage();
    const QColor lavender(192, 192, 255);
    EXPECT_EQ(shot.pixelColor(400, 300), lavender);
    const QPoint figure = game.opaquePoint(11);
    const auto& eleven = game.picture(11).picture();
    const auto at = std::size_t((figure.y() - 2640 / 15) * eleven.width + (figure.x() - 3600 / 15));
    EXPECT_EQ(shot.pixel(figure), eleven.argb[at]);
    // Item 3's wide transparent margin shows the window behind it.
    ASSERT_FALSE(game.picture(3).picture().opaqueAt(156 - 136, 30 - 8));
    EXPECT_EQ(shot.pixelColor(156, 30), lavender);
    // The caption is red on the window's colour.
    bool red = false;
    for (int x = 0; x < 137 && !red; ++x)
        for (int y = 488; y < 520 && !red; ++y)
            red = shot.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
}

// Counts the paints a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Each device pixel must show the picture pixels it covers in proportion to how much of it
// each covers: so every picture pixel keeps the same size and shape, whether the item starts
// on a device pixel or between two, and moving it leaves nothing behind. This runs once more
// as a test of its own under QT_SCALE_FACTOR=1.5, where a picture pixel is 1.5 device pixels
// and the device pixel that two blocks share must be an even blend of both.
TEST(GameWindow, EveryPicturePixelIsTheSameSizeWhereverTheItemIs)
{
    ShownGame game;
    const double ratio = game.window.devicePixelRatioF();
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    PaintCounter counter;
    game.area().installEventFilter(&counter);
    using Rgb = std::array<double, 3>;
    auto rgb = [](QColor c) { return Rgb{double(c.red()), double(c.green()), double(c.blue())}; };
    const Rgb lavender{192, 192, 255};
    const auto& item = game.picture(11).picture();
    for (const QPoint at : {QPoint(100, 100), QPoint(101, 101), QPoint(103, 100)}) {
        const int paints = counter.paints;
        game.isolate(11, at);
        ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > paints; }));
        const auto* shown = dynamic_cast<const QImage*>(game.window.backingStore()->paintDevice());
        ASSERT_TRUE(shown);
        const QPoint origin = game.area().mapTo(&game.window, at); // logical, in the window
        int wrong = 0;
        std::string first;
        // Device pixels around the item, reaching where it was before.
        for (int dy = int((origin.y() - 4) * ratio); dy <= int((origin.y() + item.height + 4) * ratio); ++dy) {
            for (int dx = int((origin.x() - 4) * ratio); dx <= int((origin.x() + item.width + 4) * ratio); ++dx) {
                Rgb expected = lavender;
                for (int y = int(dy / ratio); y <= int((dy + 1) / ratio); ++y) {
                    for (int x = int(dx / ratio); x <= int((dx + 1) / ratio); ++x) {
                        const int px = x - origin.x(), py = y - origin.y();
                        if (!item.opaqueAt(px, py))
                            continue;
                        const double share = (std::min(dx + 1.0, (x + 1) * ratio) - std::max(double(dx), x * ratio)) *
                                             (std::min(dy + 1.0, (y + 1) * ratio) - std::max(double(dy), y * ratio));
                        const Rgb colour = rgb(QColor(item.argb[std::size_t(py * item.width + px)]));
                        for (std::size_t c = 0; c < 3; ++c)
                            expected[c] += share * (colour[c] - lavender[c]);
                    }
                }
                const Rgb seen = rgb(shown->pixelColor(dx, dy));
                bool off = false;
                for (std::size_t c = 0; c < 3; ++c)
                    off = off || std::abs(seen[c] - expected[c]) > 3;
                if (off && wrong++ == 0)
                    first = QStringLiteral("(%1, %2) is %3, not rgb(%4, %5, %6)")
                                .arg(dx).arg(dy).arg(shown->pixelColor(dx, dy).name())
                                .arg(expected[0]).arg(expected[1]).arg(expected[2]).toStdString();
            }
        }
        EXPECT_EQ(wrong, 0) << "item at " << at.x() << ", " << at.y() << ": " << first;
    }
}

TEST(GameWindow, GrowsNoLargerThanTheScreensAvailableArea)
{
    ShownGame game;
    const QSize available = game.window.screen()->availableGeometry().size();
    // As a window system without a window manager would do it.
    game.window.windowHandle()->resize(available * 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(game.window.width(), available.width());
    EXPECT_EQ(game.window.height(), available.height());
    EXPECT_EQ(game.form().scaleWidth(), float(game.area().width() * 15));
    EXPECT_EQ(game.form().scaleHeight(), float(game.area().height() * 15));
}

TEST(GameWindow, ResizingMovesTheBoundsTheItemsFallWithin)
{
    ShownGame game;
    game.window.resize(game.window.width() + 100, game.window.height() - 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(game.form().scaleWidth(), float(game.area().width() * 15));
    EXPECT_EQ(game.form().scaleHeight(), float(game.area().height() * 15));
    EXPECT_EQ(game.area().width(), 750);
}

TEST(GameWindow, TypingRaisesChangeOncePerKeystroke)
{
    ShownGame game;
    int changes = 0;
    const auto rank = game.score().onChange;
    game.score().onChange = [&] {
        ++changes;
        rank();
    };
    QLineEdit* box = game.area().lineEdit("Text1");
    box->selectAll();
    QTest::keyClicks(box, "2000");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(game.score().text(), "2000");
    EXPECT_EQ(game.caption(), "ナモロクリア");

    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Minus);
    EXPECT_EQ(game.score().text(), "-2000");
    EXPECT_EQ(game.caption(), "ナモロクリア"); // below every threshold: the caption stays
    // The model's answer to each key leaves the text cursor where the key put it.
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClicks(box, "12");
    EXPECT_EQ(game.score().text(), "12-2000");
    EXPECT_EQ(box->cursorPosition(), 2);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(game.score().text(), "");
    EXPECT_EQ(changes, 8);
    EXPECT_FALSE(game.endStatus.has_value());
}

TEST(GameWindow, AClickReachesThePictureUnderIt)
{
    ShownGame game;
    const int eleven = game.countClicks(11);
    QTest::mouseClick(&game.area(), Qt::LeftButton, {}, game.opaquePoint(11));
    EXPECT_EQ(*game.counters[std::size_t(eleven)], 1);
    // A double click arrives as a press, then a double-click event for the second press: two catches.
    const QPoint at = game.opaquePoint(11);
    QTest::mousePress(&game.area(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(&game.area(), Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, game.area().mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
    QCoreApplication::sendEvent(&game.area(), &second);
    EXPECT_EQ(*game.counters[std::size_t(eleven)], 3);
    QTest::mouseClick(&game.area(), Qt::RightButton, {}, game.opaquePoint(11));
    QTest::mouseClick(&game.area(), Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_EQ(*game.counters[std::size_t(eleven)], 3);
}

TEST(GameWindow, AClickAtAFractionalPositionTakesThePixelUnderThePointer)
{
    ShownGame game;
    const int eleven = game.countClicks(11);
    game.isolate(11, {200, 300});
    const int width = game.picture(11).picture().width;
    auto press = [&](QPointF at) {
        QMouseEvent event(QEvent::MouseButtonPress, at, game.area().mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&game.area(), &event);
    };
    // At a device pixel ratio of 2 these are the device pixels either side of the item's edges.
    press({199.5, 310});
    EXPECT_EQ(*game.counters[std::size_t(eleven)], 0);
    press({199.5 + width, 310});
    EXPECT_EQ(*game.counters[std::size_t(eleven)], 1);

    // Left and Top that are no whole pixels: the item is hit on exactly the pixels it is drawn on.
    game.picture(11).setLeft(200 * 15 + 8); // 200.53 pixels, drawn from 201
    game.picture(11).setTop(300 * 15 + 7);  // 300.47 pixels, drawn from 300
    const QImage shot = game.area().grab().toImage();
    const auto& art = game.picture(11).picture();
    QPoint drawn(1000, 1000), own(1000, 1000); // the figure's first column and row, on screen and in the art
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (shot.pixelColor(150 + x, 250 + y) != QColor(192, 192, 255))
                drawn = {std::min(drawn.x(), 150 + x), std::min(drawn.y(), 250 + y)};
            if (art.opaqueAt(x, y))
                own = {std::min(own.x(), x), std::min(own.y(), y)};
        }
    }
    const QPoint origin = drawn - own;
    EXPECT_EQ(origin, QPoint(201, 300));
    for (const auto& [dx, dy, hit] : {std::tuple{0, 0, true}, {art.width - 1, art.height - 1, true}, {-1, 0, false},
                                      {0, -1, false}, {art.width, 0, false}, {0, art.height, false}})
        EXPECT_EQ(game.area().pictureAt(origin + QPoint(dx, dy)) == &game.picture(11), hit) << dx << ", " << dy;
}

TEST(GameWindow, TheCaptionStandsWhereItsStoredAlignmentPutsIt)
{
    auto layout = window::readLayout(assets::form1Layout()).value();
    auto& label = std::get<window::LabelRecord>(layout.elements.at(24).body);
    runtime::VirtualClock clock;
    runtime::TimerScheduler scheduler(clock);
    runtime::EventDispatcher dispatcher;
    struct : window::PlayerInput { // nobody plays here
        void click(int, int) override {}
        void choose(std::size_t) override {}
        void type(std::size_t, std::string) override {}
        void close() override {}
    } noInput;
    for (const int alignment : {0, 1, 2}) { // left, right, centre
        label.alignment = std::uint8_t(alignment);
        const auto form = window::buildForm(layout, scheduler, dispatcher).value();
        form->label("Label1").setCaption("ナモロ");
        ui::PlayArea area(*form, noInput);
        area.resize(area.sizeHint());
        const QImage shot = area.grab().toImage();
        int left = 137, right = 137; // blank columns either side of the red text
        for (int y = 488; y < 521; ++y) {
            for (int x = 0; x < 137; ++x) {
                if (shot.pixelColor(x, y) == QColor(255, 0, 0)) {
                    left = std::min(left, x);
                    right = std::min(right, 136 - x);
                }
            }
        }
        EXPECT_LT(left + right, 137 - 40) << "no caption drawn";
        EXPECT_NEAR(alignment == 0 ? left : alignment == 1 ? right : left - right, 0, 3) << alignment;
    }
}

TEST(GameWindow, TheTopmostPictureTakesTheClick)
{
    ShownGame game;
    const int five = game.countClicks(5);
    const int six = game.countClicks(6);
    // Image5 stands later in the layout than Image6, so it lies on top.
    game.picture(6).setLeft(3000);
    game.picture(6).setTop(3000);
    game.picture(5).setLeft(3000);
    game.picture(5).setTop(3000);
    QTest::mouseClick(&game.area(), Qt::LeftButton, {}, game.opaquePoint(5));
    EXPECT_EQ(*game.counters[std::size_t(five)], 1);
    EXPECT_EQ(*game.counters[std::size_t(six)], 0);

    // Where the upper picture is transparent, the figure below takes the click; where neither
    // is opaque, the upper rectangle does.
    const auto& upper = game.picture(5).picture();
    const auto& lower = game.picture(6).picture();
    std::optional<QPoint> lowerOnly;
    for (int y = 0; y < lower.height && !lowerOnly; ++y)
        for (int x = 0; x < lower.width && !lowerOnly; ++x)
            if (lower.opaqueAt(x, y) && !upper.opaqueAt(x, y) && x < upper.width && y < upper.height)
                lowerOnly = QPoint(200 + x, 200 + y);
    ASSERT_TRUE(lowerOnly);
    EXPECT_EQ(game.area().pictureAt(*lowerOnly), &game.picture(6));
    ASSERT_FALSE(upper.opaqueAt(0, 0) || lower.opaqueAt(0, 0));
    EXPECT_EQ(game.area().pictureAt(QPoint(200, 200)), &game.picture(5));
}

TEST(GameWindow, AfterStartAClickOnAnItemWhereItIsNowScoresIt)
{
    ShownGame game;
    QTest::mouseClick(&game.area(), Qt::LeftButton, {}, game.opaquePoint(13));
    EXPECT_EQ(game.score().text(), "0");

    game.window.menu("ナモロゲーム")->actions()[0]->trigger();
    game.advanceToNextCountdownTick();
    ASSERT_EQ(game.time().text(), "59");
    EXPECT_NE(game.picture(13).top(), 240.0f);
    QTest::mouseClick(&game.area(), Qt::LeftButton, {}, game.opaquePoint(13));
    EXPECT_EQ(game.score().text(), "300");
    EXPECT_EQ(game.area().lineEdit("Text1")->text(), "300");
    EXPECT_EQ(game.area().lineEdit("Text2")->text(), "59");
    EXPECT_EQ(game.caption(), "Ｖ(>_<)Ｖ");
}

TEST(GameWindow, ClosingTheWindowEndsLikeTheEndCommand)
{
    ShownGame game;
    game.window.close();
    EXPECT_EQ(game.endStatus, 0);
    ShownGame other;
    other.window.menu("ナモロゲーム")->actions()[1]->trigger();
    EXPECT_EQ(other.endStatus, 0);
}

TEST(GameWindow, KeepsItsSizeWhileItsScreenHasNoAreaAndAfter)
{
    ShownGame game;
    const QSize before = game.window.size();
    QScreen* screen = game.window.screen();
    // What Qt's stand-in screen reports while no output is connected, then the real area again.
    emit screen->availableGeometryChanged(QRect());
    emit screen->availableGeometryChanged(screen->availableGeometry());
    QCoreApplication::processEvents();
    EXPECT_EQ(game.window.size(), before);
}

namespace {

using Seen = std::vector<std::pair<QAccessible::Role, QString>>;

Seen children(QAccessibleInterface* parent)
{
    Seen seen;
    for (int i = 0; i < parent->childCount(); ++i)
        seen.emplace_back(parent->child(i)->role(), parent->child(i)->text(QAccessible::Name));
    return seen;
}

// What a screen reader is told: the event and the name of what it is about.
std::vector<std::pair<QAccessible::Event, QString>> heard;
void hear(QAccessibleEvent* event) { heard.emplace_back(event->type(), event->accessibleInterface()->text(QAccessible::Name)); }

} // namespace

TEST(GameWindow, AssistiveTechnologyAndTheKeyboardReachTheGame)
{
    ShownGame game;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&game.window);
    EXPECT_EQ(window->text(QAccessible::Name), "ナモロゲーム");
    EXPECT_EQ(children(window), (Seen{{QAccessible::MenuBar, ""}, {QAccessible::Pane, "ゲーム画面"}}));
    EXPECT_EQ(children(window->child(0)->child(0)->child(0)),
              (Seen{{QAccessible::MenuItem, "スタート"}, {QAccessible::MenuItem, "エンド"}}));
    EXPECT_EQ(children(window->child(1)), (Seen{{QAccessible::StaticText, "凸(▼△▼メ)"},
                                                {QAccessible::EditableText, "残り時間"},
                                                {QAccessible::EditableText, "得点"}}));

    // A reader's pointer review finds the caption where it is drawn, in screen coordinates.
    game.window.move(130, 70);
    game.isolate(1, {-1000, -1000}); // some items have red pixels of their own
    QCoreApplication::processEvents();
    const QImage shot = game.area().grab().toImage();
    QRect drawn;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == QColor(255, 0, 0))
                drawn |= QRect(x, y, 1, 1);
    ASSERT_FALSE(drawn.isEmpty());
    drawn.moveTopLeft(game.area().mapToGlobal(drawn.topLeft()));
    QAccessibleInterface* caption = window->child(1)->child(0);
    EXPECT_TRUE(caption->rect().contains(drawn)) << "drawn within " << drawn.x() << ", " << drawn.y();
    EXPECT_EQ(window->child(1)->childAt(drawn.center().x(), drawn.center().y()), caption);

    // As a screen reader would; the offscreen platform has none to switch accessibility on.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    const auto previous = QAccessible::installUpdateHandler(&hear);
    game.type(game.score(), "1500");
    game.type(game.score(), "1600"); // the same rank
    game.area().repaint();
    std::erase_if(heard, [](const auto& e) { return e.first != QAccessible::NameChanged; });
    EXPECT_EQ(heard, (decltype(heard){{QAccessible::NameChanged, "V(◎∀◎)V"}}));

    // F2 starts from a box without typing into it; while the items fall only the countdown speaks.
    heard.clear();
    game.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&game.window));
    QLineEdit* box = game.area().lineEdit("Text1");
    QTest::keyClick(box, Qt::Key_F2);
    game.playUntilTimeShows("1");
    game.playUntilTimeShows("0");
    QCoreApplication::processEvents();
    std::erase_if(heard, [](const auto& e) { return e.second == "残り時間"; });
    EXPECT_EQ(heard, (decltype(heard){{QAccessible::DescriptionChanged, "ゲーム画面"}}));
    QAccessible::installUpdateHandler(previous);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);

    QTest::keyClick(box, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(game.endStatus, 0);
    QTest::keyClick(box, Qt::Key_F10);
    EXPECT_EQ(game.window.menuBar()->activeAction(), game.window.menuBar()->actions().front());
    EXPECT_TRUE(game.window.menu("ナモロゲーム")->actions()[0]->shortcut().isEmpty()) << "the menu shows no keys";
    EXPECT_EQ(box->text(), "1600");
}
