#include "TextToNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace namoro::runtime {
namespace {

constexpr char kNotNumeric = '\x01';

// A Japanese input method types full-width digits and signs; they read exactly like ASCII.
char foldCodePoint(char32_t cp)
{
    if (cp >= 0xFF10 && cp <= 0xFF19)
        return static_cast<char>('0' + (cp - 0xFF10));
    switch (cp) {
    case 0xFF0B: return '+';
    case 0xFF0D:
    case 0x2212: return '-';
    case 0xFF0E: return '.';
    case 0xFF45: return 'e';
    case 0xFF25: return 'E';
    case 0x3000: return ' ';
    default: return kNotNumeric;
    }
}

// ASCII stays; every other character folds to its ASCII form or to a byte no number contains.
std::string foldToAscii(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t cp = lead & (0x3F >> (length - 1));
        std::size_t used = 1;
        while (used < length && i + used < utf8.size() && (static_cast<unsigned char>(utf8[i + used]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + used]) & 0x3F);
            ++used;
        }
        out += used == length ? foldCodePoint(cp) : kNotNumeric;
        i += used;
    }
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The longest number at the start of a text: [sign] digits [. digits] [e [sign] digits],
// with at least one mantissa digit. Remembers enough to tell overflow from underflow.
struct NumberPrefix {
    std::size_t length = 0;   // 0 when the text does not start with a number
    bool negative = false;
    long decimalOrder = 0;    // power of ten of the leading significant digit
    bool allZero = true;
};

NumberPrefix scanNumber(std::string_view s)
{
    NumberPrefix prefix;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        prefix.negative = s[i++] == '-';
    long integerDigits = 0;
    long leadingFractionZeros = 0;
    bool digits = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        digits = true;
        if (s[i] != '0' || !prefix.allZero) {
            prefix.allZero = false;
            ++integerDigits;
        }
    }
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        for (; j < s.size() && isDigit(s[j]); ++j) {
            if (prefix.allZero && s[j] == '0')
                ++leadingFractionZeros;
            else
                prefix.allZero = false;
        }
        if (digits || j > i + 1) {
            digits = true;
            i = j;
        }
    }
    if (!digits)
        return {};
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            negativeExponent = s[j++] == '-';
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                exponent = std::min(exponent * 10 + (s[j] - '0'), 1'000'000L);
            i = j;
            if (negativeExponent)
                exponent = -exponent;
        }
    }
    prefix.length = i;
    prefix.decimalOrder = (integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1)) + exponent;
    return prefix;
}

enum class Range { Finite, Overflow };

// Reads a scanned number; an underflow reads as a zero of its sign.
std::pair<double, Range> readNumber(std::string_view text, const NumberPrefix& prefix)
{
    std::string_view digits = text.substr(0, prefix.length);
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1); // from_chars takes no plus sign
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (!prefix.allZero && prefix.decimalOrder > 0)
            return {prefix.negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity(),
                    Range::Overflow};
        return {prefix.negative ? -0.0 : 0.0, Range::Finite};
    }
    return {value, Range::Finite};
}

} // namespace

std::optional<double> strictNumber(std::string_view utf8)
{
    const std::string folded = foldToAscii(utf8);
    std::string_view text = folded;
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);

    const NumberPrefix prefix = scanNumber(text);
    if (prefix.length == 0 || prefix.length != text.size())
        return std::nullopt;
    const auto [value, range] = readNumber(text, prefix);
    if (range == Range::Overflow)
        return std::nullopt;
    return value;
}

double lenientNumber(std::string_view utf8)
{
    std::string text = foldToAscii(utf8);
    std::erase_if(text, isSpace);
    const NumberPrefix prefix = scanNumber(text);
    if (prefix.length == 0)
        return 0.0;
    return readNumber(text, prefix).first;
}

} // namespace namoro::runtime
