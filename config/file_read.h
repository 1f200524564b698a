#pragma once
// Reading a whole small file as raw bytes, with failures as the run-time messages the operator is shown.

#include <cstddef>
#include <optional>
#include <string>

namespace varnholt {

// The bytes of the file at path, at most max_bytes of them; nothing when no file is there. Any other failure (a
// folder, a pipe or device, no permission, a read error) throws a RunTimeError with the run-time message, the reason and the file.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes);

}  // namespace varnholt
