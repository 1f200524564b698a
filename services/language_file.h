#pragma once
// Reading and checking one interface language file, and looking its texts up by section and key.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QDomDocument;

namespace varnholt {

// The text of every lookup that fails.
inline constexpr std::string_view kMissingText = "error";

// Limits on what a language file may be. The shipped files are a few tens of kilobytes and three levels deep, so
// anything beyond these is damage; refusing it keeps a hostile file from exhausting memory or the stack.
inline constexpr int64_t kMaxLanguageFileBytes = int64_t{16} * 1024 * 1024;
inline constexpr int kMaxLanguageFileDepth = 64;

// Outcome of reading a language file, in the order the checks are made.
enum class LanguageFileStatus {
  kLoaded,
  kMissing,             // no such file
  kCorrupt,             // unreadable, too large, too deep or not XML: no document element
  kInvalidStructure,    // root not "interface", or without "name" or "version"
  kIncompatibleVersion  // "name" is not the application title or "version" not the program's
};

// The texts of one loaded language file.
class LanguageTexts {
 public:
  LanguageTexts();
  ~LanguageTexts();
  LanguageTexts(LanguageTexts&& other) noexcept;
  LanguageTexts& operator=(LanguageTexts&& other) noexcept;
  LanguageTexts(const LanguageTexts&) = delete;
  LanguageTexts& operator=(const LanguageTexts&) = delete;

  // The "str" attribute of element key under element section of the root, as UTF-8; "error" when there is no
  // document, no such section or key, no such attribute, or either name is empty.
  std::string Lookup(std::string_view section, std::string_view key) const;
  // Every (section, key) pair present, in document order.
  std::vector<std::pair<std::string, std::string>> Entries() const;
  bool empty() const { return document_ == nullptr; }

 private:
  friend LanguageFileStatus ParseLanguageFile(std::string_view, std::string_view, std::string_view, LanguageTexts&);
  std::unique_ptr<QDomDocument> document_;
};

// Parses and checks the bytes of a language file against the application title (name, compared without regard to
// case) and the program version (major.minor, exact). On kLoaded the texts are replaced, otherwise they are cleared.
LanguageFileStatus ParseLanguageFile(std::string_view bytes, std::string_view title, std::string_view version,
                                     LanguageTexts& texts);

// Reads the file (at most kMaxLanguageFileBytes) and parses it as above.
LanguageFileStatus ReadLanguageFile(const std::string& path, std::string_view title, std::string_view version,
                                    LanguageTexts& texts);

// The message shown for a failed file: the reason, " \r\n" and the file name. Empty for kLoaded.
std::string LanguageFileMessage(LanguageFileStatus status, const std::string& path);

// The caption of the boxes that report a failed language file.
inline constexpr std::string_view kLanguageFileErrorCaption = "Configuration error";

}  // namespace varnholt
