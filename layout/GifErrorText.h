#pragma once

#include <gif_lib.h>
#include <string>

namespace namoro::window {

// giflib's message for an error code. Some of its failures leave the code at 0, which has no
// message: those are data that end early or cannot be a picture.
inline std::string gifErrorText(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "truncated or malformed data";
}

} // namespace namoro::window
