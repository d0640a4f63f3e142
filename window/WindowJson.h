#pragma once

#include "Form.h"
#include "runtime/JsonWriter.h"

namespace namoro::window {

// The window as stored, with what the player reads and the keys, as one JSON object: the web page
// builds itself from it, and the build's scripts and page files take their facts from it.
void writeWindow(runtime::JsonWriter& json, const Form& form);

} // namespace namoro::window
