#include "cli/cut_operator.h"

#include <cctype>

#include "geometry/clock.h"

namespace varnholt::cli {
namespace {

struct NamedButton {
  const char* name;
  int button;
};
constexpr NamedButton kButtonNames[] = {
    {"OK", kButtonOk}, {"Cancel", kButtonCancel}, {"Retry", kButtonRetry}, {"Yes", kButtonYes}, {"No", kButtonNo}};

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

std::optional<int> ButtonOfName(std::string_view name) {
  for (const NamedButton& named : kButtonNames) {
    if (SameWord(name, named.name)) return named.button;
  }
  return std::nullopt;
}

std::string ButtonName(int button) {
  for (const NamedButton& named : kButtonNames) {
    if (named.button == button) return named.name;
  }
  return std::to_string(button);
}

void CutOperator::ShowMessageBox(const std::string& text, bool, const std::string& caption) {
  messages_.push_back({keys_.Find(text), text, caption});
}

int CutOperator::AskQuestion(const std::string& text, ButtonSet buttons, const std::string&) {
  const std::optional<MessageKey> key = keys_.Find(text);
  // Never heat or move on a guess: without an answer given, Cancel (or No, or OK when nothing else is offered).
  int answer = Offers(buttons, kButtonCancel) ? kButtonCancel : Offers(buttons, kButtonNo) ? kButtonNo : kButtonOk;
  if (key && CurrentClock().NowMs() <= answer_deadline_ms_) {
    const auto found = answers_.find(key->key);
    if (found != answers_.end() && !found->second.empty()) {
      const int given = found->second.front();
      if (found->second.size() > 1) found->second.pop_front();
      if (Offers(buttons, static_cast<DialogButton>(given))) answer = given;
    }
  }
  questions_.push_back({key, answer});
  return answer;
}

void CutOperator::SetStatusText(int panel, const std::string& text) {
  if (panel != 0 || progress_prefix_.empty() || !text.starts_with(progress_prefix_)) return;
  if (progress_.empty() || progress_.back() != text) progress_.push_back(text);
}

}  // namespace varnholt::cli
