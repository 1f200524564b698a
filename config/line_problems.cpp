#include "config/line_problems.h"

namespace varnholt {
namespace {

// What was wrong, in English for the command line.
std::string Reason(const LineProblem& problem) {
  switch (problem.fault) {
    case LineFault::kCutShort:
      return "the file ends inside this line (cut short?)";
    case LineFault::kNotAKeyLine:
      return "not a key=value line";
    case LineFault::kNoSection:
      return "the file holds no section of these values";
    default:
      return problem.reason;
  }
}

std::string ReasonKey(LineFault fault) {
  switch (fault) {
    case LineFault::kCutShort:
      return "wierszUciety";
    case LineFault::kNotAKeyLine:
      return "wierszNieKluczWartosc";
    default:
      return "brakSekcji";
  }
}

}  // namespace

std::string LineProblemText(const std::string& path, const LineProblem& problem) {
  if (problem.line == 0) return path + ": " + Reason(problem);
  return path + ", line " + std::to_string(problem.line) + ": " + problem.text + ": " + Reason(problem);
}

std::string LineProblemsMessage(const std::string& path, const std::vector<LineProblem>& problems,
                                const UniversalText& text) {
  std::string message = text("plikNiepelny") + "\r\n" + path;
  for (const LineProblem& problem : problems) {
    const bool own_words = problem.fault == LineFault::kBadValue || problem.fault == LineFault::kUnreadable;
    const std::string reason = own_words ? problem.reason : text(ReasonKey(problem.fault));
    message += "\r\n";
    if (problem.line != 0) message += text("wiersz") + " " + std::to_string(problem.line) + ": " + problem.text + ": ";
    message += reason;
  }
  return message;
}

}  // namespace varnholt
