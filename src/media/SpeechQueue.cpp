#include "media/SpeechQueue.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "media/MixerAudio.h"

namespace qm {

namespace {

// espeak-ng keeps global state: one instance for the process, used by one thread at a time.
std::mutex& espeakMutex() {
  static std::mutex m;
  return m;
}

std::vector<int16_t>* synthTarget = nullptr;  // guarded by espeakMutex()

int collectSamples(short* wav, int count, espeak_EVENT*) {
  if (wav && count > 0 && synthTarget) synthTarget->insert(synthTarget->end(), wav, wav + count);
  return 0;  // go on
}

// The sample rate, or 0 when espeak-ng cannot start (no voice data).
int initEspeak() {
  static int rate = [] {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    if (espeak_ng_Initialize(&context) != ENS_OK) {
      espeak_ng_ClearErrorContext(&context);
      std::fprintf(stderr, "speech: espeak-ng cannot start; texts are not spoken\n");
      return 0;
    }
    if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) != ENS_OK) return 0;
    espeak_SetSynthCallback(collectSamples);
    espeak_ng_SetVoiceByName("en");
    return espeak_ng_GetSampleRate();
  }();
  return rate;
}

std::unique_ptr<MixerSound> synthesize(const std::string& text) {
  std::lock_guard lock(espeakMutex());
  const int rate = initEspeak();
  if (rate <= 0 || text.empty()) return nullptr;
  std::vector<int16_t> samples;
  synthTarget = &samples;
  espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                       nullptr, nullptr);
  espeak_ng_Synchronize();
  synthTarget = nullptr;
  return MixerSound::FromSamples(samples.data(), samples.size(), rate);
}

// How often the worker looks whether the speech channel has finished.
constexpr auto kPoll = std::chrono::milliseconds(10);

}  // namespace

SpeechQueue::~SpeechQueue() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void SpeechQueue::SetFinishedHook(std::function<void(const std::string&)> hook) {
  std::lock_guard lock(mutex_);
  finished_ = std::move(hook);
}

void SpeechQueue::Speak(const std::string& text) {
  if (log_) log_(MediaEvent{"speak", "", text});
  if (!perform_) return;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(text);
    if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
  }
  changed_.notify_all();
}

bool SpeechQueue::IsSpeaking() const {
  std::lock_guard lock(mutex_);
  return busy_ || !queue_.empty();
}

bool SpeechQueue::WaitUntilIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return !busy_ && queue_.empty(); });
}

void SpeechQueue::StopAll() {
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
    cutOff_ = true;
  }
  changed_.notify_all();
}

void SpeechQueue::run() {
  for (;;) {
    std::string text;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return quit_ || !queue_.empty(); });
      if (quit_) return;
      text = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
      cutOff_ = false;
    }
    std::unique_ptr<MixerSound> speech = synthesize(text);
    if (speech && speech->playOn(MixerAudio::kSpeechChannel)) {
      std::unique_lock lock(mutex_);
      while (!quit_ && !cutOff_ && speech->isPlaying()) changed_.wait_for(lock, kPoll);
    }
    speech.reset();  // halts the channel if it was cut off
    std::function<void(const std::string&)> finished;
    {
      std::lock_guard lock(mutex_);
      finished = finished_;
    }
    if (finished) finished(text);
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
    }
    changed_.notify_all();
  }
}

}  // namespace qm
