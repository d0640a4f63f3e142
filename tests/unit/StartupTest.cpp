// From process start to the first event, and the two menu commands.

#include "tests/support/HeadlessGame.h"
#include "runtime/Utf8.h"
#include "web/binding/WebGame.h"

#include <array>
#include <new>
#include <regex>
#include <thread>

using namespace namoro;
using namespace namoro::testing;

TEST(Startup, LoadShowsZeroesAndTheRankForZero)
{
    HeadlessGame game;
    EXPECT_EQ(game.score().text(), "0");
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(game.form1().timeLeft(), runtime::Variant{std::int16_t{60}});
    EXPECT_FALSE(game.form1().startFlag().has_value());
    EXPECT_EQ(game.caption(), "凸(▼△▼メ)");
    EXPECT_EQ(game.random().reseeds, 1);
    EXPECT_EQ(game.form().scaleWidth(), 9750.0f);
    EXPECT_EQ(game.form().scaleHeight(), 8040.0f);
}

TEST(Startup, NoTickOrClickReachesAHandlerBeforeLoad)
{
    // Every tick delivered, so that the gate and not the idle hold is what keeps them out.
    HeadlessGame game(/*start=*/false, {.holdIdleTimers = false});
    int ticks = 0, clicks = 0;
    game.form().timer("Timer14").onTimer = [&] { ++ticks; };
    game.picture(1).onClick = [&] { ++clicks; };
    game.advance(std::chrono::seconds(3));
    game.click(1);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(game.score().text(), "");

    game.game().start();
    EXPECT_EQ(game.score().text(), "0");
    game.advance(std::chrono::seconds(1));
    game.click(1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(Startup, WaitingForeverChangesNothing)
{
    HeadlessGame game;
    std::vector<window::Rect> before;
    for (int item = 1; item <= 17; ++item)
        before.push_back(game.picture(item).rect());
    game.advance(std::chrono::minutes(5));
    for (int item = 1; item <= 17; ++item) {
        EXPECT_EQ(game.picture(item).top(), before[std::size_t(item - 1)].top);
        EXPECT_EQ(game.picture(item).left(), before[std::size_t(item - 1)].left);
    }
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(game.form1().timeLeft(), runtime::Variant{std::int16_t{60}});
}

TEST(MenuCommands, StartTwiceKeepsTheFlagAndTheCountdown)
{
    HeadlessGame game;
    game.start();
    EXPECT_EQ(game.form1().startFlag(), runtime::Variant{std::int16_t{1}});
    game.advanceToNextCountdownTick();
    game.advanceToNextCountdownTick();
    EXPECT_EQ(game.time().text(), "58");
    game.start();
    EXPECT_EQ(game.form1().startFlag(), runtime::Variant{std::int16_t{1}});
    EXPECT_EQ(game.form1().timeLeft(), runtime::Variant{std::int16_t{58}});
    game.advanceToNextCountdownTick();
    EXPECT_EQ(game.time().text(), "57");
}

TEST(MenuCommands, EndEndsAtOnceWithStatusZeroAndNothingRunsAfter)
{
    HeadlessGame game;
    game.start();
    game.choose("MenuEnd");
    EXPECT_EQ(game.endStatus, 0);
    EXPECT_TRUE(game.dispatcher().ended());
    const auto time = game.time().text();
    game.advance(std::chrono::seconds(5));
    game.type(game.score(), "5000");
    EXPECT_EQ(game.time().text(), time);
    EXPECT_EQ(game.score().text(), "0");

    HeadlessGame closed; // closing the window ends the program just as End does
    closed.game().close();
    EXPECT_EQ(closed.endStatus, 0);
    closed.type(closed.score(), "5000");
    EXPECT_EQ(closed.score().text(), "0");
}

TEST(MenuCommands, ARuntimeErrorIsReportedThenEndsTheProgram)
{
    HeadlessGame game;
    game.picture(3).onClick = [] { throw runtime::RuntimeError::overflow(); };
    game.click(3);
    EXPECT_EQ(game.reported, std::vector<int>{6});
    EXPECT_EQ(game.endStatus, 1);
    game.click(3);
    game.dispatcher().end(0); // the window closed in the same batch
    EXPECT_EQ(game.reported.size(), 1u);
    EXPECT_EQ(game.endStatus, 1);

    // The report's own event loop delivers ticks and clicks while it shows: none runs.
    HeadlessGame reporting;
    int during = 0;
    reporting.dispatcher().setErrorReport([&](const runtime::RuntimeError&) {
        reporting.dispatcher().dispatch([&] { ++during; });
    });
    reporting.picture(3).onClick = [] { throw runtime::RuntimeError::overflow(); };
    reporting.click(3);
    EXPECT_EQ(during, 0);
}

namespace {

// What one listener hears, a line for each thing said.
struct Heard final : window::FormListener {
    void pictureMoved(std::size_t i, const window::Rect& before, const window::Rect& after) override
    {
        lines.push_back("picture " + std::to_string(i) + " top " + std::to_string(int(before.top)) + " to " +
                        std::to_string(int(after.top)));
    }
    void textChanged(std::size_t i, const std::string& text) override { lines.push_back("box " + std::to_string(i) + " " + text); }
    void captionChanged(std::size_t i, const std::string& caption) override
    {
        lines.push_back("caption " + std::to_string(i) + " " + caption);
    }
    void errorRaised(const runtime::RuntimeError& error) override
    {
        lines.push_back("error " + std::to_string(error.code()) + " " + error.what());
    }
    void ended(int status) override { lines.push_back("ended " + std::to_string(status)); }
    std::vector<std::string> lines;
};

} // namespace

TEST(MenuCommands, EveryListenerHearsEachChangeByItsPlaceAmongItsKindThenTheErrorAndTheEnd)
{
    HeadlessGame game;
    Heard first, second;
    game.form().listen(first);
    game.form().listen(second);
    game.type(game.score(), "1500"); // the score box is the second box
    window::PictureControl& fifth = *game.form().pictures()[4];
    fifth.setTop(fifth.top() + 15);
    fifth.setTop(fifth.top()); // staying put is no move
    game.form().stopListening(second);
    fifth.onClick = [] { throw runtime::RuntimeError::overflow(); };
    game.click(std::stoi(fifth.name().substr(5))); // ImageN
    const std::string moved = "picture 4 top " + std::to_string(int(fifth.top()) - 15) + " to " + std::to_string(int(fifth.top()));
    EXPECT_EQ(first.lines, (std::vector<std::string>{"box 1 1500", "caption 0 V(◎∀◎)V", moved, "error 6 Overflow", "ended 1"}));
    EXPECT_EQ(second.lines, (std::vector<std::string>{"box 1 1500", "caption 0 V(◎∀◎)V", moved}));
}

TEST(MenuCommands, LoadRunsOnceAndNeverAfterTheEnd)
{
    runtime::EventDispatcher twice, ended;
    int loads = 0;
    const auto load = [&] { ++loads; };
    twice.load(load);
    twice.load(load);
    ended.end(0);
    ended.load(load);
    EXPECT_EQ(loads, 1);
}

TEST(MenuCommands, AnyOtherExceptionIsReportedAsAnInternalErrorThenEndsTheProgram)
{
    HeadlessGame failedSeed(/*start=*/false);
    failedSeed.random().reseedFails = true;
    failedSeed.game().start();
    EXPECT_EQ(failedSeed.reported, std::vector<int>{51});
    EXPECT_EQ(failedSeed.endStatus, 1);

    HeadlessGame game;
    game.picture(3).onClick = [] { throw std::bad_alloc(); };
    game.click(3);
    EXPECT_EQ(game.reported, std::vector<int>{51});
    EXPECT_EQ(game.endStatus, 1);
    EXPECT_EQ(game.dispatcher().phase(), runtime::EventDispatcher::Phase::Ended);
}

TEST(Startup, ThePagesInterfaceRefusesANullGameAndIndicesOutOfRangeAndReadsANullTextAsEmpty)
{
    for (NamoroGame* game : {static_cast<NamoroGame*>(nullptr), namoro_create()}) {
        namoro_start(game);
        namoro_choose(game, 99);
        namoro_choose(game, -1);
        namoro_type(game, 2, "7", 1);
        namoro_type(game, 1, nullptr, 5);
        namoro_type(game, 0, "\"1\\\n", 4);
        namoro_click(game, -5, 100000);
        EXPECT_EQ(namoro_picture_pixels(game, 17), nullptr);
        EXPECT_EQ(std::string(namoro_view(game)).find(R"("texts":["\"1\\\u000a",""],)") != std::string::npos, game != nullptr)
            << namoro_view(game);
        namoro_destroy(game);
    }
}

// The page passes a text's length: a NUL is text like any other; and whatever bytes a box
// holds, the view is UTF-8 (a byte that starts no well-formed sequence shows as U+FFFD).
TEST(Startup, ThePagesInterfaceKeepsANulAndGivesUtf8WhateverTheBoxHolds)
{
    struct Row {
        std::string typed, shown;
    };
    for (const auto& [typed, shown] : {Row{std::string("a\0bc", 4), R"("a\u0000bc")"},
                                       Row{"\xE3\x81\x82\xF0\x9F\x98\x80", "\xE3\x81\x82\xF0\x9F\x98\x80"},
                                       Row{"a\xFF\xC0\x80" "b", "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "b"},
                                       Row{"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                                       Row{"x\xE3\x81", "x\xEF\xBF\xBD\xEF\xBF\xBD"}}) {
        NamoroGame* game = namoro_create();
        namoro_start(game);
        namoro_type(game, 0, typed.data(), typed.size());
        const std::string view = namoro_view(game);
        EXPECT_NE(view.find(R"("texts":[)" + (shown.front() == '"' ? shown : '"' + shown + '"')), std::string::npos) << view;
        for (std::size_t i = 0; i < view.size();) {
            const auto decoded = runtime::decodeUtf8(view, i);
            ASSERT_TRUE(decoded) << "byte " << i << " of " << view;
            i += decoded->second;
        }
        namoro_destroy(game);
    }
}

TEST(Startup, ThePagesViewAfterAStepCarriesOnlyWhatChangedHoweverLongABoxsText)
{
    NamoroGame* game = namoro_create();
    namoro_start(game);
    const auto moves = [](const std::string& view) {
        std::vector<std::array<int, 5>> found; // picture, before, after
        const std::regex move(R"re(\{"picture":(\d+),"before":\[(-?\d+),(-?\d+)\],"after":\[(-?\d+),(-?\d+)\]\})re");
        for (auto m = std::sregex_iterator(view.begin(), view.end(), move); m != std::sregex_iterator(); ++m)
            found.push_back({std::stoi((*m)[1]), std::stoi((*m)[2]), std::stoi((*m)[3]), std::stoi((*m)[4]), std::stoi((*m)[5])});
        return found;
    };
    const auto first = moves(namoro_view(game)); // the page has seen nothing: every picture where it stands
    ASSERT_EQ(first.size(), 17u);
    EXPECT_EQ(std::string(namoro_view(game)),
              R"({"moved":[],"texts":[null,null],"captions":[null],"gameOver":false,"status":-1,"error":null})");

    const std::string megabyte(1 << 20, 'x');
    namoro_type(game, 1, megabyte.data(), megabyte.size()); // a megabyte in the score box, shown once
    EXPECT_GT(std::string(namoro_view(game)).size(), std::size_t{1} << 20);
    namoro_choose(game, 1); // スタート
    namoro_view(game);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    namoro_run_due(game);
    const std::string step = namoro_view(game);
    EXPECT_LT(step.size(), 2000u);
    EXPECT_NE(step.find(R"("texts":[null,null],"captions":[null],)"), std::string::npos) << step;
    const auto fell = moves(step);
    ASSERT_FALSE(fell.empty()) << step; // the items due fell, each from where the page last saw it
    auto seen = first;
    for (const auto& [picture, beforeLeft, beforeTop, afterLeft, afterTop] : fell) {
        EXPECT_EQ((std::array{beforeLeft, beforeTop}), (std::array{seen.at(std::size_t(picture))[3], seen.at(std::size_t(picture))[4]}));
        EXPECT_EQ(afterLeft, beforeLeft);
        EXPECT_GT(afterTop, beforeTop);
        seen.at(std::size_t(picture)) = {picture, beforeLeft, beforeTop, afterLeft, afterTop};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    namoro_run_due(game);
    for (const auto& [picture, beforeLeft, beforeTop, afterLeft, afterTop] : moves(namoro_view(game)))
        EXPECT_EQ((std::array{beforeLeft, beforeTop}), (std::array{seen.at(std::size_t(picture))[3], seen.at(std::size_t(picture))[4]}));
    namoro_destroy(game);
}
