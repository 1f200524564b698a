#include "config/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

std::optional<WriteFault>& Fault() {
  static std::optional<WriteFault> fault;
  return fault;
}

// Fails the step with the injected error when a fault is set for it.
bool Injected(WriteStep step, int& error) {
  const auto& fault = Fault();
  if (!fault || fault->step != step) return false;
  error = fault->error != 0 ? fault->error : EIO;
  return true;
}

// The file a path names, through symbolic links, so the replacement lands where the link points.
std::filesystem::path Target(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path given(path);
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(given, ignored))) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(given, ignored);
    if (!ignored && !resolved.empty()) return resolved;
  }
  return given;
}

// Creates a new file beside target with a name no other file has; returns its descriptor or -errno.
int CreateBeside(const std::filesystem::path& target, std::string& temp_path) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path = target.string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000);
    const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -errno;
  }
  return -EEXIST;
}

// Writes all bytes, going on after short writes and interruptions; returns 0 or the errno value.
int WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  const auto& fault = Fault();
  const bool failing = fault && fault->step == WriteStep::kWrite;
  const size_t limit = failing && fault->after_bytes < bytes.size() ? fault->after_bytes : bytes.size();
  while (done < limit) {
    const ssize_t written = ::write(fd, bytes.data() + done, limit - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;
    done += static_cast<size_t>(written);
  }
  int error = 0;
  if (Injected(WriteStep::kWrite, error)) return error;
  return 0;
}

// Makes a finished rename durable; a folder that cannot be synced does not undo the replacement.
void SyncFolder(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void SetWriteFault(std::optional<WriteFault> fault) { Fault() = fault; }

std::string SystemReason(int error) {
  std::string reason = std::strerror(error);
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
  return reason;
}

std::string FileErrorMessage(int error, const std::string& path) {
  std::string message;
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      message = RunTimeError::AccessDenied().what();
      break;
    case ENOENT:
      message = RunTimeError::Io(2).what();
      break;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      message = RunTimeError::Io(3).what();
      break;
    case ENOSPC:
    case EDQUOT:
      message = RunTimeError::Io(112).what();  // disk full
      break;
    default:
      message = RunTimeError::Io(error).what();
      break;
  }
  return message + ": " + SystemReason(error) + " (" + path + ")";
}

void ThrowFileError(int error, const std::string& path) { throw RunTimeError(FileErrorMessage(error, path)); }

std::string SpecialFileKind(unsigned mode) {
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISDIR(mode)) return "a folder";
  return "a special file";
}

void ThrowNotARegularFile(const std::string& path, unsigned mode) {
  throw RunTimeError(std::string(RunTimeError::AccessDenied().what()) + ": not a regular file but " +
                     SpecialFileKind(mode) + " (" + path + ")");
}

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
  const std::filesystem::path target = Target(path);
  int error = 0;
  if (Injected(WriteStep::kOpen, error)) ThrowFileError(error, path);

  struct stat old_info {};
  const bool had_file = ::stat(target.c_str(), &old_info) == 0;
  if (had_file && S_ISDIR(old_info.st_mode)) ThrowFileError(EISDIR, path);
  // A rename over a pipe or a device would put a plain file in its place (as root, over a system device).
  if (had_file && !S_ISREG(old_info.st_mode)) ThrowNotARegularFile(path, old_info.st_mode);

  std::string temp_path;
  const int fd = CreateBeside(target, temp_path);
  if (fd < 0) ThrowFileError(-fd, path);

  // The replacement keeps the old file's permissions.
  if (had_file) ::fchmod(fd, old_info.st_mode & 07777);

  error = WriteAll(fd, bytes);
  if (error == 0 && !Injected(WriteStep::kSync, error) && ::fsync(fd) != 0) error = errno;
  const int close_result = ::close(fd);
  if (error == 0 && !Injected(WriteStep::kClose, error) && close_result != 0) error = errno;
  if (error == 0 && !Injected(WriteStep::kRename, error) && ::rename(temp_path.c_str(), target.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temp_path.c_str());
    ThrowFileError(error, path);
  }
  SyncFolder(target);
}

}  // namespace varnholt
