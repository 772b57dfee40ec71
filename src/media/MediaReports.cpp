#include "media/MediaReports.h"

#include "dialogs/DialogTools.h"

namespace qm {

namespace {

class DialogToolsReports final : public MediaReports {
 public:
  void FatalVerbose(const std::string& message, const std::string& explanation) override {
    DialogTools::FatalVerbose(message, explanation);
  }
  void ExceptionDialog(std::exception_ptr error, const std::string& place) override {
    DialogTools::ExceptionDialog(error, place);
  }
};

}  // namespace

MediaReports& DialogReports() {
  static DialogToolsReports reports;
  return reports;
}

}  // namespace qm
