#pragma once
// The base-point list: the lines of "base.txt" in the program folder, read at start-up and written back at the end
// exactly as they were read.

#include <string>
#include <vector>

namespace varnholt {

class BasePoints {
 public:
  // The file of the list in a program folder (with its trailing separator).
  static std::string FileIn(const std::string& program_folder);

  // Reads the list from the folder's "base.txt"; a missing file leaves the list empty. A file that is there but
  // cannot be read throws a RunTimeError with the run-time message, and the list will not be written back over it.
  void Load(const std::string& program_folder);
  // Writes the list back to the folder's "base.txt" byte for byte as it was read, creating the file when it was
  // missing. The old file stays whole when the write fails (a RunTimeError is thrown). Does nothing before a
  // successful load, so a file the program could not read is never replaced by an empty list.
  void Save(const std::string& program_folder) const;

  // The lines of the list, without their line ends.
  std::vector<std::string> Lines() const;
  // The file's bytes as they were read.
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  bool loaded_ = false;
};

}  // namespace varnholt
