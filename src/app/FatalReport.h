#pragma once
// The one route of fatal messages (load failures, unhandled start-up errors): the fatal dialog
// with its explanation, through the dialog seam and into the automation log.
#include <string>

namespace qm {

void ReportFatal(const std::string& message, const std::string& explanation);

}  // namespace qm
