#pragma once

#include "PlayArea.h"

#include "runtime/EventDispatcher.h"
#include "window/Form.h"

#include <QMainWindow>

namespace namoro::ui {

// The game's top-level window: the form's caption and menu bar over its inner area.
// Closing it ends the program as the End command does.
class GameWindow final : public QMainWindow {
public:
    GameWindow(window::Form& form, runtime::EventDispatcher& dispatcher);

    PlayArea& playArea() { return *playArea_; }
    QMenu* menu(const std::string& caption) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    runtime::EventDispatcher& dispatcher_;
    PlayArea* playArea_; // owned by the window
};

} // namespace namoro::ui
