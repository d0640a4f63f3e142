#include "LayoutText.h"

#include "runtime/Utf8.h"
#include "window/ShiftJis.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <limits>
#include <sstream>

namespace namoro::tools {
namespace {

using namespace window;

struct ParseFailure {
    std::string message;
};

struct Word {
    std::string text;
    bool quoted = false;
    // The word as a stored text: its characters in code page 932 and each \xHH as that byte;
    // nothing when a character has no code page 932 form.
    std::optional<std::string> shiftJis = std::string();

    void addCharacters(std::string_view utf8)
    {
        text += utf8;
        const auto encoded = utf8ToShiftJis(utf8);
        if (shiftJis && encoded)
            *shiftJis += *encoded;
        else
            shiftJis.reset();
    }
    void addByte(char byte)
    {
        text += byte;
        if (shiftJis)
            *shiftJis += byte;
    }
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One line's words. A quoted word keeps its spaces; \" \\ and \xHH stand for the quote, the
// backslash and any byte of the stored text, so a text can hold line breaks and other control
// characters, and the second code of a character the code page has twice.
std::vector<Word> splitWords(std::string_view line, int lineNumber)
{
    const auto fail = [&](const std::string& problem) {
        throw ParseFailure{"line " + std::to_string(lineNumber) + ": " + problem};
    };
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else if (line[i] == '"') {
            Word word{"", true};
            std::size_t run = i + 1; // characters since the last escape
            const auto flush = [&](std::size_t end) { word.addCharacters(line.substr(run, end - run)); };
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] != '\\') {
                    continue;
                } else if (i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    flush(i);
                    word.addByte(line[++i]);
                    run = i + 1;
                } else if (i + 3 < line.size() && line[i + 1] == 'x' && hexDigit(line[i + 2]) >= 0 &&
                           hexDigit(line[i + 3]) >= 0) {
                    flush(i);
                    word.addByte(static_cast<char>(hexDigit(line[i + 2]) * 16 + hexDigit(line[i + 3])));
                    i += 3;
                    run = i + 1;
                } else {
                    fail("a backslash in a text stands before \", \\ or xHH");
                }
            }
            if (i == line.size())
                fail("unterminated text");
            flush(i);
            ++i;
            words.push_back(std::move(word));
        } else {
            const std::size_t end = std::min(line.find_first_of(" \t\r", i), line.size());
            Word word;
            word.addCharacters(line.substr(i, end - i));
            words.push_back(std::move(word));
            i = end;
        }
    }
    return words;
}

class Line {
public:
    Line(int number, std::vector<Word> words) : number_(number), words_(std::move(words))
    {
        if (words_.front().quoted)
            fail("a line starts with a word, not a text");
    }

    const std::string& key() const { return words_.front().text; }
    [[noreturn]] void fail(const std::string& problem) const
    {
        throw ParseFailure{"line " + std::to_string(number_) + ", " + key() + ": " + problem};
    }
    void expectCount(std::size_t values) const
    {
        if (words_.size() != values + 1)
            fail("expects " + std::to_string(values) + " value(s)");
    }

    template <class T>
    T number(std::size_t at) const
    {
        const std::string& word = bare(at);
        long long value = 0;
        const bool hexadecimal = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
        const char* first = word.data() + (hexadecimal ? 2 : 0);
        const auto [end, error] = std::from_chars(first, word.data() + word.size(), value, hexadecimal ? 16 : 10);
        if (error != std::errc{} || end != word.data() + word.size() || value < std::numeric_limits<T>::min() ||
            value > static_cast<long long>(std::numeric_limits<T>::max()))
            fail("\"" + word + "\" is not a number that fits");
        return static_cast<T>(value);
    }
    template <class T>
    T single() const
    {
        expectCount(1);
        return number<T>(1);
    }
    std::string text(std::size_t at = 1) const
    {
        if (at == 1)
            expectCount(1);
        if (!words_.at(at).quoted)
            fail("expects a text in double quotes");
        return words_[at].text;
    }
    // A text as the stream keeps it, in code page 932.
    std::string storedText(std::size_t at = 1) const
    {
        text(at);
        return stored(at);
    }
    // A name stands bare or, when it holds spaces or other characters a bare word cannot, quoted.
    std::string storedName(std::size_t at) const { return stored(at); }
    const std::string& bare(std::size_t at) const
    {
        if (words_.at(at).quoted)
            fail("expects a value without quotes");
        return words_[at].text;
    }
    TwipRect rect() const
    {
        expectCount(4);
        return {number<std::int16_t>(1), number<std::int16_t>(2), number<std::int16_t>(3), number<std::int16_t>(4)};
    }

private:
    std::string stored(std::size_t at) const
    {
        const auto& shiftJis = words_.at(at).shiftJis;
        if (!shiftJis)
            fail("\"" + words_[at].text + "\" has no code page 932 form");
        return *shiftJis;
    }

