#include "media/MediaLog.h"

#include "platform/AutomationLog.h"

namespace qm {

void WriteMediaEvent(AutomationLog& log, const MediaEvent& event) {
  if (event.ev == "sound") {
    log.sound(event.op, event.subject);
  } else if (event.ev == "speak") {
    log.speak(event.subject);
  } else if (event.ev == "movie") {
    log.movie(event.op, event.subject);
  }
}

MediaLogSink AutomationLogSink() {
  return [](const MediaEvent& event) { WriteMediaEvent(Log(), event); };
}

std::string DescribeMediaEvent(const MediaEvent& event) {
  std::string out(event.ev);
  if (!event.op.empty()) out.append(" ").append(event.op);
  out.append(" ").append(event.subject);
  return out;
}

}  // namespace qm
