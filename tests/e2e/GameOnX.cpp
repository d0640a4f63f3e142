#include "GameOnX.h"

#include <charconv>

namespace namoro::e2e {

GameOnX::GameOnX() : art_(loadItemArt(NAMORO_PICTURE_DIR))
{
    window_.emplace(display_, std::vector<std::string>{NAMORO_EXECUTABLE},
                    xsession::ProgramWindow::Options{"Form1", kInnerHeight});
}

StartScreenReport GameOnX::waitForStartScreen(std::chrono::milliseconds bound)
{
    StartScreenReport report;
    eventually(bound, [&] {
        report = compareWithStartScreen(screenshot(), inner(), art_);
        return report.matches();
    });
    return report;
}

std::optional<int> wholeNumber(const std::optional<std::string>& text)
{
    if (!text || text->empty())
        return std::nullopt;
    int value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc{} || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace namoro::e2e
