#include "platform/DialogSeam.h"

#include "platform/QtDialogs.h"

namespace qm {

namespace {
std::unique_ptr<DialogSeam>& current() {
  static std::unique_ptr<DialogSeam> seam;
  return seam;
}
}  // namespace

DialogSeam& Dialogs() {
  if (!current()) current() = std::make_unique<QtDialogs>();
  return *current();
}

std::unique_ptr<DialogSeam> InstallDialogs(std::unique_ptr<DialogSeam> seam) {
  std::unique_ptr<DialogSeam> previous = std::move(current());
  current() = std::move(seam);
  return previous;
}

}  // namespace qm
