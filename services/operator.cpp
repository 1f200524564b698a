#include "services/operator.h"

#include "services/scripted_operator.h"

namespace varnholt {
namespace {

Operator* installed_operator = nullptr;
thread_local Operator* thread_operator = nullptr;

Operator& DefaultOperator() {
  static ScriptedOperator unscripted;
  return unscripted;
}

}  // namespace

Operator& CurrentOperator() {
  if (thread_operator != nullptr) return *thread_operator;
  return installed_operator != nullptr ? *installed_operator : DefaultOperator();
}

void SetOperator(Operator* op) { installed_operator = op; }

BusyCursor::BusyCursor(Operator& op) : op_(op) {
  if (op_.busy_depth_++ == 0) op_.SetBusyCursor(true);
}

BusyCursor::~BusyCursor() {
  if (--op_.busy_depth_ == 0) op_.SetBusyCursor(false);
}

ScopedOperator::ScopedOperator(Operator& op) : previous_(installed_operator) { installed_operator = &op; }

ScopedOperator::~ScopedOperator() { installed_operator = previous_; }

ScopedThreadOperator::ScopedThreadOperator(Operator& op) : previous_(thread_operator) { thread_operator = &op; }

ScopedThreadOperator::~ScopedThreadOperator() { thread_operator = previous_; }

}  // namespace varnholt
