// The window as it first shows, what clicks do before Start, and the command lines and window
// systems the program starts from or refuses.
#include "GameOnX.h"

#include <QImage>
#include <QLibraryInfo>

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace namoro::e2e {
namespace {

constexpr Rgb kRed{255, 0, 0};

int pixelsOf(const Image& shot, Rect area, Rgb colour)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x)
            count += shot.at(x, y) == colour;
    }
    return count;
}

// The window's icon images as the X server holds them (_NET_WM_ICON): width, height, then
// ARGB pixels, for each image in turn.
std::vector<QImage> windowIcons(GameOnX& game)
{
    xsession::ProcessOptions capture = xsession::ProgramWindow::programOptions(game.display());
    capture.capture = true;
    const auto read = xsession::runCommand({"xprop", "-id", game.window().windowId(), "-notype", "32c", "_NET_WM_ICON"}, capture);
    const auto equals = read.output.find('='); // none when the window has no icon
    std::vector<quint32> values;
    std::istringstream numbers(equals == std::string::npos ? std::string() : read.output.substr(equals + 1));
    for (std::string number; std::getline(numbers, number, ',');)
        values.push_back(quint32(std::stoul(number)));
    std::vector<QImage> icons;
    for (std::size_t at = 0; at + 2 <= values.size();) {
        const int width = int(values[at]), height = int(values[at + 1]);
        at += 2;
        if (width <= 0 || height <= 0 || values.size() - at < std::size_t(width * height))
            break;
        QImage image(width, height, QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, values[at++]);
        icons.push_back(image);
    }
    return icons;
}

// Pixels that differ, where a transparent pixel is any transparent pixel.
int differences(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            count += qAlpha(p) != qAlpha(q) || (qAlpha(p) != 0 && p != q);
        }
    return count;
}

class StartUp : public testing::Test {
protected:
    GameOnX game;
};

TEST_F(StartUp, ShowsZeroInBothBoxesEveryItemAtItsStartAndARedRank)
{
    EXPECT_EQ(game.window().width(), GameOnX::kInnerWidth);
    EXPECT_GT(game.window().menuBarHeight(), 0);

    const StartScreenReport report = game.waitForStartScreen();
    EXPECT_TRUE(report.matches()) << report.describe();
    EXPECT_EQ(game.score(), "0");
    EXPECT_EQ(game.time(), "0");

    const Image shot = game.screenshot();
    EXPECT_GT(pixelsOf(shot, game.onScreen(GameOnX::kCaptionRect), kRed), 50) << "the rank caption shows in red";
    // Reading the boxes took a while; before Start nothing has moved.
    const StartScreenReport later = compareWithStartScreen(shot, game.inner(), game.art());
    EXPECT_TRUE(later.matches()) << later.describe();

    // The window carries the program's icon, both coloured images as they are drawn.
    const std::vector<QImage> icons = windowIcons(game);
    for (const char* file : {"icon16-16.xpm", "icon32-16.xpm"}) {
        const QImage drawn = QImage(QStringLiteral(NAMORO_ICON_DIR "/") + file).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(drawn.isNull()) << file;
        const auto same = std::find_if(icons.begin(), icons.end(), [&](const QImage& icon) {
            return icon.size() == drawn.size() && differences(icon, drawn) == 0;
        });
        EXPECT_TRUE(same != icons.end()) << file << " is not among the window's " << icons.size() << " icon images";
    }

    // Left alone, the text cursor stops blinking, and nothing wakes the program for it.
    game.click(GameOnX::kScoreBox);
    const Rect box = game.onScreen(GameOnX::kScoreBoxRect);
    const auto boxChangesWithin = [&](std::chrono::milliseconds bound) {
        const Image first = game.screenshot();
        return eventually(bound, [&] { return xsession::countDifferences(first, game.screenshot(), box) > 0; }, 100ms);
    };
    EXPECT_TRUE(boxChangesWithin(3s)) << "the cursor blinks after a click";
    EXPECT_TRUE(eventually(25s, [&] { return !boxChangesWithin(2s); }, 0ms)) << "the cursor still blinks";
}

TEST_F(StartUp, KeysTypedBeforeAnyClickGoIntoTheFirstBoxInTabOrder)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    game.window().type("12");
    EXPECT_EQ(game.score(), "012");
    EXPECT_EQ(game.time(), "0");
}

