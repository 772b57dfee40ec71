#include "media/MixerAudio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <sndfile.h>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace qm {

namespace {

constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
constexpr int kChunkFrames = 1024;
constexpr int kFirstChannelCount = 32;

std::mutex& openMutex() {
  static std::mutex m;
  return m;
}

void appendLE(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xff));
}

// libsndfile reads from the bytes in memory through its virtual I/O.
struct MemoryFile {
  std::string_view bytes;
  sf_count_t pos = 0;
};

sf_count_t memLength(void* user) {
  return sf_count_t(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t memSeek(sf_count_t offset, int whence, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const auto size = sf_count_t(f->bytes.size());
  sf_count_t to = offset;
  if (whence == SEEK_CUR) to = f->pos + offset;
  if (whence == SEEK_END) to = size + offset;
  f->pos = std::clamp<sf_count_t>(to, 0, size);
  return f->pos;
}

sf_count_t memRead(void* ptr, sf_count_t count, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const sf_count_t n = std::min(count, sf_count_t(f->bytes.size()) - f->pos);
  if (n <= 0) return 0;
  std::memcpy(ptr, f->bytes.data() + f->pos, size_t(n));
  f->pos += n;
  return n;
}

sf_count_t memWrite(const void*, sf_count_t, void*) {
  return 0;
}

sf_count_t memTell(void* user) {
  return static_cast<MemoryFile*>(user)->pos;
}

// Decodes what SDL_mixer rejects into a 16-bit WAV file in memory; empty when libsndfile cannot
// read it either.
std::string decodeWithSndfile(std::string_view bytes, std::string* why) {
  SF_VIRTUAL_IO io{memLength, memSeek, memRead, memWrite, memTell};
  MemoryFile file{bytes, 0};
  SF_INFO info{};
  SNDFILE* snd = sf_open_virtual(&io, SFM_READ, &info, &file);
  if (!snd) {
    if (why) *why = sf_strerror(nullptr);
    return {};
  }
  std::vector<int16_t> samples;
  if (info.channels > 0 && info.frames > 0 && info.frames < (int64_t(1) << 31)) {
    samples.resize(size_t(info.frames) * size_t(info.channels));
    const sf_count_t got = sf_readf_short(snd, samples.data(), info.frames);
    samples.resize(size_t(std::max<sf_count_t>(got, 0)) * size_t(info.channels));
  }
  sf_close(snd);
  if (info.channels <= 0 || info.samplerate <= 0) {
    if (why) *why = "no audio channels";
    return {};
  }
  int channels = info.channels;
  if (channels > 2) {
    // More channels than the output's two: mix them down to one.
    std::vector<int16_t> mono(samples.size() / size_t(channels));
    for (size_t i = 0; i < mono.size(); ++i) {
      int32_t sum = 0;
      for (int c = 0; c < channels; ++c) sum += samples[i * size_t(channels) + size_t(c)];
      mono[i] = int16_t(sum / channels);
    }
    samples.swap(mono);
    channels = 1;
  }
  return PcmWavBytes(samples.data(), samples.size() / size_t(channels), channels, info.samplerate);
}

Mix_Chunk* loadChunk(std::string_view bytes) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  if (!rw) return nullptr;
  return Mix_LoadWAV_RW(rw, 1);
}

}  // namespace

std::string PcmWavBytes(const int16_t* samples, size_t frames, int channels, int rate) {
  const uint32_t dataBytes = uint32_t(frames * size_t(channels) * 2);
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  appendLE(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  appendLE(out, 16, 4);
  appendLE(out, 1, 2);  // PCM
  appendLE(out, uint32_t(channels), 2);
  appendLE(out, uint32_t(rate), 4);
  appendLE(out, uint32_t(rate * channels * 2), 4);
  appendLE(out, uint32_t(channels * 2), 2);
  appendLE(out, 16, 2);
  out += "data";
  appendLE(out, dataBytes, 4);
  for (size_t i = 0; i < frames * size_t(channels); ++i) appendLE(out, uint16_t(samples[i]), 2);
  return out;
}

// ---- MixerAudio ----

MixerAudio& MixerAudio::instance() {
  static MixerAudio audio;
  return audio;
}

void MixerAudio::SetDriverHint(const char* driver) {
  SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
}

bool MixerAudio::tryOpen() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, kOutputChannels, kChunkFrames) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

