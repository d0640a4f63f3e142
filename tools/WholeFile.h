#pragma once

#include "runtime/Expected.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace namoro::tools {

// Far larger than any layout or picture the compiler reads, so that a device that never ends
// (/dev/zero) is refused rather than read until memory runs out.
inline constexpr std::size_t kLargestInputFile = 64u << 20;

// A file's bytes, or "cannot read <path>" and why: no such file, a folder, a read error, or more
// than `limit` bytes.
runtime::Expected<std::string, std::string> readWholeFile(const std::filesystem::path& path,
                                                          std::size_t limit = kLargestInputFile);

} // namespace namoro::tools
