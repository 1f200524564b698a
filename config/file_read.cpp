#include "config/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "config/file_write.h"

namespace varnholt {
namespace {

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes) {
  // Not blocking on open, so a pipe or a device in the file's place is refused instead of waited on.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    ThrowFileError(errno, path);
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) ThrowFileError(errno, path);
  if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR, path);
  if (!S_ISREG(info.st_mode)) ThrowFileError(EINVAL, path);
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < max_bytes) {
    const size_t wanted = std::min(sizeof buffer, max_bytes - bytes.size());
    const ssize_t got = ::read(file.get(), buffer, wanted);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno, path);
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

}  // namespace varnholt
