#include "ProgramWindow.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <xcb/xcb.h>

namespace namoro::xsession {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPollStep = 20ms;
constexpr auto kPasteBound = 30s; // a megabyte goes through the clipboard in pieces
constexpr int kMenuTitleX = 20; // inside the first title of the menu bar

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            result.push_back(line);
    }
    return result;
}

// "WIDTH=650" and the like, from xdotool getwindowgeometry --shell.
int shellValue(const std::string& output, const std::string& name)
{
    for (const std::string& line : lines(output)) {
        if (line.rfind(name + "=", 0) == 0)
            return std::stoi(line.substr(name.size() + 1));
    }
    throw std::runtime_error("xdotool reported no " + name);
}

// Waits for `ready` to hold, looking every `step`, for at most `bound`.
template <class F>
bool pollUntil(std::chrono::milliseconds bound, F ready, std::chrono::milliseconds step = kPollStep)
{
    const auto deadline = Clock::now() + bound;
    for (;;) {
        if (ready())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(step);
    }
}

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name)
{
    auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return atom;
}

} // namespace

ProcessOptions ProgramWindow::programOptions(const PrivateDisplay& display)
{
    ProcessOptions options;
    options.environment = display.environment();
    options.environment.emplace_back("QT_QPA_PLATFORM", "xcb");
    return options;
}

ProgramWindow::ProgramWindow(const PrivateDisplay& display, const std::vector<std::string>& argv, Options options)
    : ProgramWindow(display, Process(argv, programOptions(display)), std::move(options))
{
}

ProgramWindow::ProgramWindow(const PrivateDisplay& display, Process program, Options options)
    : options_(std::move(options)), displayName_(display.name()), process_(std::move(program))
{
    clientOptions_.environment = display.environment();

    // --sync waits for the window to be mapped; the bound keeps a program that never shows
    // one from hanging the caller.
    const CommandResult found =
        xdotool({"search", "--sync", "--onlyvisible", "--pid", std::to_string(process_.pid()), "--name",
                 "^" + options_.caption + "$"},
                options_.startBound);
    const auto ids = lines(found.output);
    if (!found.succeeded() || ids.empty()) {
        const auto status = process_.waitFor(0ms);
        throw std::runtime_error("no window \"" + options_.caption + "\" appeared" +
                                 (status ? " (the program ended: " + status->describe() + ")" : std::string()));
    }
    windowId_ = ids.front();
    const CommandResult geometry = xdotool({"getwindowgeometry", "--shell", windowId_});
    if (!geometry.succeeded())
        throw std::runtime_error("xdotool cannot read the window's geometry");
    width_ = shellValue(geometry.output, "WIDTH");
    height_ = shellValue(geometry.output, "HEIGHT");
}

CommandResult ProgramWindow::xdotool(std::vector<std::string> args, std::chrono::milliseconds bound)
{
    args.insert(args.begin(), "xdotool");
    return runCommand(args, clientOptions_, bound);
}

void ProgramWindow::click(Point p)
{
    xdotool({"mousemove", "--window", windowId_, std::to_string(p.x), std::to_string(p.y + menuBarHeight()), "click",
             "1"});
}

void ProgramWindow::keys(const std::vector<std::string>& keys)
{
    std::vector<std::string> args{"key", "--clearmodifiers"};
    args.insert(args.end(), keys.begin(), keys.end());
    xdotool(args);
}

void ProgramWindow::type(const std::string& text)
{
    if (!text.empty())
        xdotool({"type", "--clearmodifiers", "--delay", "20", "--", text});
}

void ProgramWindow::replaceText(Point p, const std::string& text)
{
    click(p);
    keys({"ctrl+a", "BackSpace"});
    type(text);
}

void ProgramWindow::paste(Point p, const std::string& text)
{
    if (!ownClipboard(text))
        throw std::runtime_error("the clipboard did not take the text to paste");
    // The program reads a large paste in pieces from our keeper and handles its input in order:
    // the copy after the paste takes the clipboard over only once the paste is in, and that
    // ends the keeper. Ending it earlier would leave the program waiting for the rest.
    xdotool({"mousemove", "--window", windowId_, std::to_string(p.x), std::to_string(p.y + menuBarHeight()), "click",
             "1", "key", "--clearmodifiers", "ctrl+a", "ctrl+v", "ctrl+a", "ctrl+c"});
    if (!clipboardKeeper_->waitFor(kPasteBound))
        throw std::runtime_error("the program did not take the pasted text");
    clipboardKeeper_.reset();
}

