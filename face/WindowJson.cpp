#include "WindowJson.h"

#include "CommandKeys.h"
#include "forms/HitTest.h"
#include "PlayerTexts.h"
#include "Presentation.h"

namespace namoro::window {
namespace {

void writeRect(runtime::JsonWriter& json, const Rect& r)
{
    json.key("left").number(twipsToPixels(r.left)).key("top").number(twipsToPixels(r.top));
    json.key("width").number(twipsToPixels(r.width)).key("height").number(twipsToPixels(r.height));
}

void writeCaption(runtime::JsonWriter& json, const Label& label)
{
    const auto& style = label.style();
    json.open('{');
    writeRect(json, label.rect());
    json.key("back").string(cssColour(style.backColour)).key("fore").string(cssColour(style.foreColour));
    json.key("alignment").string(alignmentName(style.alignment)).key("fontFamilies").open('[');
    if (!style.font.family.empty())
        json.string(style.font.family);
    json.string(kCaptionPageFace);
    for (const std::string_view family : kCaptionFallbackFamilies)
        json.string(family);
    json.close(']').key("pixelSize").number(captionPixelSize(style.font));
    json.key("weight").number(captionWeight(style.font)).key("italic").boolean(style.font.italic);
    json.key("underline").boolean(style.font.underline).key("strikeOut").boolean(style.font.strikeOut).close('}');
}

} // namespace

runtime::JsonWriter writeWindow(const Form& form, runtime::JsonWriter json)
{
    json.open('{').key("form").open('{').key("caption").string(form.caption());
    json.key("colour").string(cssColour(form.backColour()));
    json.key("width").number(twipsToPixels(form.settings().innerWidth));
    json.key("height").number(twipsToPixels(form.settings().innerHeight)).close('}');
    json.key("menu").open('[');
    for (const auto& entry : form.menuEntries()) {
        json.open('{').key("name").string(entry->name()).key("caption").string(entry->caption());
        json.key("topLevel").boolean(entry->topLevel());
        for (const CommandKey& key : kCommandKeys) {
            if (key.entry == entry->name() && key.onPage)
                json.key("key").string(key.key);
        }
        json.close('}');
    }
    json.close(']').key("menuKey").string(kMenuBarKey).key("pictures").open('[');
    for (const auto& picture : form.pictures()) {
        json.open('{').key("name").string(picture->name()).key("width").number(picture->picture().width);
        json.key("height").number(picture->picture().height).close('}');
    }
    json.close(']').key("boxes").open('[');
    for (const auto& box : form.textBoxes()) {
        json.open('{').key("name").string(box->name()).key("accessibleName").string(texts::boxName(box->name()));
        json.key("tabIndex").number(box->tabIndex());
        writeRect(json, box->rect());
        json.close('}');
    }
    json.close(']').key("captions").open('[');
    for (const auto& label : form.labels())
        writeCaption(json, *label);
    json.close(']').key("captionFace").string(kCaptionPageFace).key("texts").open('{');
    json.key("gameName").string(texts::kGameName).key("gameOver").string(texts::kGameOver).close('}').close('}');
    return json;
}

} // namespace namoro::window
