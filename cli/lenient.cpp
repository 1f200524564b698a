#include "cli/lenient.h"

#include <algorithm>

namespace varnholt::cli {
namespace {

bool& LenientFlag() {
  static bool lenient = false;
  return lenient;
}

}  // namespace

LenientOption::LenientOption(const Arguments& words) : words_(words), before_(LenientFlag()) {
  const auto given = std::remove(words_.begin(), words_.end(), "--lenient");
  if (given != words_.end()) LenientFlag() = true;
  words_.erase(given, words_.end());
}

LenientOption::~LenientOption() { LenientFlag() = before_; }

bool Lenient() { return LenientFlag(); }

}  // namespace varnholt::cli
