#pragma once
// Finds the language key a shown text came from, so the command line can report messages by section and key.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "services/interfejs.h"

namespace varnholt::cli {

struct MessageKey {
  std::string section;
  std::string key;
};

class MessageKeys {
 public:
  explicit MessageKeys(const tInterfejs& texts);
  // The key whose text the message is, or begins with when that text ends in a blank (a file name or an offset
  // follows it) or is followed by another sentence, with its placeholders (%1 .. %9) filled in; the longest such
  // text wins, and the sections the machine's messages come from are preferred when two keys share a text. Nothing
  // for a text of no key (a run-time error).
  std::optional<MessageKey> Find(std::string_view text) const;

 private:
  struct Entry {
    MessageKey key;
    std::string text;
    int rank = 0;
  };
  std::vector<Entry> entries_;
};

}  // namespace varnholt::cli
