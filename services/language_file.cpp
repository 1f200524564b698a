#include "services/language_file.h"

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace varnholt {
namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// True when the elements nest no deeper than the limit and the whole text is well-formed XML. Checked before the DOM
// is built because the DOM frees its nodes recursively.
bool WithinDepthLimit(const QByteArray& bytes) {
  QXmlStreamReader reader(bytes);
  int depth = 0;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement && ++depth > kMaxLanguageFileDepth) return false;
    if (token == QXmlStreamReader::EndElement) --depth;
  }
  return !reader.hasError();
}

// The document's nodes are shared without locks of their own: a project's work off the windows' thread looks its
// texts up too, one reader at a time.
std::mutex& ReadingLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

LanguageTexts::LanguageTexts() = default;
LanguageTexts::~LanguageTexts() = default;
LanguageTexts::LanguageTexts(LanguageTexts&& other) noexcept = default;
LanguageTexts& LanguageTexts::operator=(LanguageTexts&& other) noexcept = default;

std::string LanguageTexts::Lookup(std::string_view section, std::string_view key) const {
  const std::lock_guard<std::mutex> reading(ReadingLock());
  // An empty tag name would match any element.
  if (document_ == nullptr || section.empty() || key.empty()) return std::string(kMissingText);
  const QDomElement section_element = document_->documentElement().firstChildElement(ToQString(section));
  if (section_element.isNull()) return std::string(kMissingText);
  const QDomElement key_element = section_element.firstChildElement(ToQString(key));
  if (key_element.isNull() || !key_element.hasAttribute(QStringLiteral("str"))) return std::string(kMissingText);
  return key_element.attribute(QStringLiteral("str")).toStdString();
}

std::vector<std::pair<std::string, std::string>> LanguageTexts::Entries() const {
  const std::lock_guard<std::mutex> reading(ReadingLock());
  std::vector<std::pair<std::string, std::string>> entries;
  if (document_ == nullptr) return entries;
  for (QDomElement section = document_->documentElement().firstChildElement(); !section.isNull();
       section = section.nextSiblingElement()) {
    for (QDomElement key = section.firstChildElement(); !key.isNull(); key = key.nextSiblingElement()) {
      entries.emplace_back(section.tagName().toStdString(), key.tagName().toStdString());
    }
  }
  return entries;
}

LanguageFileStatus ParseLanguageFile(std::string_view bytes, std::string_view title, std::string_view version,
                                     LanguageTexts& texts) {
  texts.document_.reset();
  if (static_cast<int64_t>(bytes.size()) > kMaxLanguageFileBytes) return LanguageFileStatus::kCorrupt;
  const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (!WithinDepthLimit(data)) return LanguageFileStatus::kCorrupt;

  auto document = std::make_unique<QDomDocument>();
  if (!document->setContent(data, false)) return LanguageFileStatus::kCorrupt;
  const QDomElement root = document->documentElement();
  if (root.isNull()) return LanguageFileStatus::kCorrupt;
  if (root.tagName() != QLatin1String("interface") || !root.hasAttribute(QStringLiteral("name")) ||
      !root.hasAttribute(QStringLiteral("version"))) {
    return LanguageFileStatus::kInvalidStructure;
  }
  if (root.attribute(QStringLiteral("name")).compare(ToQString(title), Qt::CaseInsensitive) != 0 ||
      root.attribute(QStringLiteral("version")) != ToQString(version)) {
    return LanguageFileStatus::kIncompatibleVersion;
  }
  texts.document_ = std::move(document);
  return LanguageFileStatus::kLoaded;
}

LanguageFileStatus ReadLanguageFile(const std::string& path, std::string_view title, std::string_view version,
                                    LanguageTexts& texts) {
  texts = LanguageTexts();
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return LanguageFileStatus::kMissing;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > static_cast<std::uintmax_t>(kMaxLanguageFileBytes)) return LanguageFileStatus::kCorrupt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return LanguageFileStatus::kCorrupt;
  // A file that grows while it is read is cut at the size it had; the parser then finds it damaged or complete.
  std::string bytes(static_cast<size_t>(size), '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.bad()) return LanguageFileStatus::kCorrupt;
  bytes.resize(static_cast<size_t>(file.gcount()));
  return ParseLanguageFile(bytes, title, version, texts);
}

std::string LanguageFileMessage(LanguageFileStatus status, const std::string& path) {
  switch (status) {
    case LanguageFileStatus::kLoaded:
      return {};
    case LanguageFileStatus::kMissing:
      return "Application could't work without file: \r\n" + path;
    case LanguageFileStatus::kCorrupt:
      return "Corruption detected in file: \r\n" + path;
    case LanguageFileStatus::kInvalidStructure:
      return "Invalid file structure: \r\n" + path;
    case LanguageFileStatus::kIncompatibleVersion:
      return "Incompatibile file version: \r\n" + path;
  }
  return {};
}

}  // namespace varnholt
