#pragma once
// The drawings opened last, newest first, kept in a settings file of their own beside the program's settings
// record (the record has no room for them).

#include <cstddef>
#include <string>
#include <vector>

namespace varnholt {

class RecentFiles {
 public:
  static constexpr size_t kKept = 8;

  // Reads the list kept in file (an INI file; missing means none; an empty name keeps the list for this run).
  explicit RecentFiles(std::string file);

  const std::vector<std::string>& paths() const { return paths_; }
  // The path goes to the front (once), the oldest beyond kKept drops out; the list is written at once, so a
  // second window of the program and the next start see it.
  void Add(const std::string& path);
  // A path that no longer opens leaves the list.
  void Remove(const std::string& path);

 private:
  void Save() const;

  std::string file_;
  std::vector<std::string> paths_;
};

}  // namespace varnholt
