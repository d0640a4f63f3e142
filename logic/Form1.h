#pragma once

#include "ItemTable.h"

#include "runtime/EventDispatcher.h"
#include "runtime/RandomSource.h"
#include "runtime/Variant.h"
#include "forms/Form.h"

#include <array>

namespace namoro::logic {

// The game: two variables of its own and the 39 handlers of the window's events. Every item
// timer runs the one fall routine and every item click the one scoring rule, on its own item.
class Form1 {
public:
    // Binds every handler to its control's event; throws a runtime error if the window lacks one.
    Form1(window::Form& form, runtime::EventDispatcher& dispatcher, runtime::RandomSource& random);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    const runtime::Variant& timeLeft() const { return TimeLeft; }
    const runtime::Variant& startFlag() const { return StartFlag; }

    void Form_Load();
    void MenuStart_Click();
    void MenuEnd_Click();
    void Text1_Change();
    void Timer14_Timer();

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void Timer6_Timer();
    void Timer7_Timer();
    void Timer8_Timer();
    void Timer9_Timer();
    void Timer10_Timer();
    void Timer11_Timer();
    void Timer12_Timer();
    void Timer13_Timer();
    void Timer15_Timer();
    void Timer16_Timer();
    void Timer17_Timer();
    void Timer18_Timer();

    void Image1_click();
    void Image2_click();
    void Image3_click();
    void Image4_click();
    void Image5_click();
    void Image6_click();
    void Image7_click();
    void Image8_click();
    void Image9_click();
    void Image10_click();
    void Image11_click();
    void Image12_click();
    void Image13_click();
    void Image14_Click();
    void Image15_Click();
    void Image16_Click();
    void Image17_Click();

private:
    void fall(int itemNumber);
    void scoreCatch(int itemNumber);

    window::Form& form_;
    runtime::EventDispatcher& dispatcher_;
    runtime::RandomSource& random_;
    window::TextBox& text1_;
    window::TextBox& text2_;
    window::Label& label1_;
    std::array<window::PictureControl*, kItems.size()> pictures_{};

    runtime::Variant TimeLeft;
    runtime::Variant StartFlag;
};

} // namespace namoro::logic
