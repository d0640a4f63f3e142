#pragma once

#include "PixelArt.h"

#include "window/Form.h"
#include "window/FormObserver.h"
#include "window/PlayerInput.h"

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

namespace namoro::ui {

// The window's inner area: draws the rank caption and the pictures, holds the text boxes, and
// hands clicks and typing to the model. Stacking, bottom to top: caption, pictures in element
// order, text boxes. Assistive technology hears what it is for, the captions and the boxes,
// and that the game is over when the model says so.
class PlayArea final : public QWidget, public window::FormObserver {
public:
    PlayArea(window::Form& form, window::PlayerInput& input, QWidget* parent = nullptr);
    ~PlayArea() override;

    QSize sizeHint() const override;
    QLineEdit* lineEdit(std::string_view textBoxName) const;
    // The topmost picture with an opaque pixel at `point`, else the topmost whose rectangle holds it.
    window::PictureControl* pictureAt(QPoint point) const;
    const QFont& captionFont() const { return captionFont_; }
    const window::Form& form() const { return form_; }
    void focusFirstTextBox();
    // Told which caption, by its place among the form's labels, shows another text.
    void onCaptionChanged(std::function<void(std::size_t)> listener) { captionChanged_ = std::move(listener); }

    void pictureMoved(const window::PictureControl& picture, const window::Rect& before) override;
    void textWritten(const window::TextBox& box) override;
    void captionWritten(const window::Label& label) override;
    void gameOver() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Box {
        window::TextBox* model;
        QLineEdit* widget;
    };

    void click(QMouseEvent* event);
    QRect pictureRect(const window::PictureControl& picture, const window::Rect& rect) const;

    window::Form& form_;
    window::PlayerInput& input_;
    std::vector<PixelArt> images_; // one per picture, in the form's picture order
    std::vector<Box> boxes_;     // in tab order
    QFont captionFont_;
    std::function<void(std::size_t)> captionChanged_;
};

} // namespace namoro::ui
