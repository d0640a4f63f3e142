// Reading numbers from what the player types, and writing scores back.

#include "runtime/NumberToText.h"
#include "runtime/RandomSource.h"
#include "runtime/TextToNumber.h"
#include "runtime/Variant.h"
#include "runtime/RuntimeError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace namoro::runtime;

TEST(StrictNumber, ReadsWholeTextsThatAreOneNumber)
{
    EXPECT_EQ(strictNumber("0"), 0.0);
    EXPECT_EQ(strictNumber("-500"), -500.0);
    EXPECT_EQ(strictNumber("+15"), 15.0);
    EXPECT_EQ(strictNumber("5."), 5.0);
    EXPECT_EQ(strictNumber(".5"), 0.5);
    EXPECT_EQ(strictNumber("2001.5"), 2001.5);
    EXPECT_EQ(strictNumber("1e3"), 1000.0);
    EXPECT_EQ(strictNumber("1.5E-2"), 0.015);
    EXPECT_EQ(strictNumber("  42\t"), 42.0);
    EXPECT_EQ(strictNumber("1e-400"), 0.0); // below the smallest double: zero, not an error
}

TEST(StrictNumber, RefusesEverythingElse)
{
    for (const char* text : {"", " ", "-", "+", ".", "abc", "12abc", "1 2", "1e", "1e+", "e5", "--1", "0x10", "inf",
                             "nan", "1e999", "-1e999", "1,5", "５円"})
        EXPECT_FALSE(strictNumber(text).has_value()) << '"' << text << '"';
}

TEST(StrictNumber, ReadsWhatAJapaneseInputMethodTypes)
{
    EXPECT_EQ(strictNumber("１２３"), 123.0);
    EXPECT_EQ(strictNumber("－５００"), -500.0);
    EXPECT_EQ(strictNumber("＋１．５"), 1.5);
    EXPECT_EQ(strictNumber("−7"), -7.0);            // U+2212 minus sign
    EXPECT_EQ(strictNumber("　３０　"), 30.0);       // ideographic spaces trim like ASCII ones
    EXPECT_EQ(strictNumber("１ｅ３"), 1000.0);
    EXPECT_EQ(strictNumber("２Ｅ２"), 200.0);
    EXPECT_FALSE(strictNumber("１　２").has_value());
    // Every full-width digit, in both reads.
    EXPECT_EQ(strictNumber("９８７６５４３２１０"), 9876543210.0);
    EXPECT_EQ(lenientNumber("９８７６５４３２１０"), 9876543210.0);
}

