#include "cli/kept_until_exit.h"

#include <utility>
#include <vector>

namespace varnholt::cli {
namespace {

bool keep_until_exit = false;

// Never destroyed: what it holds is given back with the process's memory.
std::vector<std::shared_ptr<void>>& Kept() {
  static auto* const kept = new std::vector<std::shared_ptr<void>>();
  return *kept;
}

}  // namespace

void SetKeepUntilExit(bool keep) { keep_until_exit = keep; }

void DisposeOrKeep(std::shared_ptr<void> object) {
  if (keep_until_exit && object != nullptr) Kept().push_back(std::move(object));
}

size_t KeptCount() { return Kept().size(); }

}  // namespace varnholt::cli
