#pragma once

#include <array>
#include <string_view>

namespace namoro::logic {

// How a catch reads the score box before adding the item's value.
enum class ScoreRead {
    Lenient,           // the longest leading number, never failing
    StrictTwiceFormatted, // whole text must be a number; the sum is formatted, read back and formatted again
};

// One falling item: its picture, the timer that drives it and what catching it is worth.
// Intervals and start rectangles are stored in the window's layout, where the timers and
// pictures take them from.
struct Item {
    int number;
    std::string_view picture;
    std::string_view timer;
    double scoreValue;
    ScoreRead scoreRead = ScoreRead::Lenient;
};

// Timer14 is the countdown clock, so from item 14 on the timer's number is one higher.
inline constexpr std::array<Item, 17> kItems{{
    {1, "Image1", "Timer1", 15},
    {2, "Image2", "Timer2", -500},
    {3, "Image3", "Timer3", 50},
    {4, "Image4", "Timer4", -50},
    {5, "Image5", "Timer5", -70},
    {6, "Image6", "Timer6", 100},
    {7, "Image7", "Timer7", 10},
    {8, "Image8", "Timer8", 25},
    {9, "Image9", "Timer9", 50},
    {10, "Image10", "Timer10", 200},
    {11, "Image11", "Timer11", -100, ScoreRead::StrictTwiceFormatted},
    {12, "Image12", "Timer12", 2},
    {13, "Image13", "Timer13", 300},
    {14, "Image14", "Timer15", 18},
    {15, "Image15", "Timer16", 20},
    {16, "Image16", "Timer17", 17},
    {17, "Image17", "Timer18", 15},
}};

inline constexpr const Item& item(int number) { return kItems[static_cast<std::size_t>(number - 1)]; }

inline constexpr std::string_view kCountdownTimer = "Timer14";

// The countdown stops every timer of the form at zero, in this order, itself fourteenth.
inline constexpr std::array<std::string_view, 18> kTimerStopOrder{
    "Timer1",  "Timer2",  "Timer3",  "Timer4",  "Timer5",  "Timer6",  "Timer7",  "Timer8",  "Timer9",
    "Timer10", "Timer11", "Timer12", "Timer13", "Timer14", "Timer15", "Timer16", "Timer17", "Timer18",
};

} // namespace namoro::logic
