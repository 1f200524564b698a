#include "files/file_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "config/file_write.h"

namespace varnholt {

int IoCodeFromErrno(int error) {
  switch (error) {
    case 0:
      return kIoOk;
    case ENOENT:
      return kIoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kIoPathNotFound;
    case EMFILE:
    case ENFILE:
      return kIoTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kIoAccessDenied;
    case EBUSY:
    case ETXTBSY:
      return kIoSharingViolation;
    default:
      return error;
  }
}

std::string IoCodeReason(int code) {
  switch (code) {
    case kIoFileNotFound:
      return SystemReason(ENOENT);
    case kIoPathNotFound:
      return SystemReason(ENOTDIR);
    case kIoTooManyOpenFiles:
      return SystemReason(EMFILE);
    case kIoAccessDenied:
      return SystemReason(EACCES);
    case kIoSharingViolation:
      return SystemReason(EBUSY);
    case kIoNotAFile:
      return "not a regular file: a pipe, a device or a socket";
    default:
      return SystemReason(code);
  }
}

int OpenForReading(const std::string& path, std::ifstream& stream) {
  // Checked with the system calls first: an ifstream says only that it failed, not why. Not blocking, so a pipe
  // without a writer is refused rather than waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return IoCodeFromErrno(errno);
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  ::close(fd);
  if (known && S_ISDIR(info.st_mode)) return kIoAccessDenied;
  if (known && !S_ISREG(info.st_mode)) return kIoNotAFile;
  stream.open(path, std::ios::binary);
  if (!stream.is_open()) return IoCodeFromErrno(errno != 0 ? errno : EACCES);
  return kIoOk;
}

}  // namespace varnholt
