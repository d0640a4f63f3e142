#include "GameWindow.h"

#include "AccessiblePlayArea.h"
#include "ErrorReport.h"

#include "face/CommandKeys.h"
#include "face/PlayerTexts.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <cstdint>

namespace namoro::ui {
namespace {

// The X protocol's DestroyNotify event as Qt's X platform hands it on: its code, and the window
// that is gone at byte 8.
constexpr std::uint8_t kDestroyNotify = 17;
struct DestroyNotify {
    std::uint8_t code; // the top bit says the event was sent by a client
    std::uint8_t unused;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};

} // namespace

GameWindow::GameWindow(window::Form& form, window::PlayerInput& input)
    : form_(form), input_(input)
{
    setWindowTitle(QString::fromStdString(form.caption()));
    setAccessibleName(QString::fromUtf8(window::texts::kGameName));
    AccessiblePlayArea::install();
    // The menu bar is made first so that assistive technology, which reads the window's
    // children in the order they were made, meets it before the area beneath it.
    menuBar();
    playArea_ = new PlayArea(form, input, this);
    setCentralWidget(playArea_);

    const auto keySequence = [](std::string_view key) { return QKeySequence(QString::fromUtf8(key), QKeySequence::PortableText); };
    QMenu* current = nullptr;
    for (const auto& entry : form.menuEntries()) {
        const QString caption = QString::fromStdString(entry->caption());
        if (entry->topLevel() || !current) {
            current = menuBar()->addMenu(caption);
            current->setObjectName(QString::fromStdString(entry->name()));
            continue;
        }
        QAction* action = current->addAction(caption);
        action->setObjectName(QString::fromStdString(entry->name()));
        connect(action, &QAction::triggered, this, [this, place = entry->place()] { input_.choose(place); });
        for (const window::CommandKey& key : window::kCommandKeys) {
            if (key.entry == entry->name())
                connect(new QShortcut(keySequence(key.key), this), &QShortcut::activated, action, &QAction::trigger);
        }
    }
    // The menu bar's key opens its first menu; Alt still focuses the bar as before.
    connect(new QShortcut(keySequence(window::kMenuBarKey), this), &QShortcut::activated, this, [this] {
        if (!menuBar()->actions().isEmpty())
            menuBar()->setActiveAction(menuBar()->actions().front());
    });
    // Qt would cap a first size at two thirds of the screen; the layout's size is the window's.
    resize(sizeHint());
    form.listen(*this);
}

GameWindow::~GameWindow() { form_.stopListening(*this); }

void GameWindow::errorRaised(const runtime::RuntimeError& error) { reportRuntimeError(this, error); }

QMenu* GameWindow::menu(const std::string& caption) const
{
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() && action->text() == QString::fromStdString(caption))
            return action->menu();
    }
    return nullptr;
}

void GameWindow::closeEvent(QCloseEvent* event)
{
    input_.close();
    event->accept();
}

void GameWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!screenChanged_) {
        screenChanged_ = connect(windowHandle(), &QWindow::screenChanged, this, &GameWindow::fitScreen);
        fitScreen(windowHandle()->screen());
    }
}

// Without a window manager nothing holds the window to its largest size; hold it here.
void GameWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    const QSize bounded = size().boundedTo(maximumSize());
    if (bounded != size())
        resize(bounded);
}

void GameWindow::fitScreen(QScreen* screen)
{
    disconnect(availableChanged_);
    if (!screen)
        return;
    availableChanged_ = connect(screen, &QScreen::availableGeometryChanged, this, &GameWindow::fitArea);
    fitArea(screen->availableGeometry());
}

// Qt's stand-in screen while no output is connected has no area at all. It says nothing about
// how large the window may be: taken as a limit it would shrink the window to its menu bar for
// good, and the items, seeing no inner height, would respawn at every tick.
void GameWindow::fitArea(const QRect& available)
{
    if (!available.isEmpty())
        setMaximumSize(available.size());
}

// Qt goes on as if the window were still there: nobody could see the game or end it.
bool GameWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    if (eventType == "xcb_generic_event_t") {
        const auto* event = static_cast<const DestroyNotify*>(message);
        if ((event->code & 0x7f) == kDestroyNotify && event->window == winId())
            input_.close();
    }
    return QMainWindow::nativeEvent(eventType, message, result);
}

} // namespace namoro::ui
