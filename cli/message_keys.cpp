#include "cli/message_keys.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace varnholt::cli {
namespace {

// Sections by preference when texts repeat; others come after them.
int SectionRank(std::string_view section) {
  static constexpr std::array<std::string_view, 5> kSections = {"Control", "Main_window", "Transmission",
                                                                 "Project_window", "Universal"};
  const auto found = std::find(kSections.begin(), kSections.end(), section);
  return static_cast<int>(found - kSections.begin());
}

// The literal pieces of a text with numbered placeholders (%1 .. %9) between them.
std::vector<std::string_view> LiteralPieces(std::string_view pattern) {
  std::vector<std::string_view> pieces;
  size_t begin = 0;
  for (size_t at = 0; at + 1 < pattern.size(); ++at) {
    if (pattern[at] == '%' && pattern[at + 1] >= '1' && pattern[at + 1] <= '9') {
      pieces.push_back(pattern.substr(begin, at - begin));
      begin = at + 2;
      ++at;
    }
  }
  pieces.push_back(pattern.substr(begin));
  return pieces;
}

// The length of the start of text that the pattern's text fills in, each placeholder with at least one character;
// nothing when it does not begin text.
std::optional<size_t> FilledLength(std::string_view pattern, std::string_view text) {
  const std::vector<std::string_view> pieces = LiteralPieces(pattern);
  if (pieces.size() == 1) return text.starts_with(pattern) ? std::optional<size_t>(pattern.size()) : std::nullopt;
  if (!text.starts_with(pieces.front())) return std::nullopt;
  size_t at = pieces.front().size();
  for (size_t i = 1; i < pieces.size(); ++i) {
    const size_t found = text.find(pieces[i], at + 1);
    if (found == std::string_view::npos) return std::nullopt;
    at = found + pieces[i].size();
  }
  return at;
}

}  // namespace

MessageKeys::MessageKeys(const tInterfejs& texts) {
  for (auto& [section, key] : texts.Entries()) {
    std::string text = texts.GetText(section, key);
    if (text.empty()) continue;
    const int rank = SectionRank(section);
    entries_.push_back({{section, key}, std::move(text), rank});
  }
  std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.rank < b.rank; });
}

std::optional<MessageKey> MessageKeys::Find(std::string_view text) const {
  const Entry* best = nullptr;
  for (const Entry& entry : entries_) {
    if (entry.text == text) return entry.key;
    // A text ending in a blank expects something (a file name, an offset) after it; a text with placeholders is
    // filled in, and may be followed by another sentence.
    const std::optional<size_t> filled = FilledLength(entry.text, text);
    const bool leads = filled && (entry.text.back() == ' ' || *filled == text.size() || text[*filled] == ' ') &&
                       (entry.text.back() == ' ' || entry.text.find('%') != std::string::npos || *filled < text.size());
    if (leads && (best == nullptr || entry.text.size() > best->text.size())) best = &entry;
  }
  if (best == nullptr) return std::nullopt;
  return best->key;
}

}  // namespace varnholt::cli
