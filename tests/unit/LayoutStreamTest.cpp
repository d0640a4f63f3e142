// The stored layout stream: what the game embeds, byte by byte, and how a damaged one is refused.

#include "assets/EmbeddedLayout.h"
#include "tools/GifEncoder.h"
#include "tools/LayoutText.h"
#include "tools/LayoutWriter.h"
#include "layout/CodePage932Table.h"
#include "forms/FormBuilder.h"
#include "layout/LayoutReader.h"
#include "layout/ShiftJis.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <vector>

using namespace namoro;
using namespace namoro::window;
using tools::writeLayout;

namespace {

std::vector<std::uint8_t> embedded()
{
    const auto span = assets::form1Layout();
    return {span.begin(), span.end()};
}

const ElementRecord& element(const LayoutDescription& layout, const std::string& name)
{
    const auto it = std::find_if(layout.elements.begin(), layout.elements.end(),
                                 [&](const ElementRecord& e) { return e.name == name; });
    if (it == layout.elements.end())
        throw std::runtime_error("no element " + name);
    return *it;
}

std::size_t offsetOf(const std::vector<std::uint8_t>& bytes, const std::string& text)
{
    const auto it = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    if (it == bytes.end())
        throw std::runtime_error("not in the stream: " + text);
    return static_cast<std::size_t>(it - bytes.begin());
}

std::string errorField(const std::vector<std::uint8_t>& bytes)
{
    const auto result = readLayout(bytes);
    return result ? "(read without error)" : result.error().field;
}

struct ItemRow {
    int item;
    TwipRect rect;
    int timer;
    int interval;
};

const ItemRow kItemTable[] = {
    {1, {120, 240, 690, 645}, 1, 38},     {2, {6960, 360, 690, 555}, 2, 200},   {3, {2040, 120, 1110, 660}, 3, 15},
    {4, {2880, 240, 645, 570}, 4, 50},    {5, {4320, 240, 795, 555}, 5, 45},    {6, {6120, 240, 720, 600}, 6, 25},
    {7, {7800, 240, 705, 690}, 7, 37},    {8, {5400, 120, 615, 750}, 8, 12},    {9, {840, 120, 810, 765}, 9, 29},
    {10, {1440, 120, 855, 705}, 10, 1},   {11, {3600, 2640, 840, 675}, 11, 1000}, {12, {8760, 240, 630, 645}, 12, 540},
    {13, {3600, 240, 810, 600}, 13, 1},   {14, {1080, 1440, 735, 645}, 15, 35}, {15, {4920, 1080, 690, 540}, 16, 20},
    {16, {3000, 1200, 645, 480}, 17, 27}, {17, {6480, 960, 660, 615}, 18, 16},
};

} // namespace

