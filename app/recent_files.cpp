#include "app/recent_files.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <utility>

namespace varnholt {
namespace {

constexpr const char* kKey = "recent/files";

}  // namespace

RecentFiles::RecentFiles(std::string file) : file_(std::move(file)) {
  if (file_.empty()) return;
  const QSettings settings(QString::fromStdString(file_), QSettings::IniFormat);
  for (const QString& path : settings.value(kKey).toStringList()) {
    const std::string kept = path.toStdString();
    if (!kept.empty() && paths_.size() < kKept &&
        std::find(paths_.begin(), paths_.end(), kept) == paths_.end()) {
      paths_.push_back(kept);
    }
  }
}

void RecentFiles::Add(const std::string& path) {
  std::erase(paths_, path);
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kKept) paths_.resize(kKept);
  Save();
}

void RecentFiles::Remove(const std::string& path) {
  std::erase(paths_, path);
  Save();
}

void RecentFiles::Save() const {
  // Without a writable folder the list lasts for this run.
  if (file_.empty()) return;
  QSettings settings(QString::fromStdString(file_), QSettings::IniFormat);
  QStringList list;
  for (const std::string& path : paths_) list << QString::fromStdString(path);
  settings.setValue(kKey, list);
  settings.sync();
}

}  // namespace varnholt