    int number_;
    std::vector<Word> words_;
};

template <class T>
void set(const Line& line, std::optional<T>& slot, T value)
{
    if (slot)
        line.fail("given twice");
    slot = std::move(value);
}

std::vector<std::uint8_t> hexBytes(const Line& line)
{
    line.expectCount(1);
    const std::string& hex = line.bare(1);
    if (hex.size() % 2 != 0)
        line.fail("odd number of hex digits");
    std::vector<std::uint8_t> bytes(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (std::from_chars(hex.data() + 2 * i, hex.data() + 2 * i + 2, bytes[i], 16).ptr != hex.data() + 2 * i + 2)
            line.fail("\"" + hex.substr(2 * i, 2) + "\" is not a hex byte");
    }
    return bytes;
}

class Parser {
public:
    explicit Parser(const PictureLoader& loadPicture) : loadPicture_(loadPicture) {}

    LayoutDescription parse(std::string_view text)
    {
        LayoutDescription layout;
        std::vector<Line> block;
        bool sawWindow = false;
        int lineNumber = 0;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            ++lineNumber;
            auto words = splitWords(text.substr(start, end - start), lineNumber);
            start = end + 1;
            if (words.empty())
                continue;
            Line line(lineNumber, std::move(words));
            if (block.empty() && line.key() == "layout-version") {
                layout.version = line.single<std::uint32_t>();
                continue;
            }
            if (line.key() != "end") {
                block.push_back(std::move(line));
                continue;
            }
            if (block.empty())
                line.fail("no record to end");
            if (block.front().key() == "window") {
                if (sawWindow)
                    block.front().fail("a second window");
                layout.window = window(block);
                sawWindow = true;
            } else {
                if (!sawWindow)
                    block.front().fail("elements come after the window");
                layout.elements.push_back(element(block));
            }
            block.clear();
        }
        if (!block.empty())
            block.front().fail("record has no \"end\"");
        if (!sawWindow)
            throw ParseFailure{"no window record"};
        return layout;
    }

