#pragma once

#include "PlayArea.h"

#include "forms/Form.h"
#include "forms/FormListener.h"
#include "forms/PlayerInput.h"

#include <QMainWindow>

namespace namoro::ui {

// The game's top-level window: the form's caption and menu bar over its inner area.
// Closing it ends the program as the End command does. It grows at most to its screen's
// available area: a larger window would only cost memory for pixels nobody sees. Assistive
// technology knows it by the game's name; F2 starts, Ctrl+Q ends and F10 opens the menu.
// When another X client destroys it, the game ends as if it had been closed. A runtime error is
// reported over it.
class GameWindow final : public QMainWindow, private window::FormListener {
public:
    GameWindow(window::Form& form, window::PlayerInput& input);
    ~GameWindow() override;

    PlayArea& playArea() { return *playArea_; }
    QMenu* menu(const std::string& caption) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void errorRaised(const runtime::RuntimeError& error) override;
    void fitScreen(QScreen* screen);
    void fitArea(const QRect& available);

    const window::Form& form_;
    window::PlayerInput& input_;
    PlayArea* playArea_ = nullptr; // owned by the window
    QMetaObject::Connection screenChanged_;
    QMetaObject::Connection availableChanged_;
};

} // namespace namoro::ui
