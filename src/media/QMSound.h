#pragma once
// A sound of the game's sound library. The sound file is only located at load time; it is
// opened when the sound is first played (Prepare), and a failed opening is tried again on the
// next play. A sound can also be played from bytes held in memory (LoadFromProject): those are
// decoded straight from memory, so nothing is written to disk for them.
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qm {

class MediaReports;
class MixerSound;

class QMSound {
 public:
  // Format codes of DetermineSoundFileFormat.
  enum FileFormat : int64_t {
    kSoundResource = 1,
    kUnrecognised = 2,
    kQuickTime = 3,
    kMpeg4 = 4,
    kCoreAudio = 5,
    kAiff = 6,
    kWave = 7,
    kAmr = 8,
    kMpeg4Audio = 9,
    kSunAudio = 10,
    kMp3 = 11,
  };

  QMSound();
  ~QMSound();
  QMSound(const QMSound&) = delete;
  QMSound& operator=(const QMSound&) = delete;

  // ---- Properties ----
  std::string data;  // sound file bytes played from memory; empty for a sound file
  std::string name;  // compared without regard to case
  std::unique_ptr<MixerSound> InternalSound;
  bool prepared = false;
  std::string fileName;     // as the data file gives it
  QString soundFolderItem;  // full path of the sound file beside the data file
  bool isUnplayable = false;
  int64_t fileFormat = 0;  // of data; 0 until determined
  // Where Prepare and Play report failures; the dialogs when not set.
  MediaReports* reports = nullptr;

  // ---- Operations ----
  // Makes InternalSound from the file or from data. Failures are reported (the "QMSound.Prepare"
  // alerts) and leave the sound unprepared.
  void Prepare();
  // Prepares if needed and starts playing once; failures are reported as "QMSound.Play".
  void Play();
  // As Play, endlessly; failures pass to the caller.
  void PlayLooping();
  void Stop();
  bool IsPlaying() const;
  // Keeps the bytes as the sound's data and prepares from them; true when they play.
  bool LoadFromProject(std::string_view bytes);
  // Extension for fileFormat; NilObjectException while it is 0.
  std::string fileExtension() const;
  // The format code of a file's leading bytes.
  static int64_t DetermineSoundFileFormat(std::string_view header);

  // Never used by the player.
  bool LoadFromFolderitem(const QString&) { return false; }
  void MovieLoad(const QString&) {}
  bool isVideoFile(const QString&) { return false; }

  // Milliseconds of one pass once prepared, else 0.
  int64_t lengthMs() const;

 private:
  MediaReports& reporter() const;
};

}  // namespace qm
