#include "PrivateDisplay.h"

#include <stdexcept>

namespace namoro::xsession {

PrivateDisplay::PrivateDisplay(const std::string& screen)
    // Xvfb writes the display number it found free to its standard output once it accepts
    // connections, and nothing else there.
    : server_({"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
              {.environment = {}, .capture = true, .quiet = true})
{
    QByteArray number;
    QProcess& server = server_.qprocess();
    while (!number.endsWith('\n')) {
        if (!server.waitForReadyRead(20'000))
            throw std::runtime_error("Xvfb ended or gave no display number within 20 s");
        number += server.readAllStandardOutput();
    }
    name_ = ":" + number.trimmed().toStdString();
    if (name_ == ":")
        throw std::runtime_error("Xvfb gave an empty display number");
}

} // namespace namoro::xsession
