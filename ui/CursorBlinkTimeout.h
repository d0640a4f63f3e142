#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class QCoreApplication;

namespace namoro::ui {

// The text cursor blinks while the player is active and, after a spell without a key or a
// click, stops and stays shown, as GTK desktops do: a blinking cursor nobody looks at would
// wake the program twice a second for ever. The next key or click sets it blinking again, and
// so does focus coming back to the window or to a box: the player is looking again.
class CursorBlinkTimeout final : public QObject {
public:
    static constexpr std::chrono::milliseconds kTimeout{10'000};

    explicit CursorBlinkTimeout(QCoreApplication& app, std::chrono::milliseconds timeout = kTimeout);
    ~CursorBlinkTimeout() override;

    bool resting() const { return resting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rest();
    void wake();

    QCoreApplication& app_;
    QTimer timer_;
    int flashTime_;
    bool resting_ = false;
};

} // namespace namoro::ui
