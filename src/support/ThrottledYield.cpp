#include "support/ThrottledYield.h"

#include <QCoreApplication>

namespace qm {

void ThrottledYield::operator()() {
  if (due()) ServePendingEvents();
}

void ServePendingEvents() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void YieldThrottled() {
  static ThrottledYield throttle;
  throttle();
}

}  // namespace qm
