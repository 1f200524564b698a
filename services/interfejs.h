#pragma once
// The language component: picks the interface language, loads and checks its file, and answers text lookups.

#include <string>
#include <string_view>
#include <vector>

#include "services/language_file.h"

namespace varnholt {

// What the language component is created from.
struct InterfaceSetup {
  std::string program_folder;           // with trailing separator
  std::vector<std::string> arguments;   // command-line arguments, without the program's own path
  int locale_country = 1;               // the locale port's country code
  std::string version;                  // major.minor the file must carry; empty means the program's version
};

class tInterfejs {
 public:
  // Selects the language, loads and checks its file (falling back to the US file when the language has none) and
  // reports a failure in an error box through the operator port; loaded() tells the result.
  explicit tInterfejs(const InterfaceSetup& setup);

  // The text of key in section; "error" when the lookup fails in any way (also when nothing was loaded).
  std::string GetText(std::string_view section, std::string_view key) const;

  // Every (section, key) pair of the loaded file, in document order (none when nothing was loaded).
  std::vector<std::pair<std::string, std::string>> Entries() const { return texts_.Entries(); }

  bool loaded() const { return loaded_; }
  int country_code() const { return country_code_; }
  const std::string& language_code() const { return language_code_; }
  bool right_to_left() const { return right_to_left_; }
  // "ORVELT" when the locale chose the US language, else empty (the dealer code service goes on from here).
  const std::string& dealer_code() const { return dealer_code_; }
  // The file that was read, or the US file when none existed.
  const std::string& file_name() const { return file_name_; }

  // The language file's name: program folder, application title, "_", language code, ".xml".
  static std::string LanguageFileName(const std::string& program_folder, std::string_view language_code);

 private:
  LanguageTexts texts_;
  bool loaded_ = false;
  int country_code_ = 1;
  std::string language_code_;
  bool right_to_left_ = false;
  std::string dealer_code_;
  std::string file_name_;
};

}  // namespace varnholt
