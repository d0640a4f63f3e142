#pragma once

#include "PixelArt.h"

#include "forms/Form.h"
#include "forms/FormListener.h"
#include "forms/PlayerInput.h"

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <string_view>
#include <vector>

namespace namoro::ui {

// The window's inner area: draws the rank caption and the pictures, holds the text boxes, and
// hands clicks and typing to the model. Stacking, bottom to top: caption, pictures in element
// order, text boxes. Assistive technology hears what it is for, the captions and the boxes,
// and that the game is over when the model says so.
class PlayArea final : public QWidget, private window::FormListener {
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void pictureMoved(std::size_t picture, const window::Rect& before, const window::Rect& after) override;
    void textChanged(std::size_t box, const std::string& text) override;
    void captionChanged(std::size_t label, const std::string& caption) override;
    void gameOver() override;

    void click(QMouseEvent* event);
    QRect pictureRect(std::size_t picture, const window::Rect& rect) const;

    window::Form& form_;
    window::PlayerInput& input_;
    std::vector<PixelArt> images_; // one per picture, in the form's picture order
    std::vector<QLineEdit*> boxes_; // one per text box, in the form's box order
    QFont captionFont_;
};

} // namespace namoro::ui
