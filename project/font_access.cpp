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

FontAccess::FontAccess() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    available_ = true;
  } else if (QCoreApplication::instance() == nullptr) {
    own_ = std::make_unique<QGuiApplication>(argc_, argv_);
    available_ = true;
  }
}

FontAccess::~FontAccess() = default;

std::vector<std::string> FontFamilies() {
  const FontAccess access;
  if (!access.available()) return {};
  return ToStrings(QFontDatabase::families());
}

std::vector<std::string> FontStyles(const std::string& family) {
  const FontAccess access;
  if (!access.available()) return {};
  return ToStrings(QFontDatabase::styles(QString::fromStdString(family)));
}

std::optional<std::string> InstalledFamily(const std::string& family) {
  for (const std::string& installed : FontFamilies()) {
    if (SameName(installed, family)) return installed;
  }
  return std::nullopt;
}

std::string FallbackFamily(const std::string& family) {
  const FontAccess access;
  if (!access.available()) return {};
  return QFontInfo(QFont(QString::fromStdString(family))).family().toStdString();
}

std::optional<std::string> MatchingStyle(const std::vector<std::string>& styles, const std::string& style) {
  for (const std::string& candidate : styles) {
    if (SameName(candidate, style)) return candidate;
  }
  return std::nullopt;
}

}  // namespace varnholt
