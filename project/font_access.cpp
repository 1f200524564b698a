#include "project/font_access.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

namespace varnholt {
namespace {

std::vector<std::string> ToStrings(const QStringList& list) {
  std::vector<std::string> strings;
  strings.reserve(static_cast<size_t>(list.size()));
  for (const QString& item : list) strings.push_back(item.toStdString());
  return strings;
}

bool SameName(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

bool EnsureFontAccess() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) return true;
  if (QCoreApplication::instance() != nullptr) return false;
  // Made once and never taken down: Qt's fonts live as long as their application, and taking one down while
  // the process's statics go is not safe. The platform is named on its command line, which wins over the
  // environment.
  static int argc = 3;
  static char name[] = "varnholt";
  static char platform_option[] = "-platform";
  static char platform[] = "offscreen";
  static char* argv[] = {name, platform_option, platform, nullptr};
  static const QGuiApplication* const application = new QGuiApplication(argc, argv);
  return application != nullptr;
}

std::vector<std::string> FontFamilies() {
  if (!EnsureFontAccess()) return {};
  return ToStrings(QFontDatabase::families());
}

std::vector<std::string> FontStyles(const std::string& family) {
  if (!EnsureFontAccess()) return {};
  return ToStrings(QFontDatabase::styles(QString::fromStdString(family)));
}

std::optional<std::string> InstalledFamily(const std::string& family) {
  for (const std::string& installed : FontFamilies()) {
    if (SameName(installed, family)) return installed;
  }
  return std::nullopt;
}

std::string FallbackFamily(const std::string& family) {
  if (!EnsureFontAccess()) return {};
  return QFontInfo(QFont(QString::fromStdString(family))).family().toStdString();
}

std::optional<std::string> MatchingStyle(const std::vector<std::string>& styles, const std::string& style) {
  for (const std::string& candidate : styles) {
    if (SameName(candidate, style)) return candidate;
  }
  return std::nullopt;
}

}  // namespace varnholt