TEST(EmbeddedLayout, HoldsTheWindowAndAll41ElementsInCreationOrder)
{
    const auto layout = readLayout(embedded());
    ASSERT_TRUE(layout) << layout.error().message();

    const WindowRecord& w = layout->window;
    EXPECT_EQ(layout->version, 65u);
    EXPECT_EQ(w.name, "Form1");
    EXPECT_EQ(w.caption, "Form1");
    EXPECT_EQ(w.backColour, 0x00FFC0C0u);
    EXPECT_EQ(w.unreadText, "B");
    EXPECT_EQ(w.unreadValue, -1);
    EXPECT_EQ(w.unreadName, "Form1");
    EXPECT_EQ(w.innerArea, (ScreenArea{2805, 2460, 9750, 8040}));

    std::vector<std::string> names;
    for (const auto& e : layout->elements) {
        EXPECT_EQ(e.index, names.size() + 1);
        names.push_back(e.name);
    }
    std::vector<std::string> expected = {"Timer18", "Timer17", "Timer16", "Timer15", "Text2", "Timer14", "Text1"};
    for (int t = 13; t >= 1; --t)
        expected.push_back("Timer" + std::to_string(t));
    for (int i : {17, 16, 15, 14})
        expected.push_back("Image" + std::to_string(i));
    expected.push_back("Label1");
    for (int i = 13; i >= 1; --i)
        expected.push_back("Image" + std::to_string(i));
    for (const char* menu : {"MenuGame", "MenuStart", "MenuEnd"})
        expected.push_back(menu);
    EXPECT_EQ(names, expected);

    for (const ItemRow& row : kItemTable) {
        const auto& picture = std::get<PictureRecord>(element(*layout, "Image" + std::to_string(row.item)).body);
        EXPECT_EQ(picture.rect, row.rect) << "Image" << row.item;
        EXPECT_TRUE(picture.gif && !picture.gif->empty());
        const auto& timer = std::get<TimerRecord>(element(*layout, "Timer" + std::to_string(row.timer)).body);
        EXPECT_EQ(timer.interval, row.interval) << "Timer" << row.timer;
    }
    EXPECT_EQ(std::get<TimerRecord>(element(*layout, "Timer14").body).interval, 1000);

    const auto& text1 = std::get<TextBoxRecord>(element(*layout, "Text1").body);
    EXPECT_EQ(text1.rect, (TwipRect{8640, 7800, 1095, 270}));
    EXPECT_EQ(text1.tabIndex, 0);
    const auto& text2 = std::get<TextBoxRecord>(element(*layout, "Text2").body);
    EXPECT_EQ(text2.rect, (TwipRect{0, 7800, 1215, 270}));
    EXPECT_EQ(text2.tabIndex, 2);

    const auto& label = std::get<LabelRecord>(element(*layout, "Label1").body);
    EXPECT_EQ(label.backColour, 0x00FFC0C0u);
    EXPECT_EQ(label.foreColour, 0x000000FFu);
    EXPECT_EQ(label.rect, (TwipRect{0, 7320, 2055, 495}));
    EXPECT_EQ(label.tabIndex, 1);
    EXPECT_EQ(label.alignment, 2);
    EXPECT_EQ(label.font, (FontRecord{1, 128, 0, 700, 157500, *utf8ToShiftJis("HGS創英角ﾎﾟｯﾌﾟ体")}));

    const auto& game = std::get<MenuRecord>(element(*layout, "MenuGame").body);
    EXPECT_TRUE(game.topLevel);
    EXPECT_EQ(shiftJisToUtf8(game.caption.value()), "ナモロゲーム");
    EXPECT_EQ(game.unreadFlag, 0xFF);
    EXPECT_EQ(std::get<MenuRecord>(element(*layout, "MenuStart").body), (MenuRecord{false, *utf8ToShiftJis("スタート"), {}}));
    EXPECT_EQ(std::get<MenuRecord>(element(*layout, "MenuEnd").body), (MenuRecord{false, *utf8ToShiftJis("エンド"), {}}));
}

TEST(EmbeddedLayout, WritesBackByteForByteAndSurvivesItsTextForm)
{
    const auto bytes = embedded();
    const auto layout = readLayout(bytes);
    ASSERT_TRUE(layout);
    const auto written = writeLayout(*layout);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, bytes);

    const auto noFiles = [](const std::string&) -> runtime::Expected<std::vector<std::uint8_t>, std::string> {
        return runtime::Unexpected{std::string("no files here")};
    };
    const auto reparsed = tools::parseLayoutText(tools::printLayoutText(*layout), noFiles);
    ASSERT_TRUE(reparsed) << reparsed.error();
    EXPECT_EQ(*reparsed, *layout);
}

