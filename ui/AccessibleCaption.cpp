#include "AccessibleCaption.h"

#include "Geometry.h"

#include "face/PlayerTexts.h"

#include <QWidget>
#include <QWindow>

namespace namoro::ui {

QWindow* AccessibleCaption::window() const { return area_.window()->windowHandle(); }

QAccessibleInterface* AccessibleCaption::parent() const { return QAccessible::queryAccessibleInterface(&area_); }

QString AccessibleCaption::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: return QString::fromStdString(label_.caption());
    case QAccessible::Description: return QString::fromUtf8(window::texts::kCaptionRole);
    default: return {};
    }
}

QRect AccessibleCaption::rect() const
{
    const QRect local = toPixels(label_.rect());
    return {area_.mapToGlobal(local.topLeft()), local.size()};
}

QAccessible::State AccessibleCaption::state() const
{
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !area_.isVisible();
    return state;
}

} // namespace namoro::ui
