#pragma once
// Reading a whole small file as raw bytes, with failures as the run-time messages the operator is shown.

#include <cstddef>
#include <optional>
#include <string>

namespace varnholt {

// The bytes of the file at path, at most max_bytes of them; nothing when no file is there. Any other failure (a
// folder, a pipe or device, no permission, a read error) throws a RunTimeError with the run-time message, the reason
// and the file. A pipe or a device is refused at once, never waited on.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes);

// The whole file at path when it holds at most max_bytes; nothing when no file is there. A larger file throws
// (before it is read) with the run-time message of a file too large; every other failure as ReadFileBytes.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t max_bytes);

}  // namespace varnholt
