// A short real run of a program on a private X server, for a checker such as Valgrind that
// wraps it: start, Start, a few clicks, End. The command line is the whole wrapped command;
// the exit status is the command's own, so the checker's error status comes through.
//
//   namoro_valgrind_run valgrind --error-exitcode=1 ... build/app/namoro

#include "tests/xsession/PrivateDisplay.h"
#include "tests/xsession/ProgramWindow.h"

#include <chrono>
#include <iostream>
#include <optional>

using namespace std::chrono_literals;
using namespace namoro::xsession;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " command [argument...]\n";
        return 2;
    }
    const std::vector<std::string> command(argv + 1, argv + argc);
    try {
        PrivateDisplay display;
        // Under Valgrind everything runs some twenty times slower: generous bounds.
        ProgramWindow window(display, Process(command, ProgramWindow::programOptions(display)),
                             ProgramWindow::Options{"Form1", 536, 120s, 60s});
        std::cerr << "window shown; choosing Start\n";
        window.chooseMenuCommand(0, 2);
        // The game runs once the countdown has written the time box.
        const Point timeBox{40, 527};
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        std::optional<std::string> time;
        do {
            time = window.readText(timeBox);
        } while ((!time || *time == "0") && std::chrono::steady_clock::now() < deadline);
        if (!time || *time == "0") {
            std::cerr << "the countdown did not start\n";
            return 1;
        }
        std::cerr << "the time box shows " << *time << "\n";
        for (const Point p : {Point{40, 40}, Point{325, 60}, Point{600, 30}, Point{150, 200}, Point{40, 527}})
            window.click(p);
        std::cerr << "clicked; choosing End\n";
        window.chooseMenuCommand(1, 2);
        const auto status = window.process().waitFor(120s);
        if (!status) {
            std::cerr << "the program did not end after End\n";
            return 1;
        }
        std::cerr << "the program ended: " << status->describe() << "\n";
        return status->exited ? status->code : 1;
    } catch (const std::exception& error) {
        std::cerr << "the run failed: " << error.what() << "\n";
        return 1;
    }
}
