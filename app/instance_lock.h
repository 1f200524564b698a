#pragma once
// One copy of the program per program folder: the copy that holds the lock owns the controller; a second copy
// started on the same folder finds it taken. The lock lives in the account's runtime folder and is named
// after the program folder, so runs with folders of their own (the tests, --home) never meet.

#include <memory>
#include <string>

class QLockFile;

namespace varnholt {

class InstanceLock {
 public:
  // Takes the lock of program_folder in lock_folder (empty: the account's runtime folder, else the temporary
  // one).
  explicit InstanceLock(const std::string& program_folder, const std::string& lock_folder = "");
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another running copy holds the lock of this folder. A lock left by a copy that ended without
  // releasing it is taken over.
  bool acquired() const { return acquired_; }
  const std::string& path() const { return path_; }
  // The name of the running copy's beacon (InstanceBeacon), the same for every copy on the folder.
  const std::string& beacon_name() const { return beacon_name_; }

 private:
  std::string path_;
  std::string beacon_name_;
  std::unique_ptr<QLockFile> lock_;
  bool acquired_ = false;
};

}  // namespace varnholt
