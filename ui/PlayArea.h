#pragma once

#include "PixelArt.h"

#include "runtime/EventDispatcher.h"
#include "window/Form.h"
#include "window/FormObserver.h"

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <string_view>
#include <vector>

namespace namoro::ui {

// The window's inner area: draws the rank caption and the pictures, holds the text boxes, and
// forwards clicks and typing to the model as events. Stacking, bottom to top: caption,
// pictures in element order, text boxes. Assistive technology hears what it is for, the
// captions and the boxes, and that the game is over when every timer has stopped.
class PlayArea final : public QWidget, public window::FormObserver {
public:
    PlayArea(window::Form& form, runtime::EventDispatcher& dispatcher, QWidget* parent = nullptr);
    ~PlayArea() override;

    QSize sizeHint() const override;
    QLineEdit* lineEdit(std::string_view textBoxName) const;
    // The topmost picture with an opaque pixel at `point`, else the topmost whose rectangle holds it.
    window::PictureControl* pictureAt(QPoint point) const;
    const QFont& captionFont() const { return captionFont_; }
    const window::Form& form() const { return form_; }
    void focusFirstTextBox();

    void pictureMoved(const window::PictureControl& picture, const window::Rect& before) override;
    void textWritten(const window::TextBox& box) override;
    void captionWritten(const window::Label& label) override;

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
    void noteWhetherOver();
    QRect pictureRect(const window::PictureControl& picture, const window::Rect& rect) const;

    window::Form& form_;
    runtime::EventDispatcher& dispatcher_;
    std::vector<PixelArt> images_; // one per picture, in the form's picture order
    std::vector<Box> boxes_;     // in tab order
    QFont captionFont_;
    bool over_ = false;
};

} // namespace namoro::ui