void ProgramWindow::clickBurst(Point p, int count)
{
    xdotool({"mousemove", "--window", windowId_, std::to_string(p.x), std::to_string(p.y + menuBarHeight()), "click",
             "--repeat", std::to_string(count), "--delay", "0", "1"});
}

void ProgramWindow::resize(int width, int height)
{
    xdotool({"windowsize", windowId_, std::to_string(width), std::to_string(height)});
}

std::vector<std::string> ProgramWindow::visibleWindows()
{
    return lines(xdotool({"search", "--onlyvisible", "--pid", std::to_string(process_.pid())}).output);
}

void ProgramWindow::chooseMenuCommand(int index, int count)
{
    xdotool({"mousemove", "--window", windowId_, std::to_string(kMenuTitleX), std::to_string(menuBarHeight() / 2),
             "click", "1"});
    std::string popup;
    const bool opened = pollUntil(options_.responseBound, [&] {
        for (const std::string& id : visibleWindows()) {
            if (id != windowId_)
                popup = id;
        }
        return !popup.empty();
    });
    if (!opened)
        throw std::runtime_error("the menu did not open");
    const CommandResult geometry = xdotool({"getwindowgeometry", "--shell", popup});
    const int w = shellValue(geometry.output, "WIDTH");
    const int h = shellValue(geometry.output, "HEIGHT");
    // The commands share the popup's height equally; aim at the middle of the one wanted.
    xdotool({"mousemove", "--window", popup, std::to_string(w / 2), std::to_string(h * (2 * index + 1) / (2 * count)),
             "click", "1"});
    pollUntil(options_.responseBound, [&] {
        const auto shown = visibleWindows();
        return !process_.running() || std::find(shown.begin(), shown.end(), popup) == shown.end();
    });
}

std::optional<std::string> ProgramWindow::clipboardText()
{
    ProcessOptions options = clientOptions_;
    options.quiet = true; // "no selection" is an answer here, not a failure
    const CommandResult result = runCommand({"xclip", "-o", "-selection", "clipboard"}, options, 5000ms);
    if (!result.succeeded())
        return std::nullopt;
    return result.output;
}

bool ProgramWindow::ownClipboard(const std::string& text)
{
    ProcessOptions options = clientOptions_;
    options.quiet = true;
    // -quiet keeps xclip in the foreground, ours to end; it leaves by itself once the program
    // under test takes the clipboard.
    clipboardKeeper_.reset();
    clipboardKeeper_.emplace(std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard", "-i"}, options);
    QProcess& xclip = clipboardKeeper_->qprocess();
    xclip.write(text.data(), qint64(text.size()));
    while (xclip.bytesToWrite() > 0 && xclip.waitForBytesWritten(5000)) {
    }
    xclip.closeWriteChannel();
    return pollUntil(5000ms, [&] { return clipboardText() == text; });
}

std::optional<std::string> ProgramWindow::readText(Point p, std::chrono::milliseconds bound)
{
    const auto deadline = Clock::now() + bound;
    while (Clock::now() < deadline) {
        // A marker in the clipboard first, so that only a fresh copy counts.
        const std::string marker = "namoro-e2e-marker-" + std::to_string(++sentinelCount_);
        if (!ownClipboard(marker))
            continue;
        xdotool({"mousemove", "--window", windowId_, std::to_string(p.x), std::to_string(p.y + menuBarHeight()), "click",
                 "1", "key", "--clearmodifiers", "ctrl+a", "ctrl+c"});
        std::optional<std::string> copied;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        // A copy can miss when the program rewrites the box between ctrl+a and ctrl+c: try again.
        pollUntil(std::clamp(left, 0ms, 2000ms), [&] {
            copied = clipboardText();
            return copied && *copied != marker;
        });
        if (copied && *copied != marker)
            return copied;
    }
    return std::nullopt;
}

Image ProgramWindow::screenshot()
{
    const CommandResult shot =
        runCommand({"import", "-silent", "-window", windowId_, "-depth", "8", "ppm:-"}, clientOptions_, 20000ms);
    if (!shot.succeeded())
        throw std::runtime_error("import could not take a screenshot");
    const QImage image = QImage::fromData(QByteArray::fromStdString(shot.output), "PPM");
    if (image.isNull())
        throw std::runtime_error("import gave no readable PPM");
    return Image(image);
}

void ProgramWindow::requestClose()
{
    xcb_connection_t* connection = xcb_connect(displayName_.c_str(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        throw std::runtime_error("cannot connect to " + displayName_);
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(std::stoul(windowId_));
    event.type = internAtom(connection, "WM_PROTOCOLS");
    event.data.data32[0] = internAtom(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    // A round trip, so the message has left before we hang up.
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
}

} // namespace namoro::xsession
