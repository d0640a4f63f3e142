#pragma once

#include "runtime/RuntimeError.h"

#include <QWidget>

namespace namoro::ui {

// Tells the player what went wrong, by number and message; returns when it is dismissed.
void reportRuntimeError(QWidget* parent, const runtime::RuntimeError& error);

} // namespace namoro::ui