TEST(LayoutStream, EncodesEachKindOfRecordExactly)
{
    LayoutDescription layout;
    layout.window = {"F", "A", 0x00FFC0C0u, "B", -1, "F", ScreenArea{1, 2, 3, 4}};
    layout.elements.push_back({1, "T", TimerRecord{16, 7, 8}});
    layout.elements.push_back({2, "X", TextBoxRecord{TwipRect{1, 2, 3, 4}, 2}});
    layout.elements.push_back({3, "I", PictureRecord{std::vector<std::uint8_t>{0xAA, 0xBB}, TwipRect{5, 6, 7, 8}}});
    layout.elements.push_back({4, "L", LabelRecord{0x00FFC0C0u, 0xFFu, TwipRect{0, 1, 2, 3}, 1, 2,
                                                   FontRecord{1, 128, 0, 700, 157500, "\x91\xCC"}}}); // 体
    layout.elements.push_back({5, "M", MenuRecord{true, "\x83\x51", 0xFF}}); // ゲ
    layout.elements.push_back({6, "S", MenuRecord{false, "\x83\x58", {}}}); // ス

    const std::vector<std::uint8_t> expected = {
        0xEC, 0, 0, 0,                   // stream length: 236
        65, 0, 0, 0,                     // layout version
        // window: index 0, name "F", kind 13
        0, 1, 0, 'F', 0, 13,
        1, 1, 0, 'A', 0,                 // caption "A"
        3, 0xC0, 0xC0, 0xFF, 0,          // back colour
        0x19, 1, 0, 'B', 0,              // unread text "B"
        0x23, 0xFF, 0xFF, 0xFF, 0xFF,    // unread value -1
        0x24, 1, 0, 'F', 0,              // unread name "F"
        0x35, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, // inner area
        0xFF,
        // marker 0x01, timer "T": length 26, index 1, kind 11, interval 16, layout position 7, 8
        0x01, 26, 0, 0, 0, 1, 1, 0, 'T', 0, 11,
        3, 16, 0, 0, 0, 7, 7, 0, 0, 0, 8, 8, 0, 0, 0, 0xFF,
        // marker 0x03, text box "X": rect 1 2 3 4, tab position 2
        0x03, 23, 0, 0, 0, 2, 1, 0, 'X', 0, 2,
        4, 1, 0, 2, 0, 3, 0, 4, 0, 0x12, 2, 0, 0xFF,
        // marker 0x03, picture "I": 10 bytes of picture data ("lt", two zeros, GIF length 2, GIF), rect
        0x03, 35, 0, 0, 0, 3, 1, 0, 'I', 0, 24,
        2, 10, 0, 0, 0, 'l', 't', 0, 0, 2, 0, 0, 0, 0xAA, 0xBB,
        3, 5, 0, 6, 0, 7, 0, 8, 0, 0xFF,
        // marker 0x03, label "L": colours, rect, tab 1, alignment 2, font (version, charset, flags, weight, size, name)
        0x03, 49, 0, 0, 0, 4, 1, 0, 'L', 0, 1,
        3, 0xC0, 0xC0, 0xFF, 0, 4, 0xFF, 0, 0, 0,
        5, 0, 0, 1, 0, 2, 0, 3, 0, 0x12, 1, 0, 0x14, 2,
        0x25, 1, 128, 0, 0, 0xBC, 2, 0x3C, 0x67, 2, 0, 2, 0x91, 0xCC, 0xFF,
        // marker 0x02 0x05, menu "M": caption "ゲ" in code page 932, flag 0xFF
        0x02, 0x05, 19, 0, 0, 0, 5, 1, 0, 'M', 0, 19, 3, 2, 0, 0x83, 0x51, 0, 7, 0xFF, 0xFF,
        // marker 0x02, command "S": caption "ス"
        0x02, 17, 0, 0, 0, 6, 1, 0, 'S', 0, 19, 3, 2, 0, 0x83, 0x58, 0, 0xFF,
        0x03, 0x03, 0x04,
    };
    const auto written = writeLayout(layout);
    ASSERT_TRUE(written) << written.error().message();
    EXPECT_EQ(*written, expected);
    const auto read = readLayout(expected);
    ASSERT_TRUE(read) << read.error().message();
    EXPECT_EQ(*read, layout);
}

TEST(LayoutStream, RefusesTextsThatAreNotCodePage932)
{
    LayoutDescription layout;
    layout.window.name = "F";
    layout.window.caption = "\x81"; // a lead byte without its trail
    const auto written = writeLayout(layout);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().field, "F.caption");
}

TEST(LayoutStream, WritesEveryCharacterTheCodePageHasTwiceAsTheSystemsIconvDoes)
{
    const auto iconvCp932 = [](std::string utf8) {
        const iconv_t cd = iconv_open("CP932", "UTF-8");
        char out[8];
        char *in = utf8.data(), *end = out;
        std::size_t inLeft = utf8.size(), outLeft = sizeof out;
        const bool done = cd != iconv_t(-1) && iconv(cd, &in, &inLeft, &end, &outLeft) != std::size_t(-1);
        if (cd != iconv_t(-1))
            iconv_close(cd);
        return done ? std::optional<std::string>(std::string(out, end)) : std::nullopt;
    };
    ASSERT_EQ(codePage932OtherForms().size(), 398u);
    for (const std::uint16_t code : codePage932OtherForms()) {
        const auto utf8 = shiftJisToUtf8(std::string{char(code >> 8), char(code & 0xFF)});
        ASSERT_TRUE(utf8) << std::hex << code;
        EXPECT_EQ(utf8ToShiftJis(*utf8), iconvCp932(*utf8)) << *utf8;
    }
}

