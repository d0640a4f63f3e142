#include "Form1.h"

#include "RankTable.h"

#include "runtime/NumberToText.h"
#include "runtime/RuntimeError.h"
#include "runtime/TextToNumber.h"

#include <cmath>
#include <string>

namespace namoro::logic {
namespace {

using runtime::formatNumber;
using runtime::lenientNumber;
using runtime::strictNumber;

constexpr float kFallStep = 100; // twips per tick
constexpr std::int16_t kGameSeconds = 60;

// Positions are single precision; a value that does not fit is the floating-point error.
float toSingle(double value)
{
    const auto single = static_cast<float>(runtime::checkedArithmetic(value));
    return static_cast<float>(runtime::checkedArithmetic(single));
}

struct Wiring {
    std::string_view control;
    std::string_view event;
    void (Form1::*handler)();
};

// Which handler answers which event; nothing else of any control is handled.
constexpr Wiring kWiring[] = {
    {"Form1", "Load", &Form1::Form_Load},
    {"MenuStart", "Click", &Form1::MenuStart_Click},
    {"MenuEnd", "Click", &Form1::MenuEnd_Click},
    {"Text1", "Change", &Form1::Text1_Change},
    {"Timer14", "Timer", &Form1::Timer14_Timer},
    {"Timer1", "Timer", &Form1::Timer1_Timer},
    {"Timer2", "Timer", &Form1::Timer2_Timer},
    {"Timer3", "Timer", &Form1::Timer3_Timer},
    {"Timer4", "Timer", &Form1::Timer4_Timer},
    {"Timer5", "Timer", &Form1::Timer5_Timer},
    {"Timer6", "Timer", &Form1::Timer6_Timer},
    {"Timer7", "Timer", &Form1::Timer7_Timer},
    {"Timer8", "Timer", &Form1::Timer8_Timer},
    {"Timer9", "Timer", &Form1::Timer9_Timer},
    {"Timer10", "Timer", &Form1::Timer10_Timer},
    {"Timer11", "Timer", &Form1::Timer11_Timer},
    {"Timer12", "Timer", &Form1::Timer12_Timer},
    {"Timer13", "Timer", &Form1::Timer13_Timer},
    {"Timer15", "Timer", &Form1::Timer15_Timer},
    {"Timer16", "Timer", &Form1::Timer16_Timer},
    {"Timer17", "Timer", &Form1::Timer17_Timer},
    {"Timer18", "Timer", &Form1::Timer18_Timer},
    {"Image1", "Click", &Form1::Image1_click},
    {"Image2", "Click", &Form1::Image2_click},
    {"Image3", "Click", &Form1::Image3_click},
    {"Image4", "Click", &Form1::Image4_click},
    {"Image5", "Click", &Form1::Image5_click},
    {"Image6", "Click", &Form1::Image6_click},
    {"Image7", "Click", &Form1::Image7_click},
    {"Image8", "Click", &Form1::Image8_click},
    {"Image9", "Click", &Form1::Image9_click},
    {"Image10", "Click", &Form1::Image10_click},
    {"Image11", "Click", &Form1::Image11_click},
    {"Image12", "Click", &Form1::Image12_click},
    {"Image13", "Click", &Form1::Image13_click},
    {"Image14", "Click", &Form1::Image14_Click},
    {"Image15", "Click", &Form1::Image15_Click},
    {"Image16", "Click", &Form1::Image16_Click},
    {"Image17", "Click", &Form1::Image17_Click},
};
static_assert(std::size(kWiring) == 39);

} // namespace

Form1::Form1(window::Form& form, runtime::EventDispatcher& dispatcher, runtime::RandomSource& random)
    : form_(form), dispatcher_(dispatcher), random_(random), text1_(form.textBox("Text1")),
      text2_(form.textBox("Text2")), label1_(form.label("Label1"))
{
    for (const Item& item : kItems)
        pictures_[static_cast<std::size_t>(item.number - 1)] = &form.picture(item.picture);
    for (const Wiring& wiring : kWiring)
        form.eventSlot(wiring.control, wiring.event) = [this, handler = wiring.handler] { (this->*handler)(); };
}

void Form1::Form_Load()
{
    TimeLeft = kGameSeconds;
    text1_.setText(std::to_string(0)); // runs Text1_Change: the rank caption shows from the start
    text2_.setText(std::to_string(0)); // the time box shows 0 until the first countdown tick
    random_.reseed();
}

void Form1::MenuStart_Click() { StartFlag = std::int16_t{1}; }

void Form1::MenuEnd_Click() { dispatcher_.end(0); }

void Form1::Text1_Change()
{
    // A score box without a number (the player is mid-edit) keeps the caption it shows.
    const auto score = strictNumber(text1_.text());
    if (!score)
        return;
    if (const auto caption = rankCaption(*score))
        label1_.setCaption(std::string(*caption));
}

// The countdown counts ticks, never the wall clock, and stops every timer at zero: the game is
// over, and the front ends hear it once.
void Form1::Timer14_Timer()
{
    if (!runtime::variantEquals(StartFlag, 1))
        return;
    TimeLeft = runtime::variantSubtract(TimeLeft, 1);
    text2_.setText(runtime::variantText(TimeLeft));
    if (runtime::variantLess(TimeLeft, 1)) {
        for (const std::string_view timer : kTimerStopOrder)
            form_.timer(timer).setEnabled(false);
        form_.notifier().tell(&window::FormListener::gameOver);
    }
}

// One tick of an item: step down, then respawn at the top in a random column once the top edge
// has passed the bottom of the inner area. Bounds are read afresh so a resize takes effect at once.
void Form1::fall(int itemNumber)
{
    if (!runtime::variantEquals(StartFlag, 1))
        return;
    window::PictureControl& picture = *pictures_[static_cast<std::size_t>(itemNumber - 1)];
    const double top = picture.top();
    picture.setTop(toSingle(top + kFallStep));
    const float bottom = form_.scaleHeight();
    if (!(picture.top() > bottom))
        return;
    picture.setTop(0);
    const double width = form_.scaleWidth();
    const double pictureWidth = picture.width();
    const double fraction = random_.next(); // exactly one draw per respawn, after the bounds
    picture.setLeft(toSingle(fraction * (width - pictureWidth)));
}

// A catch adds the item's value while the time box shows time remaining. A box without a
// number scores nothing, and a sum beyond the double range is not written.
void Form1::scoreCatch(int itemNumber)
{
    const Item& caught = item(itemNumber);
    const auto time = strictNumber(text2_.text());
    if (!time || !(*time > 0))
        return;

    if (caught.scoreRead == ScoreRead::Lenient) {
        const double sum = lenientNumber(text1_.text()) + caught.scoreValue;
        if (std::isfinite(sum))
            text1_.setText(formatNumber(sum));
        return;
    }
    const auto score = strictNumber(text1_.text());
    if (!score)
        return;
    const double sum = *score + caught.scoreValue;
    if (std::isfinite(sum))
        text1_.setText(formatNumber(lenientNumber(formatNumber(sum))));
}

void Form1::Timer1_Timer() { fall(1); }
void Form1::Timer2_Timer() { fall(2); }
void Form1::Timer3_Timer() { fall(3); }
void Form1::Timer4_Timer() { fall(4); }
void Form1::Timer5_Timer() { fall(5); }
void Form1::Timer6_Timer() { fall(6); }
void Form1::Timer7_Timer() { fall(7); }
void Form1::Timer8_Timer() { fall(8); }
void Form1::Timer9_Timer() { fall(9); }
void Form1::Timer10_Timer() { fall(10); }
void Form1::Timer11_Timer() { fall(11); }
void Form1::Timer12_Timer() { fall(12); }
void Form1::Timer13_Timer() { fall(13); }
void Form1::Timer15_Timer() { fall(14); }
void Form1::Timer16_Timer() { fall(15); }
void Form1::Timer17_Timer() { fall(16); }
void Form1::Timer18_Timer() { fall(17); }

void Form1::Image1_click() { scoreCatch(1); }
void Form1::Image2_click() { scoreCatch(2); }
void Form1::Image3_click() { scoreCatch(3); }
void Form1::Image4_click() { scoreCatch(4); }
void Form1::Image5_click() { scoreCatch(5); }
void Form1::Image6_click() { scoreCatch(6); }
void Form1::Image7_click() { scoreCatch(7); }
void Form1::Image8_click() { scoreCatch(8); }
void Form1::Image9_click() { scoreCatch(9); }
void Form1::Image10_click() { scoreCatch(10); }
void Form1::Image11_click() { scoreCatch(11); }
void Form1::Image12_click() { scoreCatch(12); }
void Form1::Image13_click() { scoreCatch(13); }
void Form1::Image14_Click() { scoreCatch(14); }
void Form1::Image15_Click() { scoreCatch(15); }
void Form1::Image16_Click() { scoreCatch(16); }
void Form1::Image17_Click() { scoreCatch(17); }

} // namespace namoro::logic
