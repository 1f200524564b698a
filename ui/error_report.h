#pragma once
// The application's general error report: an operation that fails with a run-time error ends, and its message
// is shown in an error box.

#include <functional>

namespace varnholt {

// Runs operation; a RunTimeError (or any other exception) it throws is shown through the operator port. True
// when the operation ran to its end.
bool ReportErrors(const std::function<void()>& operation);

}  // namespace varnholt
