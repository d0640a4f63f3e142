#pragma once

#include "runtime/RuntimeError.h"

#include <QWidget>
#include <string>

namespace namoro::ui {

// Tells the player what went wrong; returns when the message is dismissed.
void reportRuntimeError(QWidget* parent, const runtime::RuntimeError& error);
void reportStartupError(const std::string& message);

} // namespace namoro::ui