TEST(LayoutStream, EveryTruncationIsAnErrorNeverAHalfBuiltWindow)
{
    const auto bytes = embedded();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        const auto asIs = readLayout(cut);
        ASSERT_FALSE(asIs) << size;
        if (size >= 4) {
            ASSERT_EQ(asIs.error().field, "stream-length") << size;
        }
        // With a length that agrees, the reader must find where the data runs out.
        if (size >= 8) {
            for (int i = 0; i < 4; ++i)
                cut[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
            const auto patched = readLayout(cut);
            ASSERT_FALSE(patched) << size;
            ASSERT_FALSE(patched.error().field.empty());
        }
    }
}

TEST(LayoutStream, NamesTheFieldThatIsWrong)
{
    const auto good = embedded();
    const std::size_t timer18Name = offsetOf(good, std::string("Timer18") + '\0');
    const std::size_t timer18Record = timer18Name - 2 - 1 - 4;
    const std::size_t timer18Kind = timer18Name + 8;
    const std::size_t image17Tag = offsetOf(good, std::string("lt\0\0", 4));
    const std::size_t fontVersion = offsetOf(good, "HGS") - 11; // the font name begins "HGS"

    const auto damaged = [&](std::size_t at, std::uint8_t value) {
        auto bytes = good;
        bytes.at(at) = value;
        return errorField(bytes);
    };
    EXPECT_EQ(damaged(0, std::uint8_t(good[0] + 1)), "stream-length");
    EXPECT_EQ(damaged(4, 66), "layout-version");
    EXPECT_EQ(damaged(8, 1), "window.index");
    EXPECT_EQ(damaged(timer18Record - 1, 0x07), "element 1.marker");
    EXPECT_EQ(damaged(timer18Record, std::uint8_t(good[timer18Record] + 1)), "Timer18.length");
    EXPECT_EQ(damaged(timer18Record, std::uint8_t(good[timer18Record] - 1)), "Timer18.property-code");
    EXPECT_EQ(damaged(timer18Record, 5), "element 1.length");
    EXPECT_EQ(damaged(timer18Record + 3, 0x7F), "element 1.length");
    EXPECT_EQ(damaged(timer18Record + 4, 9), "element 1.index");
    EXPECT_EQ(damaged(timer18Kind, 99), "Timer18.kind");
    EXPECT_EQ(damaged(timer18Kind, 19), "Timer18.kind"); // a menu kind behind a control marker
    EXPECT_EQ(damaged(timer18Kind + 1, 0x42), "Timer18.property-code");
    EXPECT_EQ(damaged(image17Tag, 'x'), "Image17.picture.tag");
    EXPECT_EQ(damaged(image17Tag + 4, std::uint8_t(good[image17Tag + 4] + 1)), "Image17.picture.gif-length");
    EXPECT_EQ(damaged(fontVersion, 2), "Label1.font.version"); // a font record of another version
    EXPECT_EQ(damaged(good.size() - 1, 0x05), "closing");

    const auto message = readLayout(std::vector<std::uint8_t>(good.begin(), good.end() - 1)).error().message();
    EXPECT_NE(message.find("stream-length"), std::string::npos);
    EXPECT_NE(message.find("offset 0"), std::string::npos);
}

