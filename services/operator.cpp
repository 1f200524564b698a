#include "services/operator.h"

#include "services/scripted_operator.h"

namespace varnholt {
namespace {

Operator* installed_operator = nullptr;

Operator& DefaultOperator() {
  static ScriptedOperator unscripted;
  return unscripted;
}

}  // namespace

Operator& CurrentOperator() { return installed_operator != nullptr ? *installed_operator : DefaultOperator(); }

void SetOperator(Operator* op) { installed_operator = op; }

ScopedOperator::ScopedOperator(Operator& op) : previous_(installed_operator) { installed_operator = &op; }

ScopedOperator::~ScopedOperator() { installed_operator = previous_; }

}  // namespace varnholt
