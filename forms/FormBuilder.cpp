#include "FormBuilder.h"

#include "layout/LayoutFormat.h"
#include "layout/LayoutReader.h"
#include "layout/ShiftJis.h"

namespace namoro::window {
namespace {

Rect toRect(const std::optional<TwipRect>& stored)
{
    const TwipRect r = stored.value_or(TwipRect{});
    return {float(r.left), float(r.top), float(r.width), float(r.height)};
}

Alignment toAlignment(std::optional<std::uint8_t> stored)
{
    switch (stored.value_or(0)) {
    case 1: return Alignment::Right;
    case 2: return Alignment::Centre;
    default: return Alignment::Left;
    }
}

LabelFont toFont(const FontRecord& f)
{
    constexpr unsigned kItalic = 0x02, kUnderline = 0x04, kStrikeOut = 0x08;
    return LabelFont{f.name, f.size / 10000.0, f.weight, f.charset,
                    (f.flags & kItalic) != 0, (f.flags & kUnderline) != 0, (f.flags & kStrikeOut) != 0};
}

// The layout with its texts read from code page 932 into UTF-8, the form's encoding.
LayoutResult<LayoutDescription> withReadableTexts(LayoutDescription layout)
{
    std::optional<LayoutError> error;
    const auto decode = [&](std::string& text, const std::string& field) {
        if (auto utf8 = shiftJisToUtf8(text))
            text = std::move(*utf8);
        else if (!error)
            error = LayoutError{field, std::nullopt, "is not code page 932 text"};
    };
    const auto decodeTexts = [&]<class Record>(Record& record, const std::string& owner) {
        format::forEachProperty<Record>([&](const auto& p) {
            if constexpr (std::is_same_v<decltype(p.kind), format::Text>)
                if (auto& text = record.*p.member)
                    decode(*text, owner + '.' + std::string(p.name));
        });
    };
    decode(layout.window.name, "window.name");
    decodeTexts(layout.window, "window");
    for (ElementRecord& e : layout.elements) {
        const std::string element = "element " + std::to_string(e.index);
        decode(e.name, element + ".name");
        if (auto* label = std::get_if<LabelRecord>(&e.body); label && label->font)
            decode(label->font->name, element + ".font.name");
        std::visit([&](auto& body) { decodeTexts(body, element); }, e.body);
    }
    if (error)
        return runtime::Unexpected{*error};
    return layout;
}

class Builder {
public:
    Builder(Form& form, runtime::TimerScheduler& scheduler, runtime::EventDispatcher& dispatcher)
        : form_(form), scheduler_(scheduler), dispatcher_(dispatcher) {}

    std::optional<LayoutError> add(const ElementRecord& e)
    {
        if (form_.hasControl(e.name))
            return LayoutError{e.name + ".name", std::nullopt, "a second element of the same name"};
        return std::visit([&](const auto& body) { return add(e, body); }, e.body);
    }

private:
    std::optional<LayoutError> add(const ElementRecord& e, const TimerRecord& t)
    {
        form_.add(std::make_unique<Timer>(e.name, form_.timers().size(), t.interval.value_or(0), scheduler_, dispatcher_));
        return std::nullopt;
    }

    std::optional<LayoutError> add(const ElementRecord& e, const TextBoxRecord& t)
    {
        form_.add(std::make_unique<TextBox>(e.name, form_.textBoxes().size(), toRect(t.rect), t.tabIndex.value_or(0),
                                            form_.notifier()));
        return std::nullopt;
    }

    std::optional<LayoutError> add(const ElementRecord& e, const PictureRecord& p)
    {
        const Rect rect = toRect(p.rect);
        Picture picture;
        if (p.gif) {
            // The size the GIF states is checked against its control before any pixel is decoded.
            const auto stated = gifScreenSize(*p.gif);
            if (!stated)
                return pictureError(e, stated.error());
            if (auto wrong = sizeError(e, rect, stated->width, stated->height))
                return wrong;
            auto decoded = decodeGif(*p.gif);
            if (!decoded)
                return pictureError(e, decoded.error());
            picture = std::move(decoded).value();
        } else if (auto wrong = sizeError(e, rect, 0, 0)) {
            return wrong;
        }
        form_.add(std::make_unique<PictureControl>(e.name, form_.pictures().size(), rect, std::move(picture), form_.notifier()));
        return std::nullopt;
    }

    static LayoutError pictureError(const ElementRecord& e, const PictureError& error)
    {
        return LayoutError{e.name + ".picture.gif." + error.field, std::nullopt,
                           error.problem + " (GIF byte " + std::to_string(error.offset) + ")"};
    }

    // Pictures are never stretched: the control is exactly its picture.
    static std::optional<LayoutError> sizeError(const ElementRecord& e, const Rect& rect, int width, int height)
    {
        if (rect.width != float(width * kTwipsPerPixel))
            return LayoutError{e.name + ".rect.width", std::nullopt, "is " + std::to_string(int(rect.width)) +
                                   " twips, its picture is " + std::to_string(width) + " pixels wide"};
        if (rect.height != float(height * kTwipsPerPixel))
            return LayoutError{e.name + ".rect.height", std::nullopt, "is " + std::to_string(int(rect.height)) +
                                   " twips, its picture is " + std::to_string(height) + " pixels high"};
        return std::nullopt;
    }

    std::optional<LayoutError> add(const ElementRecord& e, const LabelRecord& l)
    {
        Label::Style style;
        style.backColour = l.backColour.value_or(form_.backColour());
        style.foreColour = l.foreColour.value_or(0);
        style.alignment = toAlignment(l.alignment);
        if (l.font)
            style.font = toFont(*l.font);
        form_.add(std::make_unique<Label>(e.name, form_.labels().size(), toRect(l.rect), std::move(style), form_.notifier()));
        return std::nullopt;
    }

    std::optional<LayoutError> add(const ElementRecord& e, const MenuRecord& m)
    {
        form_.add(std::make_unique<MenuEntry>(e.name, form_.menuEntries().size(), m.caption.value_or(""), m.topLevel));
        return std::nullopt;
    }

    Form& form_;
    runtime::TimerScheduler& scheduler_;
    runtime::EventDispatcher& dispatcher_;
};

} // namespace

LayoutResult<std::unique_ptr<Form>> buildForm(const LayoutDescription& stored, runtime::TimerScheduler& scheduler,
                                              runtime::EventDispatcher& dispatcher)
{
    const auto readable = withReadableTexts(stored);
    if (!readable)
        return runtime::Unexpected{readable.error()};
    const LayoutDescription& layout = *readable;
    const WindowRecord& w = layout.window;
    const ScreenArea area = w.innerArea.value_or(ScreenArea{});
    auto form = std::make_unique<Form>(Form::Settings{w.name, w.caption.value_or(""), w.backColour.value_or(0x00FFFFFF),
                                                      area.left, area.top, float(area.width), float(area.height)});
    Builder builder(*form, scheduler, dispatcher);
    for (const ElementRecord& element : layout.elements) {
        if (auto error = builder.add(element))
            return runtime::Unexpected{*error};
    }
    return form;
}

LayoutResult<std::unique_ptr<Form>> loadForm(std::span<const std::uint8_t> stream, runtime::TimerScheduler& scheduler,
                                             runtime::EventDispatcher& dispatcher)
{
    auto layout = readLayout(stream);
    if (!layout)
        return runtime::Unexpected{layout.error()};
    return buildForm(*layout, scheduler, dispatcher);
}

} // namespace namoro::window
