#pragma once
// The --lenient option of the commands that read a configuration or a duplication file: a file that does not load
// whole is then taken as far as it loads (what was wrong is still printed) instead of ending the command.

#include "cli/commands.h"

namespace varnholt::cli {

// Takes --lenient out of a command's words, wherever it stands, and makes it the rule while the object lives.
class LenientOption {
 public:
  explicit LenientOption(const Arguments& words);
  ~LenientOption();
  LenientOption(const LenientOption&) = delete;
  LenientOption& operator=(const LenientOption&) = delete;

  // The words without --lenient.
  const Arguments& words() const { return words_; }

 private:
  Arguments words_;
  bool before_;
};

// Whether a damaged file is taken in part (--lenient was given to the running command).
bool Lenient();

}  // namespace varnholt::cli
