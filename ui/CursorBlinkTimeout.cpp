#include "CursorBlinkTimeout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace namoro::ui {

CursorBlinkTimeout::CursorBlinkTimeout(QCoreApplication& app, std::chrono::milliseconds timeout)
    : app_(app), flashTime_(QGuiApplication::styleHints()->cursorFlashTime())
{
    timer_.setSingleShot(true);
    timer_.setInterval(timeout);
    connect(&timer_, &QTimer::timeout, this, [this] { rest(); });
    app_.installEventFilter(this);
    timer_.start();
}

CursorBlinkTimeout::~CursorBlinkTimeout()
{
    app_.removeEventFilter(this);
    if (resting_)
        QGuiApplication::styleHints()->setCursorFlashTime(flashTime_);
}

bool CursorBlinkTimeout::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
    case QEvent::FocusIn:         // the player tabs or clicks into a box
    case QEvent::WindowActivate:  // or comes back to the window from another one
        wake();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CursorBlinkTimeout::rest()
{
    resting_ = true;
    // A flash time of zero is a steady cursor: the text boxes stop their blink timers.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CursorBlinkTimeout::wake()
{
    if (resting_) {
        resting_ = false;
        QGuiApplication::styleHints()->setCursorFlashTime(flashTime_);
    }
    timer_.start();
}

} // namespace namoro::ui
