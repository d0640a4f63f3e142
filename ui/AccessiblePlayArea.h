#pragma once

#include "forms/Form.h"
#include "forms/FormListener.h"

#include <QAccessibleWidget>
#include <vector>

namespace namoro::ui {

class PlayArea;

// The play area as assistive technology sees it: a named pane whose children are its captions
// and text boxes in reading order, top to bottom and left to right. The falling pictures are
// not among them, and nothing they do reaches a screen reader; a caption's new text does.
class AccessiblePlayArea final : public QAccessibleWidget, private window::FormListener {
public:
    explicit AccessiblePlayArea(PlayArea& area);
    ~AccessiblePlayArea() override;

    // Makes the play area known to Qt's accessibility; installing it twice is harmless.
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    void captionChanged(std::size_t label, const std::string& caption) override;
    std::vector<QAccessibleInterface*> readingOrder() const;

    PlayArea& area_;
    const window::Form& form_; // outlives the area, whose end ends this
    std::vector<QAccessible::Id> captions_; // ours to delete, in the form's label order
};

} // namespace namoro::ui