TEST_F(StartUp, ClicksScoreBeforeStartOnlyWhileTheTimeBoxHoldsANumberAboveZero)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    const Image atZero = game.screenshot();

    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "0") << "the time box shows 0: no time remains";
    game.setTime("-3");
    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "0");

    game.setTime("5");
    ASSERT_EQ(game.time(), "5");
    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "100");
    game.clickAtStart(2);
    EXPECT_EQ(game.score(), "-400");
    game.clickAtStart(11);
    EXPECT_EQ(game.score(), "-500");

    const Rect caption = game.onScreen(GameOnX::kCaptionRect);
    EXPECT_GT(xsession::countDifferences(atZero, game.screenshot(), caption), 0) << "the rank follows the score";
    EXPECT_TRUE(game.running());
}

// The program run to its end with this environment and arguments: its status and what it said.
xsession::CommandResult runProgram(const std::string& environment, const std::string& arguments,
                                   const xsession::ProcessOptions& options = {})
{
    xsession::ProcessOptions capture = options;
    capture.capture = true;
    return xsession::runCommand({"/bin/sh", "-c", "env " + environment + " \"$0\" " + arguments + " 2>&1", NAMORO_EXECUTABLE},
                                capture, 20s);
}

TEST(Program, SaysWhatItCannotStartFromAndTakesQtsOwnOptions)
{
    const auto nowhere = runProgram("-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "");
    ASSERT_TRUE(nowhere.status);
    EXPECT_TRUE(nowhere.status->exited && nowhere.status->code == 1) << nowhere.status->describe();
    EXPECT_NE(nowhere.output.find("found no display"), std::string::npos) << nowhere.output;

    xsession::PrivateDisplay display;
    const auto onDisplay = xsession::ProgramWindow::programOptions(display);
    for (const auto& [arguments, named] : {std::pair{"--bogus", "unknown option --bogus"},
                                           {"-style Fusion --bogus", "unknown option --bogus"},
                                           {"extra", "unexpected argument extra"}}) {
        SCOPED_TRACE(arguments);
        const auto refused = runProgram("", arguments, onDisplay);
        ASSERT_TRUE(refused.status) << "the game started";
        EXPECT_TRUE(refused.status->exited && refused.status->code == 2) << refused.status->describe();
        EXPECT_NE(refused.output.find(std::string("namoro: ") + named + "\n"), std::string::npos) << refused.output;
        EXPECT_NE(refused.output.find("Usage: namoro"), std::string::npos) << refused.output;
    }
    // Qt's own options start the game as they did.
    xsession::ProgramWindow styled(display, {NAMORO_EXECUTABLE, "-style", "Fusion"}, {"Form1", GameOnX::kInnerHeight});
    EXPECT_TRUE(styled.process().running());
}

// The app id ties the window to its menu entry, named by the desktop file.
TEST(Program, TellsWaylandItsAppIdIsTheDesktopFilesName)
{
    if (!std::filesystem::exists("/usr/bin/weston"))
        GTEST_SKIP() << "no Weston here (Debian's weston package) to start a Wayland session on";
    if (!std::filesystem::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/platforms/libqwayland-generic.so"))
        GTEST_SKIP() << "no Qt Wayland platform here (Debian's qt6-wayland package) to run the game on";
    const std::filesystem::path runtime = std::filesystem::temp_directory_path() / ("namoro-wayland-" + std::to_string(getpid()));
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    xsession::ProcessOptions session;
    session.environment = {{"XDG_RUNTIME_DIR", runtime.string()}};
    session.quiet = true;
    {
        xsession::Process weston({"weston", "--backend=headless-backend.so", "--socket=namoro", "--idle-time=0"}, session);
        ASSERT_TRUE(eventually(10s, [&] { return std::filesystem::exists(runtime / "namoro"); })) << "Weston did not start";
        const std::string expected = "set_app_id(\"" NAMORO_APP_ID "\")";
        xsession::ProcessOptions client = session;
        client.environment.insert(client.environment.end(), {{"WAYLAND_DISPLAY", "namoro"}, {"WAYLAND_DEBUG", "1"}});
        client.quiet = false;
        client.capture = true;
        xsession::Process game({"/bin/sh", "-c", "exec \"$0\" -platform wayland 2>&1", NAMORO_EXECUTABLE}, client);
        std::string protocol;
        eventually(20s, [&] { return (protocol += game.readOutput(200ms)).find(expected) != std::string::npos; }, 0ms);
        EXPECT_NE(protocol.find(expected), std::string::npos) << (protocol.empty() ? "no protocol log" : protocol.substr(0, 2000));
    }
    std::filesystem::remove_all(runtime);
}

} // namespace
} // namespace namoro::e2e
