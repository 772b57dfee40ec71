#include "platform/QuitRequest.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>

#include "support/Errors.h"

namespace qm {

namespace {
// Atomic because the timeout watchdog reads it from its own thread.
std::atomic<bool> requested{false};
std::atomic<int> status{0};
}  // namespace

void RequestQuit(int s) {
  bool expected = false;
  if (requested.compare_exchange_strong(expected, true)) status = s;
  // exit() leaves every event loop of the thread, not only the innermost one. It also makes any
  // loop started later return at once, so it is only asked for while a loop runs (code that
  // runs without one, such as tests, checks QuitRequested instead).
  if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0)
    QCoreApplication::exit(status);
}

bool QuitRequested() {
  return requested;
}

int QuitStatus() {
  return status;
}

void ThrowIfQuitting() {
  if (requested) throw EndException(status);
}

void ResetQuitRequest() {
  requested = false;
  status = 0;
}

}  // namespace qm
