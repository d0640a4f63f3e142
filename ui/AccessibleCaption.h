#pragma once

#include "forms/Label.h"

#include <QAccessibleInterface>

class QWidget;

namespace namoro::ui {

// A caption the play area paints itself, seen by assistive technology as static text whose
// name is what it shows now. It has no widget of its own: the pictures fall across it.
class AccessibleCaption final : public QAccessibleInterface {
public:
    AccessibleCaption(QWidget& area, const window::Label& label) : area_(area), label_(label) {}

    const window::Label& label() const { return label_; }

    bool isValid() const override { return true; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override;

private:
    QWidget& area_;
    const window::Label& label_;
};

} // namespace namoro::ui
