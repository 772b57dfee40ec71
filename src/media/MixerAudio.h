#pragma once
// The one audio output of the process (SDL2_mixer) and the playable sound object made from a
// sound file's bytes. SDL_mixer answers "is playing" without any event loop, which the blocking
// wait of a sound played with waiting needs. Without an audio device (CI, headless runs) the
// output falls back to SDL's dummy driver, which consumes sound in real time into nothing, so
// playing, looping, the is-playing answer and waiting behave as with a device.
//
// Channel 0 is reserved for speech; sounds take any other free channel, and more channels are
// made when all are busy. Everything here may be called from any thread; SDL_mixer locks its
// channel table itself.
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct Mix_Chunk;

namespace qm {

class MixerAudio {
 public:
  // The output, opened on first use.
  static MixerAudio& instance();
  // Asks for a driver before the output opens ("dummy" for headless runs, which also keeps the
  // sound libraries from probing for devices). No effect once the output is open.
  static void SetDriverHint(const char* driver);

  // Opens the output if it is not open: the default driver first, the dummy driver if that
  // fails. False only when even the dummy driver cannot open (every sound then fails to load).
  bool open();
  bool isOpen() const { return open_; }
  // The driver in use ("dummy", "pulseaudio", ...), empty before open().
  std::string driverName() const;
  // Output format, valid once open.
  int frequency() const { return frequency_; }
  int channels() const { return channels_; }
  int bytesPerSample() const { return bytesPerSample_; }

  // The channel that speech plays on; no sound ever takes it.
  static constexpr int kSpeechChannel = 0;

  // Starts a chunk on any free sound channel (making more channels when none is free); loops is
  // SDL_mixer's count (-1 endless). The channel, or -1 when it cannot play.
  int playOnFreeChannel(Mix_Chunk* chunk, int loops);

  ~MixerAudio();
  MixerAudio(const MixerAudio&) = delete;
  MixerAudio& operator=(const MixerAudio&) = delete;

 private:
  MixerAudio() = default;
  bool tryOpen();

  bool open_ = false;
  bool failed_ = false;
  int frequency_ = 0;
  int channels_ = 0;
  int bytesPerSample_ = 2;
  int channelCount_ = 0;
};

// A playable sound: the decoded samples in the output's format. Made from the bytes of a sound
// file; SDL_mixer decodes WAV, AIFF, MP3 and OGG itself, libsndfile the rest (Sun AU, CAF, ...).
class MixerSound {
 public:
  // None when the bytes are no sound either library can decode, or no output can open; why
  // says what failed.
  static std::unique_ptr<MixerSound> FromBytes(std::string_view bytes, std::string* why = nullptr);
  static std::unique_ptr<MixerSound> FromFile(const QString& path, std::string* why = nullptr);
  // Samples as 16-bit mono at a rate (speech synthesis output).
  static std::unique_ptr<MixerSound> FromSamples(const int16_t* samples, size_t count, int rate);

  ~MixerSound();
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;

  // Starts from the beginning, once or endlessly. False when no channel could take it.
  bool play(bool looping);
  // Plays on a given channel (speech); false when it cannot.
  bool playOn(int channel);
  void stop();
  bool isPlaying() const;
  // Length of one pass in milliseconds.
  int64_t lengthMs() const;

 private:
  explicit MixerSound(Mix_Chunk* chunk) : chunk_(chunk) {}
  Mix_Chunk* chunk_;
  int channel_ = -1;
};

// A RIFF WAVE file of 16-bit PCM samples (interleaved when channels > 1).
std::string PcmWavBytes(const int16_t* samples, size_t frames, int channels, int rate);

}  // namespace qm
