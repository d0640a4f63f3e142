#include "LayoutText.h"

#include "runtime/Utf8.h"
#include "layout/LayoutFormat.h"
#include "layout/ShiftJis.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace namoro::tools {
namespace {

using namespace window;
namespace fmt = window::format;

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

// The byte that two hex digits stand for; nothing for anything else.
std::optional<std::uint8_t> hexByte(std::string_view digits)
{
    std::uint8_t byte = 0;
    const char* end = digits.data() + digits.size();
    if (digits.size() != 2 || std::from_chars(digits.data(), end, byte, 16).ptr != end)
        return std::nullopt;
    return byte;
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
                } else if (const auto byte =
                               line.substr(i + 1, 1) == "x" ? hexByte(line.substr(i + 2, 2)) : std::nullopt) {
                    flush(i);
                    word.addByte(static_cast<char>(*byte));
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
T parseValue(const Line& line, fmt::Number)
{
    line.expectCount(1);
    return line.number<T>(1);
}

template <class T>
T parseValue(const Line& line, fmt::Text)
{
    return line.storedText();
}

// Reads the line's values, from the first on, into each number it is called with.
auto numbersFrom(const Line& line)
{
    return [&line, at = std::size_t{1}](const char*, auto& v) mutable {
        v = line.number<std::remove_reference_t<decltype(v)>>(at++);
    };
}

template <class B>
B parseValue(const Line& line, fmt::Box)
{
    line.expectCount(4);
    B box;
    fmt::forEachSide(box, numbersFrom(line));
    return box;
}

template <class F>
F parseValue(const Line& line, fmt::Font)
{
    line.expectCount(6);
    F font;
    fmt::forEachFontNumber(font, numbersFrom(line));
    font.name = line.storedText(6);
    return font;
}

std::vector<std::uint8_t> hexBytes(const Line& line)
{
    line.expectCount(1);
    const std::string& hex = line.bare(1);
    if (hex.size() % 2 != 0)
        line.fail("odd number of hex digits");
    std::vector<std::uint8_t> bytes(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = hexByte(std::string_view(hex).substr(2 * i, 2));
        if (!byte)
            line.fail("\"" + hex.substr(2 * i, 2) + "\" is not a hex byte");
        bytes[i] = *byte;
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
                layout.version = parseValue<std::uint32_t>(line, fmt::Number{});
                continue;
            }
            if (line.key() != "end") {
                block.push_back(std::move(line));
                continue;
            }
            if (block.empty())
                line.fail("no record to end");
            if (block.front().key() == fmt::kRecord<WindowRecord>.word) {
                if (sawWindow)
                    block.front().fail("a second window");
                block.front().expectCount(1);
                layout.window.name = block.front().storedName(1);
                properties(block, layout.window);
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
    ElementRecord element(const std::vector<Line>& block)
    {
        const Line& head = block.front();
        head.expectCount(2);
        ElementRecord e;
        e.index = head.number<std::uint8_t>(1);
        e.name = head.storedName(2);
        const std::string& kind = head.key();
        bool known = false;
        fmt::forEachElementKind([&]<class Record>(std::type_identity<Record>) {
            const bool command = std::is_same_v<Record, MenuRecord> && kind == "command";
            if (!known && (kind == fmt::kRecord<Record>.word || command)) {
                Record& body = e.body.emplace<Record>();
                if constexpr (std::is_same_v<Record, MenuRecord>)
                    body.topLevel = !command;
                properties(block, body);
                known = true;
            }
        });
        if (!known)
            head.fail("not an element kind (timer, textbox, picture, label, menu, command)");
        return e;
    }

    template <class Record>
    void properties(const std::vector<Line>& block, Record& record)
    {
        for (std::size_t i = 1; i < block.size(); ++i) {
            const Line& l = block[i];
            bool known = false;
            fmt::forEachProperty<Record>([&](const auto& p) {
                if (!known && names(p.kind, p.name, l.key())) {
                    property(l, p.kind, record.*p.member);
                    known = true;
                }
            });
            if (!known)
                l.fail("not a " + std::string(fmt::kRecord<Record>.noun) + " property");
        }
    }

    template <class Kind, class T>
    static void property(const Line& line, Kind kind, std::optional<T>& slot)
    {
        T value = parseValue<T>(line, kind);
        if (slot)
            line.fail("given twice");
        slot = std::move(value);
    }

    // A picture comes from one file, or as its bytes over as many gif-hex lines as it takes.
    static bool names(fmt::Picture, std::string_view, std::string_view key)
    {
        return key == "picture-file" || key == "gif-hex";
    }
    static bool names(auto, std::string_view name, std::string_view key) { return key == name; }

    void property(const Line& line, fmt::Picture, std::optional<std::vector<std::uint8_t>>& gif) const
    {
        if (line.key() == "gif-hex") {
            const auto bytes = hexBytes(line);
            if (!gif)
                gif.emplace();
            gif->insert(gif->end(), bytes.begin(), bytes.end());
            return;
        }
        auto loaded = loadPicture_(line.text());
        if (!loaded)
            line.fail(loaded.error());
        if (gif)
            line.fail("given twice");
        gif = std::move(loaded).value();
    }

    const PictureLoader& loadPicture_;
};

// A message with every byte that is no UTF-8 character escaped, so that it prints as text.
std::string printable(std::string_view message)
{
    std::string out;
    for (std::size_t i = 0; i < message.size();) {
        const auto decoded = runtime::decodeUtf8(message, i);
        const std::size_t length = decoded ? decoded->second : 1;
        out += decoded ? std::string(message.substr(i, length)) : escapeBytes(message.substr(i, 1));
        i += length;
    }
    return out;
}

} // namespace

runtime::Expected<LayoutDescription, std::string> parseLayoutText(std::string_view text,
                                                                  const PictureLoader& loadPicture)
{
    // An editor may begin a UTF-8 file with a byte-order mark; it is no part of the text.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    try {
        return Parser(loadPicture).parse(text);
    } catch (const ParseFailure& failure) {
        return runtime::Unexpected{printable(failure.message)};
    }
}

} // namespace namoro::tools
