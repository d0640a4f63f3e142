// The moving floor: a bare Qt program, sharing no code with the game, that draws the game's
// window (menu bar, lavender inner area, two text boxes, a caption) and after Start moves 17
// pictures of the items' sizes 100 twips a tick on the game's 18 paced periods for 60 s,
// from one precise single-shot timer with partial updates. What the game costs beyond this
// while running is the game's own. On End it prints how late its ticks came, in ms:
// "late MEDIAN P99".

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kWidth = 650, kHeight = 536; // the inner area, in pixels
constexpr int kStep = 100;                 // twips a tick
constexpr qint64 kGridUs = 15625;          // the classic 1/64 s timer grid
constexpr int kGameSeconds = 60;
const QColor kLavender(192, 192, 255);

// One item: its size and start position in twips, and its timer's interval in milliseconds.
// Listed bottom of the stack first.
struct Item {
    int left, top, width, height, intervalMs;
};
constexpr std::array<Item, 17> kItems{{
    {6480, 960, 660, 615, 16},   {3000, 1200, 645, 480, 27}, {4920, 1080, 690, 540, 20},
    {1080, 1440, 735, 645, 35},  {3600, 240, 810, 600, 1},   {8760, 240, 630, 645, 540},
    {3600, 2640, 840, 675, 1000}, {1440, 120, 855, 705, 1},  {840, 120, 810, 765, 29},
    {5400, 120, 615, 750, 12},   {7800, 240, 705, 690, 37},  {6120, 240, 720, 600, 25},
    {4320, 240, 795, 555, 45},   {2880, 240, 645, 570, 50},  {2040, 120, 1110, 660, 15},
    {6960, 360, 690, 555, 200},  {120, 240, 690, 645, 38},
}};
constexpr int kCountdownIntervalMs = 1000;

qint64 periodUs(int intervalMs)
{
    return std::max<qint64>(1, (intervalMs * 1000LL + kGridUs - 1) / kGridUs) * kGridUs;
}

int pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// A sprite of the given size: opaque coloured bands inside an ellipse, transparent around it.
QImage sprite(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    for (int band = 0; band < 4; ++band) {
        painter.setBrush(QColor::fromHsv((seed * 47 + band * 60) % 360, 200, 230 - band * 40));
        const int inset = band * std::min(width, height) / 9;
        painter.drawEllipse(QRect(inset, inset, width - 2 * inset, height - 2 * inset));
    }
    return image;
}

class MovingArea final : public QWidget {
public:
    MovingArea()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        caption_.setFamilies({QStringLiteral("RocknRoll One"), QStringLiteral("Noto Sans CJK JP")});
        caption_.setPixelSize(21);
        caption_.setBold(true);
        for (std::size_t i = 0; i < kItems.size(); ++i) {
            positions_[i] = {kItems[i].left, kItems[i].top};
            sprites_[i] = sprite(pixels(kItems[i].width), pixels(kItems[i].height), int(i));
        }
        time_ = box(QRect(0, 520, 81, 18));
        box(QRect(576, 520, 73, 18));
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { fire(); });
    }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

    void printLateness()
    {
        if (lateUs_.empty())
            return;
        std::sort(lateUs_.begin(), lateUs_.end());
        auto at = [this](double share) { return double(lateUs_[std::size_t(share * double(lateUs_.size() - 1))]) / 1000; };
        std::printf("late %.3f %.3f\n", at(0.5), at(0.99));
    }

    void start()
    {
        if (clock_.isValid())
            return;
        clock_.start();
        for (std::size_t timer = 0; timer < due_.size(); ++timer)
            due_[timer] = period(timer);
        arm();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        const QRect dirty = event->rect();
        painter.fillRect(dirty, kLavender);
        const QRect captionRect(0, 488, 137, 33);
        if (captionRect.intersects(dirty)) {
            painter.setFont(caption_);
            painter.setPen(Qt::red);
            painter.drawText(captionRect, Qt::AlignCenter, QStringLiteral("凸(▼△▼メ)"));
        }
        for (std::size_t i = 0; i < kItems.size(); ++i) {
            if (rectOf(i).intersects(dirty))
                painter.drawImage(rectOf(i).topLeft(), sprites_[i]);
        }
    }

private:
    QLineEdit* box(QRect geometry)
    {
        auto* edit = new QLineEdit(QStringLiteral("0"), this); // owned by this widget
        edit->setGeometry(geometry);
        edit->setFocusPolicy(Qt::NoFocus); // no blinking cursor: the floor costs only its drawing
        return edit;
    }

    QRect rectOf(std::size_t i) const
    {
        return {pixels(positions_[i].x()), pixels(positions_[i].y()), sprites_[i].width(), sprites_[i].height()};
    }

    qint64 period(std::size_t timer) const
    {
        return periodUs(timer < kItems.size() ? kItems[timer].intervalMs : kCountdownIntervalMs);
    }

    // The next due instant of `timer` after `now`: its anchor (Start) plus whole periods.
    qint64 nextDue(std::size_t timer, qint64 now) const { return (now / period(timer) + 1) * period(timer); }

    void tick(std::size_t timer)
    {
        if (timer == kItems.size()) {
            time_->setText(QString::number(--secondsLeft_));
            return;
        }
        const QRect before = rectOf(timer);
        QPoint& at = positions_[timer];
        at.ry() += kStep;
        if (at.y() > kHeight * kTwipsPerPixel) {
            at.ry() = 0;
            at.rx() = std::uniform_int_distribution<int>(0, kWidth * kTwipsPerPixel - kItems[timer].width)(random_);
        }
        update(before);
        update(rectOf(timer));
    }

    void fire()
    {
        const qint64 now = clock_.nsecsElapsed() / 1000;
        for (std::size_t timer = 0; timer < due_.size(); ++timer) {
            if (due_[timer] > now)
                continue;
            lateUs_.push_back(clock_.nsecsElapsed() / 1000 - due_[timer]);
            tick(timer);
            due_[timer] = nextDue(timer, now);
        }
        if (secondsLeft_ > 0)
            arm();
    }

    void arm()
    {
        const qint64 wait = *std::min_element(due_.begin(), due_.end()) - clock_.nsecsElapsed() / 1000;
        timer_.start(int(std::max<qint64>(0, (wait + 999) / 1000))); // whole milliseconds, never early
    }

    QFont caption_;
    std::array<QPoint, kItems.size()> positions_;
    std::array<QImage, kItems.size()> sprites_;
    std::array<qint64, kItems.size() + 1> due_{}; // microseconds since Start; the last is the countdown
    std::vector<qint64> lateUs_;                  // delivered minus due, a tick each
    QLineEdit* time_ = nullptr;
    int secondsLeft_ = kGameSeconds;
    std::minstd_rand random_{1};
    QElapsedTimer clock_;
    QTimer timer_;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    auto* area = new MovingArea; // owned by the window
    window.setCentralWidget(area);
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("ナモロゲーム"));
    QObject::connect(menu->addAction(QStringLiteral("スタート")), &QAction::triggered, area, [area] { area->start(); });
    QObject::connect(menu->addAction(QStringLiteral("エンド")), &QAction::triggered, &app, &QApplication::quit);
    window.resize(window.sizeHint());
    window.show();
    const int status = QApplication::exec();
    area->printLateness();
    return status;
}
