#include "platform/EventEdge.h"

#include "dialogs/DialogTools.h"
#include "platform/QuitRequest.h"
#include "support/Errors.h"

namespace qm {

void AtEventEdge(const std::function<void()>& fn,
                 const std::function<void(std::exception_ptr)>& onError) {
  if (QuitRequested()) return;
  try {
    fn();
  } catch (const EndException& e) {
    RequestQuit(e.status());
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    try {
      onError(error);
    } catch (const EndException& e) {
      RequestQuit(e.status());
    } catch (...) {
      // The report itself failed; there is nothing left to report it with.
    }
  }
}

void AtEventEdge(const char* place, const std::function<void()>& fn) {
  AtEventEdge(fn,
              [place](std::exception_ptr error) { DialogTools::ExceptionDialog(error, place); });
}

}  // namespace qm
