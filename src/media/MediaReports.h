#pragma once
// Where sounds and playback report their own failures: the fatal alert and the unexpected-error
// dialog. The player uses the dialogs (DialogReports); tests record what would be shown.
#include <exception>
#include <string>

namespace qm {

class MediaReports {
 public:
  virtual ~MediaReports() = default;
  // Caution alert with an explanation; the game goes on afterwards.
  virtual void FatalVerbose(const std::string& message, const std::string& explanation) = 0;
  // The unexpected-error dialog naming the place; the quit request is passed on (rethrown).
  virtual void ExceptionDialog(std::exception_ptr error, const std::string& place) = 0;
};

// The player's reports, through DialogTools.
MediaReports& DialogReports();

}  // namespace qm
