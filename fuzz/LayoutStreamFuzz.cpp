// Any bytes as a stored layout: the reader refuses them naming a field, or the text form carries
// them back to the same bytes and the form is built or refused naming a field.

#include "FuzzCheck.h"

#include "runtime/Clock.h"
#include "tools/LayoutText.h"
#include "tools/LayoutWriter.h"
#include "forms/FormBuilder.h"
#include "layout/LayoutReader.h"

#include <cstdint>
#include <vector>

using namespace namoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto layout = window::readLayout(bytes);
    if (!layout) {
        fuzz::check(!layout.error().field.empty(), "a refused stream names its field");
        return 0;
    }

    const auto noFiles = [](const std::string&) -> runtime::Expected<std::vector<std::uint8_t>, std::string> {
        return runtime::Unexpected{std::string("no picture files")};
    };
    const auto text = tools::parseLayoutText(tools::printLayoutText(*layout), noFiles);
    fuzz::check(text.has_value(), "the printed text of a stream compiles");
    fuzz::check(*text == *layout, "the printed text compiles to the same description");
    const auto written = tools::writeLayout(*text);
    fuzz::check(written.has_value(), "a description read from a stream can be written");
    fuzz::check(std::equal(bytes.begin(), bytes.end(), written->begin(), written->end()),
                "the description writes back to the same bytes");

    runtime::VirtualClock clock;
    runtime::TimerScheduler scheduler(clock);
    runtime::EventDispatcher dispatcher;
    const auto form = window::buildForm(*layout, scheduler, dispatcher);
    if (!form)
        fuzz::check(!form.error().field.empty(), "a refused form names its field");
    return 0;
}
