#include "interpreter/ScriptHost.h"

#include "support/ThrottledYield.h"

namespace qm {

void ScriptHost::ServeEvents() {
  ServePendingEvents();
}

}  // namespace qm
