#include "config/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

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
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor& operator=(Descriptor&&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Opens a regular file for reading; nothing when it is missing. Not blocking on open, so a pipe or a device in the
// file's place is refused instead of waited on.
std::optional<Descriptor> OpenRegular(const std::string& path, struct stat& info) {
  std::optional<Descriptor> file;
  file.emplace(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file->get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    ThrowFileError(errno, path);
  }
  if (::fstat(file->get(), &info) != 0) ThrowFileError(errno, path);
  if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR, path);
  if (!S_ISREG(info.st_mode)) ThrowNotARegularFile(path, info.st_mode);
  return file;
}

std::string ReadUpTo(const Descriptor& file, const std::string& path, size_t max_bytes) {
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

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes) {
  struct stat info {};
  const std::optional<Descriptor> file = OpenRegular(path, info);
  if (!file) return std::nullopt;
  return ReadUpTo(*file, path, max_bytes);
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t max_bytes) {
  struct stat info {};
  const std::optional<Descriptor> file = OpenRegular(path, info);
  if (!file) return std::nullopt;
  if (static_cast<uintmax_t>(info.st_size) > max_bytes) ThrowFileError(EFBIG, path);
  // A file that grows while it is read is cut at the bound, and then refused the same way.
  std::string bytes = ReadUpTo(*file, path, max_bytes == SIZE_MAX ? max_bytes : max_bytes + 1);
  if (bytes.size() > max_bytes) ThrowFileError(EFBIG, path);
  return bytes;
}

}  // namespace varnholt
