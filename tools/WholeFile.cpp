#include "WholeFile.h"

#include <fstream>

namespace namoro::tools {

runtime::Expected<std::string, std::string> readWholeFile(const std::filesystem::path& path, std::size_t limit)
{
    const std::string cannot = "cannot read " + path.string();
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return runtime::Unexpected{cannot + ": it is a folder"};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return runtime::Unexpected{cannot};
    // A read error sets the bad bit here rather than throwing out of the stream buffer.
    std::string bytes;
    char chunk[1 << 16];
    while (in && bytes.size() <= limit) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (bytes.size() > limit)
        return runtime::Unexpected{cannot + ": larger than " + std::to_string(limit) + " bytes"};
    if (in.bad())
        return runtime::Unexpected{cannot + ": a read error"};
    return bytes;
}

} // namespace namoro::tools
