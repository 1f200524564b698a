// Feeds arbitrary bytes to the language-file checks: they must end in a status, and lookups in a text, nothing else.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "services/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  varnholt::LanguageTexts texts;
  const varnholt::LanguageFileStatus status = varnholt::ParseLanguageFile(bytes, "Varnholt", "0.1", texts);
  if (status == varnholt::LanguageFileStatus::kLoaded) {
    size_t entries = 0;
    for (const auto& [section, key] : texts.Entries()) {
      texts.Lookup(section, key);
      if (++entries > size) __builtin_trap();  // every entry is at least one byte of input
    }
    texts.Lookup("Control", "ploterBrakLacznosci");
    texts.Lookup("", "");
  } else if (!texts.empty()) {
    __builtin_trap();  // a refused file must leave no texts behind
  }
  return 0;
}
