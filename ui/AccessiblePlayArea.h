#pragma once

#include <QAccessibleWidget>
#include <vector>

namespace namoro::ui {

class PlayArea;

// The play area as assistive technology sees it: a named pane whose children are its captions
// and text boxes in reading order, top to bottom and left to right. The falling pictures are
// not among them, and nothing they do reaches a screen reader.
class AccessiblePlayArea final : public QAccessibleWidget {
public:
    explicit AccessiblePlayArea(PlayArea& area);
    ~AccessiblePlayArea() override;

    // Makes the play area known to Qt's accessibility; installing it twice is harmless.
    static void install();
    // Tells assistive technology that the form's caption number `index` shows another text.
    static void captionChanged(PlayArea& area, std::size_t index);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    std::vector<QAccessibleInterface*> readingOrder() const;

    PlayArea& area_;
    std::vector<QAccessible::Id> captions_; // ours to delete, in the form's label order
};

} // namespace namoro::ui