TEST(LayoutStream, ABadPictureStopsTheWindowBeingBuilt)
{
    runtime::VirtualClock clock;
    runtime::TimerScheduler scheduler(clock);
    runtime::EventDispatcher dispatcher;

    auto bytes = embedded();
    const std::size_t gif = offsetOf(bytes, "GIF89a");
    bytes[gif + 4] = '7'; // "GIF87a"
    auto form = loadForm(bytes, scheduler, dispatcher);
    ASSERT_FALSE(form);
    EXPECT_EQ(form.error().field, "Image17.picture.gif.signature");

    bytes = embedded();
    bytes[gif + 6] = 50; // the logical screen narrower than the control
    form = loadForm(bytes, scheduler, dispatcher);
    ASSERT_FALSE(form);
    EXPECT_EQ(form.error().field.rfind("Image17.", 0), 0u) << form.error().message();
    EXPECT_TRUE(loadForm(embedded(), scheduler, dispatcher));

    // Two elements of one name, one named like the window, and a picture control without a
    // picture that is not empty.
    const auto builderRefuses = [&](std::vector<ElementRecord> elements) {
        LayoutDescription layout;
        layout.window.name = "Form1";
        layout.elements = std::move(elements);
        const auto built = buildForm(layout, scheduler, dispatcher);
        return built ? "(built)" : built.error().field;
    };
    EXPECT_EQ(builderRefuses({{1, "T", TimerRecord{}}, {2, "T", TextBoxRecord{}}}), "T.name");
    EXPECT_EQ(builderRefuses({{1, "Form1", TimerRecord{}}}), "Form1.name");
    EXPECT_EQ(builderRefuses({{1, "I", PictureRecord{{}, TwipRect{0, 0, 15, 0}}}}), "I.rect.width");
    EXPECT_EQ(builderRefuses({{1, "I", PictureRecord{{}, TwipRect{0, 0, 0, 15}}}}), "I.rect.height");
}

namespace {

// An element record: its length, index, name, kind, the property bytes and the end byte.
std::vector<std::uint8_t> record(std::uint8_t index, const std::string& name, std::uint8_t kind,
                                 std::vector<std::uint8_t> properties)
{
    std::string r = std::string(4, '\0') + char(index) + char(name.size()) + '\0' + name + '\0' + char(kind) +
                    std::string(properties.begin(), properties.end()) + '\xFF';
    r[0] = char(r.size());
    return {r.begin(), r.end()};
}

// A stream of the bare window "F" with the given markers and records, its length filled in.
std::vector<std::uint8_t> stream(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> s = {0, 0, 0, 0, 65, 0, 0, 0, 0, 1, 0, 'F', 0, 13, 0xFF};
    for (const auto& part : parts)
        s.insert(s.end(), part.begin(), part.end());
    s.insert(s.end(), {3, 3, 4});
    s[0] = std::uint8_t(s.size());
    return s;
}

} // namespace

