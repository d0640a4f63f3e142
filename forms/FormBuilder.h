#pragma once

#include "Form.h"
#include "layout/LayoutDescription.h"
#include "layout/LayoutError.h"

#include "runtime/EventDispatcher.h"
#include "runtime/TimerScheduler.h"

#include <cstdint>
#include <memory>
#include <span>

namespace namoro::window {

inline constexpr int kTwipsPerPixel = 15;

// Creates the window and its controls in element order; every timer starts counting at once.
// Pictures are decoded here. A bad picture or a control that contradicts its picture is an error.
LayoutResult<std::unique_ptr<Form>> buildForm(const LayoutDescription& layout, runtime::TimerScheduler& scheduler,
                                              runtime::EventDispatcher& dispatcher);

// Reads the stream, then builds the form.
LayoutResult<std::unique_ptr<Form>> loadForm(std::span<const std::uint8_t> stream,
                                             runtime::TimerScheduler& scheduler, runtime::EventDispatcher& dispatcher);

} // namespace namoro::window