private:
    WindowRecord window(const std::vector<Line>& block)
    {
        WindowRecord w;
        block.front().expectCount(1);
        w.name = block.front().storedName(1);
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            if (l.key() == "caption") set(l, w.caption, l.storedText());
            else if (l.key() == "back-colour") set(l, w.backColour, l.single<std::uint32_t>());
            else if (l.key() == "unread-text") set(l, w.unreadText, l.storedText());
            else if (l.key() == "unread-value") set(l, w.unreadValue, l.single<std::int32_t>());
            else if (l.key() == "unread-name") set(l, w.unreadName, l.storedText());
            else if (l.key() == "inner-area") {
                l.expectCount(4);
                set(l, w.innerArea, ScreenArea{l.number<std::int32_t>(1), l.number<std::int32_t>(2),
                                               l.number<std::int32_t>(3), l.number<std::int32_t>(4)});
            } else l.fail("not a window property");
        }
        return w;
    }

    ElementRecord element(const std::vector<Line>& block)
    {
        const Line& head = block.front();
        head.expectCount(2);
        ElementRecord e;
        e.index = head.number<std::uint8_t>(1);
        e.name = head.storedName(2);
        const std::string& kind = head.key();
        if (kind == "timer") e.body = timer(block);
        else if (kind == "textbox") e.body = textBox(block);
        else if (kind == "picture") e.body = picture(block);
        else if (kind == "label") e.body = label(block);
        else if (kind == "menu" || kind == "command") e.body = menu(block, kind == "menu");
        else head.fail("not an element kind (timer, textbox, picture, label, menu, command)");
        return e;
    }

    static TimerRecord timer(const std::vector<Line>& block)
    {
        TimerRecord t;
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            if (l.key() == "interval") set(l, t.interval, l.single<std::int32_t>());
            else if (l.key() == "layout-x") set(l, t.layoutX, l.single<std::int32_t>());
            else if (l.key() == "layout-y") set(l, t.layoutY, l.single<std::int32_t>());
            else l.fail("not a timer property");
        }
        return t;
    }

    static TextBoxRecord textBox(const std::vector<Line>& block)
    {
        TextBoxRecord t;
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            if (l.key() == "rect") set(l, t.rect, l.rect());
            else if (l.key() == "tab-index") set(l, t.tabIndex, l.single<std::int16_t>());
            else l.fail("not a text box property");
        }
        return t;
    }

    PictureRecord picture(const std::vector<Line>& block)
    {
        PictureRecord p;
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            if (l.key() == "rect") {
                set(l, p.rect, l.rect());
            } else if (l.key() == "picture-file") {
                auto gif = loadPicture_(l.text());
                if (!gif)
                    l.fail(gif.error());
                set(l, p.gif, std::move(gif).value());
            } else if (l.key() == "gif-hex") {
                const auto bytes = hexBytes(l);
                if (!p.gif)
                    p.gif.emplace();
                p.gif->insert(p.gif->end(), bytes.begin(), bytes.end());
            } else {
                l.fail("not a picture property");
            }
        }
        return p;
    }

    static LabelRecord label(const std::vector<Line>& block)
    {
        LabelRecord r;
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            if (l.key() == "back-colour") set(l, r.backColour, l.single<std::uint32_t>());
            else if (l.key() == "fore-colour") set(l, r.foreColour, l.single<std::uint32_t>());
            else if (l.key() == "rect") set(l, r.rect, l.rect());
            else if (l.key() == "tab-index") set(l, r.tabIndex, l.single<std::int16_t>());
            else if (l.key() == "alignment") set(l, r.alignment, l.single<std::uint8_t>());
            else if (l.key() == "font") {
                l.expectCount(6);
                set(l, r.font, FontRecord{l.number<std::uint8_t>(1), l.number<std::uint16_t>(2),
                                          l.number<std::uint8_t>(3), l.number<std::uint16_t>(4),
                                          l.number<std::uint32_t>(5), l.storedText(6)});
            } else l.fail("not a label property");
        }
        return r;
    }

    static MenuRecord menu(const std::vector<Line>& block, bool topLevel)
    {
        MenuRecord m;
        m.topLevel = topLevel;
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            if (l.key() == "caption") set(l, m.caption, l.storedText());
            else if (l.key() == "unread-flag") set(l, m.unreadFlag, l.single<std::uint8_t>());
            else l.fail("not a menu property");
        }
        return m;
    }

    const PictureLoader& loadPicture_;
};

// Bytes as the layout text writes them: \xHH each.
std::string escape(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return out;
}

// A message with every byte that is no UTF-8 character escaped, so that it prints as text.
std::string printable(std::string_view message)
{
    std::string out;
    for (std::size_t i = 0; i < message.size();) {
        const auto decoded = runtime::decodeUtf8(message, i);
        const std::size_t length = decoded ? decoded->second : 1;
        if (decoded)
            out += message.substr(i, length);
        else
            out += escape(message.substr(i, 1));
        i += length;
    }
    return out;
}

// A stored text as a quoted word: each character as itself, control characters, the quote and
// the backslash escaped, and a code the page writes back as another code as its bytes.
std::string quoted(const std::string& shiftJis)
{
    const auto characters = splitShiftJis(shiftJis);
    if (!characters)
        return '"' + escape(shiftJis) + '"';
    std::string out = "\"";
    for (const auto& c : *characters) {
        const auto byte = static_cast<unsigned char>(c.utf8.front());
        if (c.utf8 == "\"" || c.utf8 == "\\")
            out += '\\' + c.utf8;
        else if (!c.standard || (c.utf8.size() == 1 && (byte < 0x20 || byte == 0x7F)))
            out += escape(c.bytes);
        else
            out += c.utf8;
    }
    return out + '"';
}

