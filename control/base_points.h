#pragma once
// The base-point list: the lines of "base.txt" in the program folder, read at start-up; written back at the end only
// when the list changed, so that an edit made to the file while the program runs is kept.

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
  // Writes the list to the folder's "base.txt" when it differs from what was read; the old file stays whole when
  // the write fails (a RunTimeError is thrown). An unchanged list writes nothing (a missing file is not made), and
  // nothing is written before a successful load, so a file the program could not read is never replaced. No
  // operation of the program changes the list yet.
  void Save(const std::string& program_folder) const;

  // The lines of the list, without their line ends.
  std::vector<std::string> Lines() const;
  // The file's bytes as they were read.
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  bool loaded_ = false;
  bool changed_ = false;  // the list differs from the file as read
};

}  // namespace varnholt
