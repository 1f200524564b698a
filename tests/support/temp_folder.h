#pragma once
// A temporary folder for one test (a program folder, or a place for drawings), removed with everything in it.

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace varnholt::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (Base() / "varnholt-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing separator, as the program folder is given.
  std::string folder() const { return path_.string() + "/"; }

  // Writes a file in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string path = folder() + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  void MakeFolder(const std::string& name) const { std::filesystem::create_directories(path_ / name); }
  // The path a file of that name would have in the folder.
  std::string PathOf(const std::string& name) const { return folder() + name; }

 private:
  // Memory-backed when the machine has such a folder: the program syncs every file it replaces, and on a disk the
  // syncs of thousands of randomized runs would take minutes of waiting.
  static std::filesystem::path Base() {
    const std::filesystem::path memory = "/dev/shm";
    std::error_code error;
    if (std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0) return memory;
    return std::filesystem::temp_directory_path();
  }

  std::filesystem::path path_;
};

}  // namespace varnholt::testing
