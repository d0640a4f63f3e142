#include "TextToNumber.h"

#include "Utf8.h"

#include <cmath>
#include <fast_float/fast_float.h>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace namoro::runtime {
namespace {

constexpr char kNotNumeric = '\x01';

// ASCII stays. A Japanese input method types full-width digits and signs; they read exactly
// like ASCII.
char foldCodePoint(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
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
        const auto decoded = decodeUtf8(utf8, i);
        out += decoded ? foldCodePoint(decoded->first) : kNotNumeric;
        i += decoded ? decoded->second : 1;
    }
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// More significant digits than this never change which double is nearest (767 can matter), so
// the rest only counts for being non-zero: it rounds like one more non-zero digit.
constexpr std::size_t kKeptDigits = 800;
// Beyond any exponent a double can reach, however many digits stand before the point.
constexpr long long kExponentCap = 1'000'000'000'000'000LL;

// The longest number at the start of a text: [sign] digits [. digits] [e [sign] digits], with
// at least one mantissa digit, as the value 0.digits x 10^exponent. The number of digits is
// folded into the exponent, so a text of any length reads by its value.
struct ScannedNumber {
    std::size_t length = 0;   // 0 when the text does not start with a number
    bool negative = false;
    std::string digits;       // significant digits without leading or trailing zeros; empty for zero
    long long exponent = 0;
};

ScannedNumber scanNumber(std::string_view s)
{
    ScannedNumber number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.negative = s[i++] == '-';
    bool dropped = false; // a non-zero digit beyond the kept ones
    long long point = 0;  // where the decimal point stands relative to the first significant digit
    const auto take = [&](char digit, bool integerPart) {
        if (number.digits.empty() && digit == '0') {
            point -= integerPart ? 0 : 1;
            return;
        }
        if (number.digits.size() < kKeptDigits)
            number.digits += digit;
        else
            dropped = dropped || digit != '0';
        point += integerPart ? 1 : 0;
    };
    bool mantissa = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        take(s[i], true);
        mantissa = true;
    }
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        for (; j < s.size() && isDigit(s[j]); ++j)
            take(s[j], false);
        if (mantissa || j > i + 1) {
            mantissa = true;
            i = j;
        }
    }
    if (!mantissa)
        return {};
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            negativeExponent = s[j++] == '-';
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                exponent = std::min(exponent * 10 + (s[j] - '0'), kExponentCap);
            i = j;
            if (negativeExponent)
                exponent = -exponent;
        }
    }
    if (dropped) {
        number.digits += '1';
    } else {
        while (!number.digits.empty() && number.digits.back() == '0')
            number.digits.pop_back();
    }
    number.length = i;
    number.exponent = point + exponent;
    return number;
}

enum class Range { Finite, Overflow };

// Reads a scanned number; an underflow reads as a zero of its sign, an overflow as an infinity.
std::pair<double, Range> readNumber(const ScannedNumber& number)
{
    const double sign = number.negative ? -1.0 : 1.0;
    const auto overflow = std::pair{sign * std::numeric_limits<double>::infinity(), Range::Overflow};
    const auto underflow = std::pair{sign * 0.0, Range::Finite};
    // 0.d x 10^e lies in [10^(e-1), 10^e): beyond 10^309 or below 10^-325 nothing is left to round.
    if (number.digits.empty() || number.exponent < -325)
        return underflow;
    if (number.exponent > 310)
        return overflow;
    const std::string normal = (number.negative ? "-0." : "0.") + number.digits + 'e' + std::to_string(number.exponent);
    // fast_float on every build: not every C++ library has floating-point from_chars. Beyond the
    // range it gives an infinity or a zero rather than an error.
    double value = 0.0;
    fast_float::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (std::isinf(value))
        return overflow;
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

    const ScannedNumber number = scanNumber(text);
    if (number.length == 0 || number.length != text.size())
        return std::nullopt;
    const auto [value, range] = readNumber(number);
    if (range == Range::Overflow)
        return std::nullopt;
    return value;
}

double lenientNumber(std::string_view utf8)
{
    std::string text = foldToAscii(utf8);
    std::erase_if(text, isSpace);
    const ScannedNumber number = scanNumber(text);
    if (number.length == 0)
        return 0.0;
    return readNumber(number).first;
}

} // namespace namoro::runtime
