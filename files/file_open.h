#pragma once
// Opening drawing files for reading, with failures as the I/O codes the messages are chosen by.

#include <fstream>
#include <string>

namespace varnholt {

// I/O codes of a failed open.
enum IoCode : int {
  kIoOk = 0,
  kIoFileNotFound = 2,
  kIoPathNotFound = 3,
  kIoTooManyOpenFiles = 4,
  kIoAccessDenied = 5,
  kIoSharingViolation = 32,
  // A pipe, a device or a socket: no drawing, and never waited on. Above every errno value.
  kIoNotAFile = 1005,
};

// Maps an errno value of a failed open to its I/O code.
int IoCodeFromErrno(int error);

// The system's reason for a failed open by its I/O code ("no such file or directory").
std::string IoCodeReason(int code);

// Opens a regular file for binary reading; returns 0 or the I/O code (a folder is access denied, a pipe, device or
// socket is kIoNotAFile, refused at once without waiting for a writer).
int OpenForReading(const std::string& path, std::ifstream& stream);

}  // namespace varnholt
