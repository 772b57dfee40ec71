#include "app/FatalReport.h"

#include "dialogs/DialogTools.h"

namespace qm {

void ReportFatal(const std::string& message, const std::string& explanation) {
  DialogTools::FatalVerbose(message, explanation);
}

}  // namespace qm