TEST(LayoutText, EveryStreamTheReaderTakesComesBackThroughItsTextByteForByte)
{
    const auto noFiles = [](const std::string&) -> runtime::Expected<std::vector<std::uint8_t>, std::string> {
        return runtime::Unexpected{std::string("no files here")};
    };
    // The field the reader refuses, or "" when printing and compiling gave back the same bytes.
    const auto roundTrip = [&](const std::vector<std::uint8_t>& bytes) -> std::string {
        const auto layout = readLayout(bytes);
        if (!layout)
            return layout.error().field;
        const auto text = tools::parseLayoutText(tools::printLayoutText(*layout), noFiles);
        if (!text)
            return "text: " + text.error();
        const auto written = writeLayout(*text);
        if (!written)
            return "writer: " + written.error().message();
        return *written == bytes ? "" : "written back differently";
    };

    // Names and texts of any characters the stream holds are carried, quoted and escaped.
    for (const std::string& odd : {std::string(), std::string("two words"), std::string("\rimer6"), std::string("#1"),
                                  std::string("\"W\""), std::string("back\\slash"), std::string("nul\0", 4),
                                  *utf8ToShiftJis("改\n行\x7F")}) {
        LayoutDescription layout;
        layout.window = {odd, odd, {}, odd, {}, {}, {}};
        layout.elements.push_back({1, odd, MenuRecord{true, odd, {}}});
        const auto bytes = writeLayout(layout);
        ASSERT_TRUE(bytes) << bytes.error().message();
        EXPECT_EQ(roundTrip(*bytes), "") << odd;
    }

    // A character the code page has twice reads as its standard twin and is written back in the
    // code it came in: NEC row 13 (≒), NEC-selected IBM (纊) and IBM (Ⅰ) extensions.
    struct Twin {
        const char* second;
        const char* standard;
        const char* printed;
    };
    for (const Twin& twin : {Twin{"\x87\x90", "\x81\xE0", "\\x87\\x90"}, Twin{"\xED\x40", "\xFA\x5C", "\\xED\\x40"},
                             Twin{"\xFA\x4A", "\x87\x54", "\\xFA\\x4A"}}) {
        LayoutDescription layout;
        layout.window = {twin.second, twin.second, {}, {}, {}, {}, {}};
        const auto bytes = writeLayout(layout);
        ASSERT_TRUE(bytes) << bytes.error().message();
        EXPECT_EQ(roundTrip(*bytes), "") << twin.printed;
        EXPECT_EQ(shiftJisToUtf8(twin.second), shiftJisToUtf8(twin.standard));
        EXPECT_NE(tools::printLayoutText(*readLayout(*bytes)).find(std::string("caption \"") + twin.printed + '"'),
                  std::string::npos);
    }

    // What the description cannot carry, the reader refuses.
    EXPECT_EQ(roundTrip(stream({{1}, record(1, "T", 11, {7, 1, 0, 0, 0, 3, 16, 0, 0, 0})})), "T.property-code");
    EXPECT_EQ(roundTrip(stream({{1}, record(1, "I", 24, {2, 8, 0, 0, 0, 'l', 't', 0, 0, 0, 0, 0, 0})})),
              "I.picture.size");
    EXPECT_EQ(roundTrip(stream({{1}, record(1, "\x81", 11, {})})), "element 1.name");
    EXPECT_EQ(roundTrip(stream({{2, 5}, record(1, "M", 19, {}), {3}, record(2, "T", 11, {})})), "element 2.marker");
    EXPECT_EQ(roundTrip(stream({{1}, record(1, "T", 11, {}), {1}, record(2, "U", 11, {})})), "element 2.marker");
    EXPECT_NE(roundTrip(stream({{2, 5}, record(1, "M", 19, {}), {2, 5}, record(2, "N", 19, {})})), "");
    EXPECT_EQ(roundTrip(stream({{1}, record(1, "T", 11, {})})), "");

    // ... and the writer will not make it.
    const auto writerRefuses = [](std::vector<ElementRecord> elements) {
        LayoutDescription layout;
        layout.elements = std::move(elements);
        const auto written = writeLayout(layout);
        return written ? "(written)" : written.error().field;
    };
    EXPECT_EQ(writerRefuses({{1, "M", MenuRecord{true, {}, {}}}, {2, "T", TimerRecord{}}}), "T.marker");
    EXPECT_EQ(writerRefuses({{1, "M", MenuRecord{true, {}, {}}}, {2, "N", MenuRecord{true, {}, {}}}}), "N.marker");
    EXPECT_EQ(writerRefuses({{1, "S", MenuRecord{false, {}, {}}}}), "S.marker");
    EXPECT_EQ(writerRefuses({{1, "I", PictureRecord{std::vector<std::uint8_t>{}, {}}}}), "I.picture");
    EXPECT_EQ(writerRefuses({{2, "T", TimerRecord{}}}), "T.index");

    // A quoted name in the text is the name, without its quotes.
    const auto quoted = tools::parseLayoutText("window \"W\"\nend\ntimer 1 \"T 1\"\nend\n", noFiles);
    ASSERT_TRUE(quoted) << quoted.error();
    EXPECT_EQ(quoted->window.name, "W");
    EXPECT_EQ(quoted->elements.at(0).name, "T 1");
    // A byte that is no character shows in a message as the layout text writes bytes.
    const auto notText = tools::parseLayoutText("window W\nend\nmenu 39 Menu\x82\nend\n", noFiles);
    ASSERT_FALSE(notText);
    EXPECT_NE(notText.error().find("\"Menu\\x82\""), std::string::npos) << notText.error();
    // A stored name in a message reads as the name; a control character or a byte that is no
    // character shows as \xHH, in its place.
    LayoutDescription misplaced;
    misplaced.elements.push_back({2, *utf8ToShiftJis("タイマーﾀ"), TimerRecord{}});
    EXPECT_EQ(tools::readableShiftJis(writeLayout(misplaced).error().field + " \x81\n\x83"),
              "タイマーﾀ.index \\x81\\x0A\\x83");
    // A byte-order mark before the text, as some editors write, is no part of it.
    const auto marked = tools::parseLayoutText("\xEF\xBB\xBFwindow W\nend\ntimer 1 T\nend\n", noFiles);
    ASSERT_TRUE(marked) << marked.error();
    EXPECT_EQ(*marked, *tools::parseLayoutText("window W\nend\ntimer 1 T\nend\n", noFiles));
}

