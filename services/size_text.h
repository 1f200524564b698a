#pragma once
// File sizes as short texts: "1023b", "2KB", "3MB".

#include <cstdint>
#include <optional>
#include <string>

namespace varnholt {

// Below 1024 bytes the count and "b"; up to 1048575 bytes the nearest whole number of KiB and "KB"; above, of MiB and
// "MB". Halves round to the even neighbour.
std::string SizeText(uint64_t bytes);

// SizeText of a file's size; nothing when the path is not a regular file.
std::optional<std::string> FileSizeText(const std::string& path);

}  // namespace varnholt