TEST(LenientNumber, ReadsTheLongestLeadingNumberAndNeverFails)
{
    EXPECT_EQ(lenientNumber("12abc"), 12.0);
    EXPECT_EQ(lenientNumber("1 2 3"), 123.0);        // white space anywhere is dropped
    EXPECT_EQ(lenientNumber(" - 4 . 5"), -4.5);
    EXPECT_EQ(lenientNumber("abc"), 0.0);
    EXPECT_EQ(lenientNumber(""), 0.0);
    EXPECT_EQ(lenientNumber("-"), 0.0);
    EXPECT_EQ(lenientNumber("1e"), 1.0);
    EXPECT_EQ(lenientNumber("1e+x"), 1.0);
    EXPECT_EQ(lenientNumber("2e2x"), 200.0);
    EXPECT_EQ(lenientNumber("１　２"), 12.0);
    EXPECT_EQ(lenientNumber("1,5"), 1.0);
    EXPECT_EQ(lenientNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(lenientNumber("-1e999"), -std::numeric_limits<double>::infinity());
}

TEST(TextToNumber, RefusesBrokenUtf8AndReadsHugeTextsByTheirValue)
{
    // Overlong forms, a surrogate, bytes F8 to FF and cut sequences are no characters at all:
    // F0 8F BC 90 is an overlong full-width zero, C0 B0 an overlong "0".
    for (const char* text : {"\xF0\x8F\xBC\x90", "\xC0\xB0", "1\xE0\x80\xB0", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80",
                             "\xFF", "\xEF\xBC", "\xEF\xBC\x91\xEF\xBC"})
        EXPECT_FALSE(strictNumber(text).has_value()) << text;
    EXPECT_EQ(lenientNumber("1\xF0\x8F\xBC\x90" "5"), 1.0);
    EXPECT_EQ(lenientNumber("\xF4\x90\x80\x80" "5"), 0.0);    // beyond U+10FFFF

    const std::string zeros(1'000'000, '0');
    EXPECT_EQ(strictNumber("1" + zeros + "e-1000000000"), 0.0);
    EXPECT_EQ(lenientNumber("1" + zeros + "e-1000000000"), 0.0);
    EXPECT_FALSE(strictNumber("0." + zeros + "1e+1000000000").has_value());
    EXPECT_EQ(lenientNumber("0." + zeros + "1e+1000000000"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(strictNumber("-0." + zeros + "15e1000002"), -15.0);
    EXPECT_EQ(strictNumber("15" + zeros + "e-1000000"), 15.0);
    // Exactly half-way between 1 and the next double rounds to even; any digit after it, however
    // far out, rounds up.
    const std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(strictNumber(halfway), 1.0);
    EXPECT_EQ(strictNumber(halfway + zeros + "1"), std::nextafter(1.0, 2.0));
}

TEST(FormatNumber, WritesScoresPlainly)
{
    EXPECT_EQ(formatNumber(300), "300");
    EXPECT_EQ(formatNumber(-500), "-500");
    EXPECT_EQ(formatNumber(2001.5), "2001.5");
    EXPECT_EQ(formatNumber(100000), "100000");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatNumber(1e15), "1E+15");
    EXPECT_EQ(formatNumber(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatNumber(1e-5), "0.00001");
    EXPECT_EQ(formatNumber(1.5e-6), "1.5E-06");
}

TEST(FormatNumber, EveryFormattedValueReadsBackUnchanged)
{
    MersenneRandom random(7);
    const double samples[] = {0.0, 1.0, -1.0, 15.0, 2001.5, 0.1, 1.0 / 3.0, 1e-5, 9.99e-6, 1e15, 123456789.125,
                              std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                              -std::numeric_limits<double>::min()};
    for (const double value : samples) {
        EXPECT_EQ(strictNumber(formatNumber(value)), value) << formatNumber(value);
        EXPECT_EQ(lenientNumber(formatNumber(value)), value) << formatNumber(value);
    }
    for (int i = 0; i < 2000; ++i) {
        const double value = std::ldexp(double(random.next()) - 0.5, int(random.next() * 200) - 100);
        ASSERT_EQ(strictNumber(formatNumber(value)), value) << formatNumber(value);
    }
}

TEST(RandomFraction, StaysInTheHalfOpenUnitInterval)
{
    MersenneRandom random(1);
    for (int i = 0; i < 100000; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
    MersenneRandom a(9), b(9);
    EXPECT_EQ(a.next(), b.next()); // a seed gives a reproducible run
}

TEST(Variant, EmptyEqualsNothingAndSubtractionStaysSixteenBit)
{
    EXPECT_FALSE(variantEquals(Variant{}, 1));
    EXPECT_TRUE(variantEquals(Variant{std::int16_t{1}}, 1));
    EXPECT_EQ(variantSubtract(Variant{std::int16_t{60}}, 1), Variant{std::int16_t{59}});
    EXPECT_THROW(variantSubtract(Variant{std::int16_t{-32768}}, 1), RuntimeError);
    EXPECT_TRUE(variantLess(Variant{std::int16_t{0}}, 1));
    EXPECT_EQ(variantText(Variant{std::int16_t{-3}}), "-3");
    EXPECT_EQ(variantText(Variant{}), "");
}
