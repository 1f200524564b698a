#include "app/instance_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace varnholt {
namespace {

QString LockFolder(const std::string& chosen) {
  if (!chosen.empty()) return QString::fromStdString(chosen);
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& program_folder, const std::string& lock_folder) {
  // The same folder reached by another spelling is the same folder.
  QString folder = QFileInfo(QString::fromStdString(program_folder)).canonicalFilePath();
  if (folder.isEmpty()) folder = QDir::cleanPath(QString::fromStdString(program_folder));
  const QByteArray key = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  const QString dir = LockFolder(lock_folder);
  QDir().mkpath(dir);
  path_ = (dir + "/varnholt-" + QString::fromLatin1(key) + ".lock").toStdString();
  beacon_name_ = "varnholt-" + key.toStdString();
  lock_ = std::make_unique<QLockFile>(QString::fromStdString(path_));
  // A living owner is never taken for stale, however long it runs; a dead one is, at once.
  lock_->setStaleLockTime(0);
  acquired_ = lock_->tryLock(0);
}

InstanceLock::~InstanceLock() = default;

}  // namespace varnholt
