#include "app/FatalReport.h"

#include <cstdio>

namespace qm {

namespace {
FatalReporter& reporter() {
  static FatalReporter r;
  return r;
}
} // namespace

void ReportFatal(const std::string& message, const std::string& explanation) {
  if (reporter()) {
    reporter()(message, explanation);
    return;
  }
  std::fprintf(stderr, "%s\n%s\n", message.c_str(), explanation.c_str());
}

void SetFatalReporter(FatalReporter r) { reporter() = std::move(r); }

} // namespace qm
