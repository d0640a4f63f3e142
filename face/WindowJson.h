#pragma once

#include "forms/Form.h"
#include "runtime/JsonWriter.h"

namespace namoro::window {

// The window as stored, with what the player reads and the keys, as one JSON object: the web page
// builds itself from it, and the build's scripts and page files take their facts from it. It is
// written into `json`, a new writer unless given, which is handed back.
runtime::JsonWriter writeWindow(const Form& form, runtime::JsonWriter json = {});

} // namespace namoro::window
