// The game as a screen reader meets it: a session bus and an accessibility bus of its own, and
// the accessible tree read from outside over AT-SPI.
#include "GameOnX.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace namoro::e2e {
namespace {

// Every accessible object's role and name, one a line, as a screen reader walks the tree.
std::string accessibleTree()
{
    xsession::ProcessOptions capture;
    capture.capture = true;
    const char* walk = "import pyatspi\n"
                       "def walk(a): print(a.getRoleName(), a.name); [walk(child) for child in a]\n"
                       "walk(pyatspi.Registry.getDesktop(0))\n";
    return xsession::runCommand({"/usr/bin/python3", "-c", walk}, capture, 20s).output;
}

class ScreenReader : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_);
        const std::string address = "unix:path=" + (dir_ / "bus").string();
        bus_.emplace(std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--address=" + address});
        ASSERT_TRUE(eventually(10s, [&] { return std::filesystem::exists(dir_ / "bus"); }));
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1); // for the game and for the reader
        setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
        // The accessibility bus, with its socket beside ours; its registry starts on demand.
        xsession::ProcessOptions besideOurs;
        besideOurs.environment = {{"XDG_RUNTIME_DIR", dir_.string()}};
        registry_.emplace(std::vector<std::string>{"/usr/libexec/at-spi-bus-launcher", "--launch-immediately"}, besideOurs);
        game_.emplace();
    }
    ~ScreenReader() override { std::filesystem::remove_all(dir_); }

    const std::filesystem::path dir_ = std::filesystem::temp_directory_path() / ("namoro-a11y-" + std::to_string(getpid()));
    std::optional<xsession::Process> bus_;
    std::optional<xsession::Process> registry_;
    std::optional<GameOnX> game_; // ends first
};

TEST_F(ScreenReader, ReadsTheRankCaptionBeforeAndAfterAScoreIsTyped)
{
    ASSERT_TRUE(game_->waitForStartScreen().matches());
    std::string tree;
    const auto shows = [&](const std::string& line) {
        return eventually(10s, [&] { return (tree = accessibleTree()).find("\n" + line + "\n") != std::string::npos; });
    };
    EXPECT_TRUE(shows("label 凸(▼△▼メ)")) << tree;
    EXPECT_TRUE(shows("frame ナモロゲーム")) << tree;
    game_->setScore("1500");
    EXPECT_TRUE(shows("label V(◎∀◎)V")) << tree;
}

} // namespace
} // namespace namoro::e2e
