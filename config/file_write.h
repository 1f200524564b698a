#pragma once
// The one place the configuration files are written: a whole new file beside the old one, renamed over it only
// when it is complete, so a full disk or a failed write never leaves a truncated file behind.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

// Replaces the file at path with bytes (creating it when missing). On failure the old file is left as it was, the
// partial new file is removed, and a RunTimeError is thrown with the run-time message, the system's reason and the
// file (see FileErrorMessage). A symbolic link is followed, so the file it names is replaced and the link stays. A
// path that names a pipe, a device or a socket is refused before anything is written.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

// The steps of WriteFileReplacing a test can make fail.
enum class WriteStep { kOpen, kWrite, kSync, kClose, kRename };

// A failure to inject: the step fails with error (an errno value); a write first stores after_bytes bytes of
// the new contents and then fails, as a disk that fills up does.
struct WriteFault {
  WriteStep step = WriteStep::kWrite;
  size_t after_bytes = 0;
  int error = 0;
};

// Makes every following WriteFileReplacing fail as described (nothing restores normal writing).
void SetWriteFault(std::optional<WriteFault> fault);

// Injects a write fault for the lifetime of the guard.
class ScopedWriteFault {
 public:
  explicit ScopedWriteFault(const WriteFault& fault) { SetWriteFault(fault); }
  ~ScopedWriteFault() { SetWriteFault(std::nullopt); }
  ScopedWriteFault(const ScopedWriteFault&) = delete;
  ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;
};

// The system's own words for an errno value, starting in lower case ("no space left on device").
std::string SystemReason(int error);

// The message of a failed file operation with an errno value: the run-time message ("File access denied",
// "I/O error %d"), the system's reason and the file, as in "I/O error 112: no space left on device (/home/out.cn)".
std::string FileErrorMessage(int error, const std::string& path);

// Throws the RunTimeError of a failed file operation with an errno value on path.
[[noreturn]] void ThrowFileError(int error, const std::string& path);

// What a file of this type (st_mode) is when it is not a regular file: "a pipe", "a device", "a socket".
std::string SpecialFileKind(unsigned mode);

// Throws the RunTimeError of a path that names no regular file (mode from stat): it is neither read, nor waited on,
// nor replaced. "File access denied: not a regular file but a pipe (/tmp/out.cn)".
[[noreturn]] void ThrowNotARegularFile(const std::string& path, unsigned mode);

}  // namespace varnholt
