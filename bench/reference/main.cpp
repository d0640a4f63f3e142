// The reference for the whole-program figures: a bare Qt window with the game's menu bar and
// inner size, and nothing else. What the game costs beyond this is the game's own.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

namespace {

class InnerArea final : public QWidget {
public:
    QSize sizeHint() const override { return {650, 536}; }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("ナモロゲーム"));
    menu->addAction(QStringLiteral("スタート"));
    QObject::connect(menu->addAction(QStringLiteral("エンド")), &QAction::triggered, &app, &QApplication::quit);
    window.setCentralWidget(new InnerArea); // owned by the window
    window.resize(window.sizeHint());
    window.show();
    return QApplication::exec();
}
