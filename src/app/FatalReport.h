#pragma once
// The one route of fatal messages (load failures, unhandled start-up errors). Until a dialog
// layer installs itself, messages go to standard error.
#include <functional>
#include <string>

namespace qm {

using FatalReporter = std::function<void(const std::string& message, const std::string& explanation)>;

void ReportFatal(const std::string& message, const std::string& explanation);
// Replaces the reporter; an empty function restores the standard-error one.
void SetFatalReporter(FatalReporter reporter);

} // namespace qm
