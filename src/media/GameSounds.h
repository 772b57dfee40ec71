#pragma once
// The game window's sound operations: find a sound by name, play it (optionally waiting until it
// ends), loop it, stop one or all, ask whether one or any is playing, and the sound rule of
// cards, buttons and click areas. The window owns one GameSounds over its sound library and
// wires three things into it: the library (SetSounds), the script error report for a sound that
// cannot be found (SetScriptErrorReport: ShowError with the current script location), and the
// automation log (SetLogSink).
//
// Everything runs on the user-interface thread. The only waiting is PlaySound's blocking wait,
// which serves no events and sleeps between its questions instead of spinning a core.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "media/MediaLog.h"

namespace qm {

class MediaReports;
class QMSound;

class GameSounds {
 public:
  // Index 0 holds nothing; the sounds are 1 to size - 1.
  using SoundList = std::vector<std::unique_ptr<QMSound>>;
  using ErrorReport = std::function<void(const std::string& message)>;

  // Reports of the window's own failures go to reports (the dialogs when null).
  explicit GameSounds(MediaReports* reports = nullptr);

  // The library the operations work on; the sounds report through the same reports. The list
  // must outlive this object or be replaced first.
  void SetSounds(SoundList* sounds);
  void SetScriptErrorReport(ErrorReport report) { scriptError_ = std::move(report); }
  void SetLogSink(MediaLogSink sink) { log_ = std::move(sink); }

  int64_t SoundCount() const;
  // The first sound 1..SoundCount() whose name equals name ignoring case; none if no name does.
  QMSound* GetSound(std::string_view name);
  // Restarts the named sound and remembers it as LastSound; with wait, returns when it has
  // ended. A name that matches no sound goes to the script error report (NotFoundMessage).
  void PlaySound(std::string_view name, bool wait);
  // Restarts s (or LastSound when s is none; nothing when both are none) in an endless loop.
  void LoopSound(QMSound* s);
  // Stops s, or every sound when s is none.
  void StopSound(QMSound* s);
  bool IsSoundPlaying(QMSound* s);
  // 1 if any sound is playing, else 0.
  int64_t IsAnySoundPlaying();
  // The sound of a card, button or click area: played (waiting when wait is set), and then
  // looped when looping is set and wait is not. Nothing for an empty name.
  void StartRecordSound(std::string_view name, bool wait, bool looping);

  // The sound most recently started by PlaySound; none until then.
  QMSound* LastSound = nullptr;

  // "Sound " + quoted name + " can't be found."
  static std::string NotFoundMessage(std::string_view name);

 private:
  QMSound& soundAt(int64_t i) const;
  void waitUntilEnded(QMSound& s);
  void log(std::string_view op, std::string_view name) const;

  MediaReports& reports_;
  SoundList* sounds_ = nullptr;
  ErrorReport scriptError_;
  MediaLogSink log_;
};

}  // namespace qm
