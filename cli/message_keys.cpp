#include "cli/message_keys.h"

#include <algorithm>
#include <array>
#include <optional>

namespace varnholt::cli {
namespace {

// Sections by preference when texts repeat; others come after them.
int SectionRank(std::string_view section) {
  static constexpr std::array<std::string_view, 5> kSections = {"Control", "Main_window", "Transmission",
                                                                 "Project_window", "Universal"};
  const auto found = std::find(kSections.begin(), kSections.end(), section);
  return static_cast<int>(found - kSections.begin());
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
    // Only a text ending in a blank expects something (a file name, an offset) after it.
    const bool leads = entry.text.back() == ' ' && text.starts_with(entry.text);
    if (leads && (best == nullptr || entry.text.size() > best->text.size())) best = &entry;
  }
  if (best == nullptr) return std::nullopt;
  return best->key;
}

}  // namespace varnholt::cli
