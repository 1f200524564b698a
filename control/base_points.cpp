#include "control/base_points.h"

#include "config/file_write.h"
#include "config/file_read.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

// Beyond any list of points a person keeps; a larger file is not read into memory whole.
constexpr size_t kLargestFile = size_t{64} << 20;

}  // namespace

std::string BasePoints::FileIn(const std::string& program_folder) { return program_folder + "base.txt"; }

void BasePoints::Load(const std::string& program_folder) {
  bytes_.clear();
  loaded_ = false;
  changed_ = false;
  const std::optional<std::string> bytes = ReadFileBytes(FileIn(program_folder), kLargestFile + 1);
  if (bytes && bytes->size() > kLargestFile) throw RunTimeError::Io(8);  // not enough memory
  if (bytes) bytes_ = *bytes;
  loaded_ = true;
}

void BasePoints::Save(const std::string& program_folder) const {
  if (!loaded_ || !changed_) return;
  WriteFileReplacing(FileIn(program_folder), bytes_);
}

std::vector<std::string> BasePoints::Lines() const {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes_.size()) {
    size_t end = bytes_.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes_.substr(start));
      break;
    }
    lines.push_back(bytes_.substr(start, end - start));
    // A CR LF pair ends one line.
    if (bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace varnholt
