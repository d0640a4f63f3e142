#include "PlayArea.h"

#include "Geometry.h"

#include "forms/HitTest.h"
#include "face/PlayerTexts.h"
#include "face/Presentation.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace namoro::ui {
namespace {

QImage toImage(const window::Picture& picture)
{
    if (picture.width == 0 || picture.height == 0)
        return {};
    const QImage view(reinterpret_cast<const uchar*>(picture.argb.data()), picture.width, picture.height,
                      picture.width * 4, QImage::Format_ARGB32);
    return view.convertToFormat(QImage::Format_ARGB32_Premultiplied); // a deep copy, fast to draw
}

// The stored face first, then the fallbacks.
QFont captionFontFor(const window::LabelFont& stored)
{
    QFont font;
    QStringList families;
    if (!stored.family.empty())
        families << QString::fromStdString(stored.family);
    for (const std::string_view family : window::kCaptionFallbackFamilies)
        families << QString::fromUtf8(family);
    font.setFamilies(families);
    font.setPixelSize(window::captionPixelSize(stored));
    font.setWeight(QFont::Weight(window::captionWeight(stored)));
    font.setItalic(stored.italic);
    font.setUnderline(stored.underline);
    font.setStrikeOut(stored.strikeOut);
    return font;
}

Qt::Alignment toQt(window::Alignment alignment)
{
    switch (alignment) {
    case window::Alignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case window::Alignment::Centre: return Qt::AlignCenter;
    case window::Alignment::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

PlayArea::PlayArea(window::Form& form, window::PlayerInput& input, QWidget* parent)
    : QWidget(parent), form_(form), input_(input)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent fills every pixel itself
    setFocusPolicy(Qt::NoFocus);
    for (const auto& picture : form_.pictures())
        images_.emplace_back(toImage(picture->picture()));
    if (!form_.labels().empty())
        captionFont_ = captionFontFor(form_.labels().front()->style().font);

    QLineEdit* previous = nullptr; // in tab order
    std::vector<window::TextBox*> byTab;
    for (const auto& box : form_.textBoxes())
        byTab.push_back(box.get());
    std::stable_sort(byTab.begin(), byTab.end(), [](auto* a, auto* b) { return a->tabIndex() < b->tabIndex(); });
    boxes_.resize(byTab.size());
    for (window::TextBox* model : byTab) {
        auto* edit = new QLineEdit(this); // owned by this widget
        edit->setObjectName(QString::fromStdString(model->name()));
        edit->setAccessibleName(QString::fromUtf8(window::texts::boxName(model->name())));
        edit->setGeometry(toPixels(model->rect()));
        edit->setText(QString::fromStdString(model->text()));
        // Typing is input for the model; its own writes come back through textChanged.
        QObject::connect(edit, &QLineEdit::textEdited, edit,
                         [this, place = model->place()](const QString& text) { input_.type(place, text.toStdString()); });
        if (previous)
            QWidget::setTabOrder(previous, edit);
        previous = boxes_[model->place()] = edit;
    }
    setAccessibleName(QString::fromUtf8(window::texts::kPlayAreaName));
    setAccessibleDescription(QString::fromUtf8(window::texts::kHowToPlay));
    form_.listen(*this);
}

PlayArea::~PlayArea() { form_.stopListening(*this); }

QSize PlayArea::sizeHint() const
{
    const auto& s = form_.settings();
    return {toPixels(s.innerWidth), toPixels(s.innerHeight)};
}

QLineEdit* PlayArea::lineEdit(std::string_view textBoxName) const
{
    for (const auto& box : form_.textBoxes()) {
        if (box->name() == textBoxName)
            return boxes_[box->place()];
    }
    return nullptr;
}

void PlayArea::focusFirstTextBox()
{
    if (auto* first = findChild<QLineEdit*>()) // the boxes were made in tab order
        first->setFocus(Qt::OtherFocusReason);
}

QRect PlayArea::pictureRect(std::size_t picture, const window::Rect& rect) const
{
    const window::Picture& pixels = form_.pictures()[picture]->picture();
    return {toPixels(rect.left), toPixels(rect.top), pixels.width, pixels.height};
}

window::PictureControl* PlayArea::pictureAt(QPoint point) const { return window::pictureAt(form_, point.x(), point.y()); }

void PlayArea::pictureMoved(std::size_t picture, const window::Rect& before, const window::Rect& after)
{
    const qreal ratio = devicePixelRatioF();
    update(PixelArt::reach(pictureRect(picture, before), ratio));
    update(PixelArt::reach(pictureRect(picture, after), ratio));
}

void PlayArea::textChanged(std::size_t box, const std::string& text)
{
    QLineEdit* edit = boxes_[box];
    if (const QString shown = QString::fromStdString(text); edit->text() != shown) {
        const QSignalBlocker blocker(edit);
        edit->setText(shown);
    }
}

void PlayArea::captionChanged(std::size_t label, const std::string&) { update(toPixels(form_.labels()[label]->rect())); }

void PlayArea::gameOver() { setAccessibleDescription(QString::fromUtf8(window::texts::kGameOver)); }

void PlayArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, toColour(form_.backColour()));

    painter.setFont(captionFont_);
    for (const auto& label : form_.labels()) {
        const QRect r = toPixels(label->rect());
        if (!r.intersects(dirty))
            continue;
        painter.fillRect(r, toColour(label->style().backColour));
        painter.setPen(toColour(label->style().foreColour));
        painter.drawText(r, int(toQt(label->style().alignment)), QString::fromStdString(label->caption()));
    }

    const auto& pictures = form_.pictures();
    const qreal ratio = devicePixelRatioF();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QRect r = pictureRect(i, pictures[i]->rect());
        if (PixelArt::reach(r, ratio).intersects(dirty))
            images_[i].draw(painter, r.topLeft());
    }
}

void PlayArea::click(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The logical pixel under the pointer: toPoint() would round a fractional position up half the time.
    const QPointF at = event->position();
    input_.click(int(std::floor(at.x())), int(std::floor(at.y())));
}

void PlayArea::mousePressEvent(QMouseEvent* event) { click(event); }

// The second press of a double click is a click of its own.
void PlayArea::mouseDoubleClickEvent(QMouseEvent* event) { click(event); }

void PlayArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    form_.setScaleSize(float(width() * window::kTwipsPerPixel), float(height() * window::kTwipsPerPixel));
}

} // namespace namoro::ui
