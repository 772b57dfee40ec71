#pragma once
// The automation log's view of sounds, speech and the movie: each operation is handed to a sink
// as one event. The player's sink writes the log lines
//   {"ev":"sound","op":"play|loop|stop|stopall","name":N}
//   {"ev":"speak","text":T}
//   {"ev":"movie","op":"open|play|stop|unload|loop","file":F}
// and tests collect the events instead. An empty sink logs nothing.
#include <functional>
#include <string>
#include <string_view>

namespace qm {

class AutomationLog;

struct MediaEvent {
  std::string_view ev;       // "sound", "speak" or "movie"
  std::string_view op;       // empty for "speak"
  std::string_view subject;  // the sound's name, the spoken text or the movie file
};

using MediaLogSink = std::function<void(const MediaEvent&)>;

// Writes the event as its log line.
void WriteMediaEvent(AutomationLog& log, const MediaEvent& event);
// A sink that writes to the player's log (Log()).
MediaLogSink AutomationLogSink();

// The event as its log line's fields in a compact text ("sound play Door"), for tests and traces.
std::string DescribeMediaEvent(const MediaEvent& event);

}  // namespace qm