bool MixerAudio::open() {
  std::lock_guard lock(openMutex());
  if (open_) return true;
  if (failed_) return false;
  // SIGINT and SIGTERM belong to Qt.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  bool ok = tryOpen();
  if (!ok) {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    ok = tryOpen();
  }
  if (!ok) {
    failed_ = true;
    return false;
  }
  Uint16 format = 0;
  Mix_QuerySpec(&frequency_, &format, &channels_);
  bytesPerSample_ = int(SDL_AUDIO_BITSIZE(format)) / 8;
  channelCount_ = Mix_AllocateChannels(kFirstChannelCount);
  Mix_ReserveChannels(kSpeechChannel + 1);
  open_ = true;
  return true;
}

std::string MixerAudio::driverName() const {
  const char* name = open_ ? SDL_GetCurrentAudioDriver() : nullptr;
  return name ? name : "";
}

int MixerAudio::playOnFreeChannel(Mix_Chunk* chunk, int loops) {
  int channel = Mix_PlayChannel(-1, chunk, loops);
  if (channel < 0) {
    // Every channel busy: make more rather than cut a sound off.
    std::lock_guard lock(openMutex());
    channelCount_ = Mix_AllocateChannels(channelCount_ * 2);
    channel = Mix_PlayChannel(-1, chunk, loops);
  }
  return channel;
}

MixerAudio::~MixerAudio() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

// ---- MixerSound ----

std::unique_ptr<MixerSound> MixerSound::FromBytes(std::string_view bytes, std::string* why) {
  if (!MixerAudio::instance().open()) {
    if (why) *why = "no audio output";
    return nullptr;
  }
  if (bytes.empty() || bytes.size() > size_t(INT32_MAX)) {
    if (why) *why = "no sound data";
    return nullptr;
  }
  Mix_Chunk* chunk = loadChunk(bytes);
  if (!chunk) {
    const std::string wav = decodeWithSndfile(bytes, why);
    if (!wav.empty()) chunk = loadChunk(wav);
  }
  if (!chunk) return nullptr;
  return std::unique_ptr<MixerSound>(new MixerSound(chunk));
}

std::unique_ptr<MixerSound> MixerSound::FromFile(const QString& path, std::string* why) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (why) *why = file.errorString().toStdString();
    return nullptr;
  }
  const QByteArray bytes = file.readAll();
  return FromBytes(std::string_view(bytes.constData(), size_t(bytes.size())), why);
}

std::unique_ptr<MixerSound> MixerSound::FromSamples(const int16_t* samples, size_t count,
                                                    int rate) {
  if (count == 0) return nullptr;
  return FromBytes(PcmWavBytes(samples, count, 1, rate));
}

MixerSound::~MixerSound() {
  // Mix_FreeChunk halts every channel that still plays it.
  Mix_FreeChunk(chunk_);
}

bool MixerSound::play(bool looping) {
  stop();
  channel_ = MixerAudio::instance().playOnFreeChannel(chunk_, looping ? -1 : 0);
  return channel_ >= 0;
}

bool MixerSound::playOn(int channel) {
  stop();
  channel_ = Mix_PlayChannel(channel, chunk_, 0);
  return channel_ >= 0;
}

void MixerSound::stop() {
  if (channel_ >= 0 && Mix_GetChunk(channel_) == chunk_) Mix_HaltChannel(channel_);
  channel_ = -1;
}

bool MixerSound::isPlaying() const {
  // A finished channel may since have been given to another sound.
  return channel_ >= 0 && Mix_Playing(channel_) != 0 && Mix_GetChunk(channel_) == chunk_;
}

int64_t MixerSound::lengthMs() const {
  const auto& audio = MixerAudio::instance();
  const int64_t bytesPerSecond =
      int64_t(audio.frequency()) * audio.channels() * audio.bytesPerSample();
  if (bytesPerSecond <= 0) return 0;
  return int64_t(chunk_->alen) * 1000 / bytesPerSecond;
}

}  // namespace qm