TEST(LayoutStream, APictureDecodesToItsEdgesAndACorruptOneIsAnErrorNeverACrashNorAHugeAllocation)
{
    const auto fromHex = [](std::string_view hex) {
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
        return bytes;
    };
    // giflib fails on the first three without an error code; it would take 2 GiB for the last.
    const struct {
        std::string_view hex;
        std::string_view field;
    } kCorrupt[] = {
        {"474946383961010001000000002c000000000100010000", "frame"},    // ends before the LZW code size
        {"474946383961010001000000002c00000000010000000002", "frame"},  // 1 x 0 on a 1 x 1 screen
        {"474946383961010001000000002c00000000ffffffff0002", "frame"},  // 65535 x 65535 on a 1 x 1 screen
        {"474946383961ff7fffff0000002c00000000ff7fffff0002", "screen"}, // 32767 x 65535
        {"4749463839618908010000003b", "screen"},                         // 2185 x 1, a pixel too wide
        {"47494638396101000100800000000000ffffff2c00000000010001000002025401003b", "image-data"}, // index 2 of 2
        {"47494638396101000100800000000000ffffff2c01000000010001000002024c01003b", "frame"}, // at (1, 0)
        {"47494638396101000100800000000000ffffff2c00000100010001000002024c01003b", "frame"}, // at (0, 1)
        {"47494638396101000100800000000000ffffff2c00000000010001004002024c01003b", "frame"}, // interlaced
        {"47494638396101000100800000000000ffffff2c00000000010001000002024c01002c00000000010001000002024c01003b",
         "frames"}, // a second frame
    };
    auto layout = readLayout(embedded());
    ASSERT_TRUE(layout);
    auto& image17 = std::get<PictureRecord>(std::find_if(layout->elements.begin(), layout->elements.end(), [](auto& e) {
        return e.name == "Image17";
    })->body);
    image17.rect->width = image17.rect->height = kTwipsPerPixel; // a control for a 1 x 1 picture
    runtime::VirtualClock clock;
    runtime::TimerScheduler scheduler(clock);
    runtime::EventDispatcher dispatcher;
    for (const auto& corrupt : kCorrupt) {
        SCOPED_TRACE(corrupt.hex);
        const auto gif = fromHex(corrupt.hex);
        const auto decoded = decodeGif(gif);
        ASSERT_FALSE(decoded);
        EXPECT_EQ(decoded.error().field, corrupt.field) << decoded.error().problem;
        EXPECT_FALSE(decoded.error().problem.empty());

        image17.gif = gif;
        const auto form = buildForm(*layout, scheduler, dispatcher);
        ASSERT_FALSE(form);
        EXPECT_EQ(form.error().field.rfind("Image17.", 0), 0u) << form.error().message();
    }

    // The widest picture, and the first of two control extensions (216 clear, then 0 clear).
    const auto widest = decodeGif(*tools::encodeGif({kLargestPictureSide, 1, std::vector<std::uint8_t>(kLargestPictureSide, 0)}));
    EXPECT_TRUE(widest) << widest.error().problem;
    auto twoControls = *tools::encodeGif({2, 1, {0, 216}});
    twoControls.insert(twoControls.begin() + 13 + 768 + 8, {0x21, 0xF9, 4, 0x01, 0, 0, 0, 0});
    const auto first = decodeGif(twoControls);
    ASSERT_TRUE(first) << first.error().problem;
    EXPECT_EQ(first->argb, (std::vector<std::uint32_t>{0xFF000000u, 0}));
    EXPECT_TRUE(decodeGif(fromHex("47494638396101000100800000000000ffffff2c00000000010001000002024c01003b"))); // 1 of 2
}
