#pragma once
// Speaks texts aloud, one after the other: a text asked for while another is being spoken waits
// its turn, so new speech never cuts off speech in progress. A worker thread synthesises each
// text with espeak-ng (synchronous mode, one instance for the process) and plays it on the
// mixer's speech channel; Speak itself returns at once. With the dummy audio driver speech
// plays silently in real time.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "media/MediaLog.h"

namespace qm {

class SpeechQueue {
 public:
  SpeechQueue() = default;
  // Drops what is still queued, cuts the current text off and ends the worker.
  ~SpeechQueue();
  SpeechQueue(const SpeechQueue&) = delete;
  SpeechQueue& operator=(const SpeechQueue&) = delete;

  // Logs the text and queues it (queues nothing while Perform is off).
  void Speak(const std::string& text);
  // Off: texts are logged but not spoken (headless and replay runs).
  void SetPerform(bool perform) { perform_ = perform; }
  void SetLogSink(MediaLogSink sink) { log_ = std::move(sink); }
  // Called on the worker thread after each text has been spoken to its end (or could not be
  // synthesised), in queue order.
  void SetFinishedHook(std::function<void(const std::string&)> hook);

  // A text is being spoken or waits.
  bool IsSpeaking() const;
  // Waits until nothing is spoken or queued; false when the timeout came first.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) const;
  // Drops the queue and cuts off the text being spoken.
  void StopAll();

 private:
  void run();

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<std::string> queue_;
  bool busy_ = false;  // the worker holds a text
  bool quit_ = false;
  bool cutOff_ = false;
  bool perform_ = true;
  std::function<void(const std::string&)> finished_;
  MediaLogSink log_;
  std::thread worker_;
};

}  // namespace qm
