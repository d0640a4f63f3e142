#include "AccessiblePlayArea.h"

#include "AccessibleCaption.h"
#include "PlayArea.h"

#include <QLineEdit>
#include <algorithm>

namespace namoro::ui {
namespace {

QAccessibleInterface* create(const QString&, QObject* object)
{
    if (auto* area = dynamic_cast<PlayArea*>(object))
        return new AccessiblePlayArea(*area); // the accessibility cache owns it
    return nullptr;
}

} // namespace

void AccessiblePlayArea::install() { QAccessible::installFactory(&create); }

AccessiblePlayArea::AccessiblePlayArea(PlayArea& area)
    : QAccessibleWidget(&area, QAccessible::Pane), area_(area), form_(area.form())
{
    for (const auto& label : form_.labels())
        captions_.push_back(QAccessible::registerAccessibleInterface(new AccessibleCaption(area, *label)));
    form_.listen(*this);
}

// Asked afresh each time: the play area may be asked about while it is still making its boxes.
std::vector<QAccessibleInterface*> AccessiblePlayArea::readingOrder() const
{
    std::vector<QAccessibleInterface*> children;
    for (const QAccessible::Id id : captions_)
        children.push_back(QAccessible::accessibleInterface(id));
    for (const auto& box : form_.textBoxes()) {
        if (QLineEdit* edit = area_.lineEdit(box->name()))
            children.push_back(QAccessible::queryAccessibleInterface(edit));
    }
    std::erase(children, nullptr);
    std::stable_sort(children.begin(), children.end(), [](QAccessibleInterface* a, QAccessibleInterface* b) {
        return std::pair(a->rect().top(), a->rect().left()) < std::pair(b->rect().top(), b->rect().left());
    });
    return children;
}

AccessiblePlayArea::~AccessiblePlayArea()
{
    form_.stopListening(*this);
    for (const QAccessible::Id id : captions_) {
        if (QAccessible::accessibleInterface(id)) // the cache may be going first, at exit
            QAccessible::deleteAccessibleInterface(id);
    }
}

void AccessiblePlayArea::captionChanged(std::size_t label, const std::string&)
{
    QAccessibleInterface* caption = QAccessible::accessibleInterface(captions_[label]);
    if (!caption || !QAccessible::isActive())
        return; // nobody listens: tell nobody
    QAccessibleEvent event(caption, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

int AccessiblePlayArea::childCount() const { return int(readingOrder().size()); }

QAccessibleInterface* AccessiblePlayArea::child(int index) const
{
    const auto children = readingOrder();
    return index >= 0 && std::size_t(index) < children.size() ? children[std::size_t(index)] : nullptr;
}

int AccessiblePlayArea::indexOfChild(const QAccessibleInterface* child) const
{
    const auto children = readingOrder();
    const auto found = std::find(children.begin(), children.end(), child);
    return found == children.end() ? -1 : int(found - children.begin());
}

// The boxes lie above the caption and come after it, so the last child at a point is the one seen there.
QAccessibleInterface* AccessiblePlayArea::childAt(int x, int y) const
{
    const auto children = readingOrder();
    const auto found = std::find_if(children.rbegin(), children.rend(), [x, y](auto* c) { return c->rect().contains(x, y); });
    return found == children.rend() ? nullptr : *found;
}

} // namespace namoro::ui