// A name as a bare word where it can stand as one, else quoted.
std::string nameWord(const std::string& shiftJis)
{
    const auto characters = splitShiftJis(shiftJis);
    const bool bare = characters && !characters->empty() &&
                      std::none_of(characters->begin(), characters->end(), [](const ShiftJisCharacter& c) {
                          const auto byte = static_cast<unsigned char>(c.utf8.front());
                          return !c.standard || byte <= 0x20 || byte == 0x7F || byte == '"' || byte == '#' || byte == '\\';
                      });
    if (!bare)
        return quoted(shiftJis);
    std::string out;
    for (const auto& c : *characters)
        out += c.utf8;
    return out;
}

std::string colour(std::uint32_t value)
{
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << value;
    return out.str();
}

std::string rect(const TwipRect& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
}

class Printer {
public:
    std::ostringstream out;

    template <class T, class Show>
    void property(const char* key, const std::optional<T>& value, Show show)
    {
        if (value)
            out << "    " << key << ' ' << show(*value) << '\n';
    }

    void print(const WindowRecord& w)
    {
        out << "window " << nameWord(w.name) << '\n';
        property("caption", w.caption, quoted);
        property("back-colour", w.backColour, colour);
        property("unread-text", w.unreadText, quoted);
        property("unread-value", w.unreadValue, [](auto v) { return std::to_string(v); });
        property("unread-name", w.unreadName, quoted);
        property("inner-area", w.innerArea, [](const ScreenArea& a) {
            return std::to_string(a.left) + " " + std::to_string(a.top) + " " + std::to_string(a.width) + " " +
                   std::to_string(a.height);
        });
        out << "end\n";
    }

    void print(const TimerRecord& t)
    {
        const auto number = [](auto v) { return std::to_string(v); };
        property("interval", t.interval, number);
        property("layout-x", t.layoutX, number);
        property("layout-y", t.layoutY, number);
    }

    void print(const TextBoxRecord& t)
    {
        property("rect", t.rect, rect);
        property("tab-index", t.tabIndex, [](auto v) { return std::to_string(v); });
    }

    void print(const PictureRecord& p)
    {
        if (p.gif) {
            out << "    # GIF, " << p.gif->size() << " bytes\n";
            constexpr std::size_t kPerLine = 48;
            for (std::size_t i = 0; i < p.gif->size(); i += kPerLine) {
                out << "    gif-hex ";
                for (std::size_t j = i; j < std::min(i + kPerLine, p.gif->size()); ++j)
                    out << std::hex << std::uppercase << std::setw(2) << std::setfill('0') << int((*p.gif)[j]);
                out << std::dec << '\n';
            }
        }
        property("rect", p.rect, rect);
    }

    void print(const LabelRecord& l)
    {
        property("back-colour", l.backColour, colour);
        property("fore-colour", l.foreColour, colour);
        property("rect", l.rect, rect);
        property("tab-index", l.tabIndex, [](auto v) { return std::to_string(v); });
        property("alignment", l.alignment, [](auto v) { return std::to_string(v); });
        property("font", l.font, [](const FontRecord& f) {
            return std::to_string(f.version) + " " + std::to_string(f.charset) + " " + std::to_string(f.flags) + " " +
                   std::to_string(f.weight) + " " + std::to_string(f.size) + " " + quoted(f.name);
        });
    }

    void print(const MenuRecord& m)
    {
        property("caption", m.caption, quoted);
        property("unread-flag", m.unreadFlag, [](auto v) { return std::to_string(v); });
    }
};

const char* kindWord(const ElementBody& body)
{
    if (const auto* m = std::get_if<MenuRecord>(&body))
        return m->topLevel ? "menu" : "command";
    static constexpr const char* words[] = {"timer", "textbox", "picture", "label", "menu"};
    return words[body.index()];
}

} // namespace

runtime::Expected<LayoutDescription, std::string> parseLayoutText(std::string_view text,
                                                                  const PictureLoader& loadPicture)
{
    try {
        return Parser(loadPicture).parse(text);
    } catch (const ParseFailure& failure) {
        return runtime::Unexpected{printable(failure.message)};
    }
}

std::string printLayoutText(const LayoutDescription& layout)
{
    Printer printer;
    printer.out << "layout-version " << layout.version << "\n\n";
    printer.print(layout.window);
    for (const ElementRecord& e : layout.elements) {
        printer.out << '\n' << kindWord(e.body) << ' ' << int(e.index) << ' ' << nameWord(e.name) << '\n';
        std::visit([&](const auto& body) { printer.print(body); }, e.body);
        printer.out << "end\n";
    }
    return printer.out.str();
}

} // namespace namoro::tools
