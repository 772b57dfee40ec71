#include "media/GameSounds.h"

#include <chrono>
#include <thread>

#include "interpreter/TextCompare.h"
#include "media/MediaReports.h"
#include "media/QMSound.h"
#include "support/Checked.h"
#include "support/Errors.h"

namespace qm {

namespace {

// How often the blocking wait asks whether the sound still plays: short enough that the game
// goes on right after the sound, long enough that the wait costs no processor time.
constexpr auto kWaitPoll = std::chrono::milliseconds(2);
// The wait gives up this long after the sound should have ended (an output that stalled).
constexpr auto kWaitSlack = std::chrono::seconds(5);

}  // namespace

GameSounds::GameSounds(MediaReports* reports) : reports_(reports ? *reports : DialogReports()) {}

void GameSounds::SetSounds(SoundList* sounds) {
  sounds_ = sounds;
  LastSound = nullptr;
  if (!sounds_) return;
  for (auto& s : *sounds_)
    if (s) s->reports = &reports_;
}

int64_t GameSounds::SoundCount() const {
  return sounds_ && !sounds_->empty() ? int64_t(sounds_->size()) - 1 : 0;
}

QMSound& GameSounds::soundAt(int64_t i) const {
  return checkedRef(*sounds_, uint64_t(i));
}

void GameSounds::log(std::string_view op, std::string_view name) const {
  if (log_) log_(MediaEvent{"sound", op, name});
}

std::string GameSounds::NotFoundMessage(std::string_view name) {
  return "Sound \"" + std::string(name) + "\" can't be found.";
}

QMSound* GameSounds::GetSound(std::string_view name) {
  try {
    const int64_t count = SoundCount();
    for (int64_t i = 1; i <= count; ++i) {
      QMSound& s = soundAt(i);
      if (textEqualsIgnoreCase(s.name, name)) return &s;
    }
  } catch (const EndException&) {
    throw;
  } catch (...) {
    reports_.ExceptionDialog(std::current_exception(), "GameWindow.GetSound");
  }
  return nullptr;
}

void GameSounds::PlaySound(std::string_view name, bool wait) {
  try {
    QMSound* s = GetSound(name);
    if (!s) {
      if (scriptError_) scriptError_(NotFoundMessage(name));
      return;
    }
    log("play", s->name);
    s->Stop();
    s->Play();  // restarts a sound that is playing
    LastSound = s;
    if (wait) waitUntilEnded(*s);
  } catch (const EndException&) {
    throw;
  } catch (...) {
    reports_.ExceptionDialog(std::current_exception(), "GameWindow.PlaySound");
  }
}

void GameSounds::waitUntilEnded(QMSound& s) {
  // Blocks the game on purpose: no event is served until the sound has ended.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(s.lengthMs()) + kWaitSlack;
  while (s.IsPlaying() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(kWaitPoll);
}

void GameSounds::LoopSound(QMSound* s) {
  try {
    if (!s) s = LastSound;
    if (!s) return;
    log("loop", s->name);
    s->Stop();
    s->PlayLooping();
  } catch (const EndException&) {
    throw;
  } catch (...) {
    reports_.ExceptionDialog(std::current_exception(), "GameWindow.LoopSound");
  }
}

void GameSounds::StopSound(QMSound* s) {
  if (s) {
    log("stop", s->name);
    s->Stop();
    return;
  }
  log("stopall", "");
  const int64_t count = SoundCount();
  for (int64_t i = 1; i <= count; ++i) soundAt(i).Stop();
}

bool GameSounds::IsSoundPlaying(QMSound* s) {
  if (s) return s->IsPlaying();
  const int64_t count = SoundCount();
  for (int64_t i = 1; i <= count; ++i)
    if (soundAt(i).IsPlaying()) return true;
  return false;
}

int64_t GameSounds::IsAnySoundPlaying() {
  return IsSoundPlaying(nullptr) ? 1 : 0;
}

void GameSounds::StartRecordSound(std::string_view name, bool wait, bool looping) {
  if (name.empty()) return;
  PlaySound(name, wait);
  if (looping && !wait) LoopSound(GetSound(name));
}

}  // namespace qm
