#pragma once

#include "runtime/Expected.h"

#include <cstddef>
#include <optional>
#include <string>

namespace namoro::window {

// The first bad field of a stored layout (or of a picture inside it), where it stands and why.
struct LayoutError {
    std::string field;       // e.g. "Image3.picture.gif-length"
    std::optional<std::size_t> offset;  // byte offset of the field in the stream, when it has one
    std::string problem;

    std::string message() const
    {
        return "stored layout, field " + field + (offset ? " at offset " + std::to_string(*offset) : "") + ": " +
               problem;
    }
};

template <class T>
using LayoutResult = runtime::Expected<T, LayoutError>;

} // namespace namoro::window
