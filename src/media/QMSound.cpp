#include "media/QMSound.h"

#include <array>

#include "media/MediaReports.h"
#include "media/MixerAudio.h"
#include "support/Errors.h"
#include "support/FilePaths.h"

namespace qm {

namespace {

// How many leading bytes of data decide the format.
constexpr size_t kHeaderBytes = 20;

bool startsWith(std::string_view header, std::string_view prefix) {
  return header.size() >= prefix.size() && header.substr(0, prefix.size()) == prefix;
}

bool hasAt(std::string_view header, size_t offset, std::string_view part) {
  return header.size() >= offset + part.size() && header.substr(offset, part.size()) == part;
}

// Starts with `prefix`, and (when `at` is not empty) holds `at` at `offset`.
struct FormatTest {
  std::string_view prefix;
  size_t offset;
  std::string_view at;
  int64_t code;
};

using namespace std::string_view_literals;

// The leading ftyp box sizes that are recognised.
constexpr auto kBox20 = "\x00\x00\x00\x20"sv;
constexpr auto kBox14 = "\x00\x00\x00\x14"sv;
constexpr auto kBox18 = "\x00\x00\x00\x18"sv;

// The tests in the order they are tried; the first that matches decides.
constexpr std::array kFormatTests{
    FormatTest{"\x00\x01\x00\x01\x00\x05"sv, 0, {}, QMSound::kSoundResource},
    FormatTest{kBox20, 4, "ftypqt"sv, QMSound::kQuickTime},
    FormatTest{kBox14, 4, "ftypqt"sv, QMSound::kQuickTime},
    FormatTest{kBox20, 4, "ftypisom"sv, QMSound::kMpeg4},
    FormatTest{kBox20, 4, "ftypmp4"sv, QMSound::kMpeg4},
    FormatTest{kBox18, 4, "ftypmp4"sv, QMSound::kMpeg4},
    FormatTest{kBox20, 4, "ftypM4V"sv, QMSound::kMpeg4},
    FormatTest{kBox20, 4, "ftypM4A"sv, QMSound::kMpeg4Audio},
    FormatTest{"caff"sv, 0, {}, QMSound::kCoreAudio},
    FormatTest{"#!AMR"sv, 0, {}, QMSound::kAmr},
    FormatTest{"FORM"sv, 8, "AIFFCOMM"sv, QMSound::kAiff},
    FormatTest{"RIFF"sv, 8, "WAVEfmt "sv, QMSound::kWave},
    FormatTest{".snd"sv, 0, {}, QMSound::kSunAudio},
    FormatTest{"ID3"sv, 0, {}, QMSound::kMp3},
    FormatTest{"\xFF\xFB"sv, 0, {}, QMSound::kMp3},
    FormatTest{"\xFF\xF2"sv, 0, {}, QMSound::kMp3},
    FormatTest{"\xFF\xF3"sv, 0, {}, QMSound::kMp3},
};

}  // namespace

QMSound::QMSound() = default;
QMSound::~QMSound() = default;

MediaReports& QMSound::reporter() const {
  return reports ? *reports : DialogReports();
}

int64_t QMSound::DetermineSoundFileFormat(std::string_view header) {
  for (const FormatTest& test : kFormatTests) {
    if (!startsWith(header, test.prefix)) continue;
    if (!test.at.empty() && !hasAt(header, test.offset, test.at)) continue;
    return test.code;
  }
  return kUnrecognised;
}

std::string QMSound::fileExtension() const {
  switch (fileFormat) {
    case 0: throw NilObjectException("the sound's file format is not determined");
    case kSoundResource: return "sfil";
    case kMpeg4: return "mp4";
    case kCoreAudio: return "caf";
    case kAiff: return "aiff";
    case kWave: return "wav";
    case kAmr: return "amr";
    case kMpeg4Audio: return "m4a";
    case kSunAudio: return "au";
    case kMp3: return "mp3";
    default: return "mov";
  }
}

void QMSound::Prepare() {
  if (prepared) return;
  try {
    if (!soundFolderItem.isEmpty() && pathExists(soundFolderItem) && data.empty()) {
      InternalSound = MixerSound::FromFile(soundFolderItem);
    } else if (!data.empty()) {
      // Played from memory: decoded where the bytes are, never through a temporary file. The
      // format code is still determined; fileExtension names it.
      if (fileFormat == 0)
        fileFormat = DetermineSoundFileFormat(std::string_view(data).substr(0, kHeaderBytes));
      InternalSound = MixerSound::FromBytes(data);
    }
    if (!InternalSound) {
      reporter().FatalVerbose("QMSound.Prepare", "Can't open the sound file for \"" + name + "\".");
      return;
    }
    prepared = true;
  } catch (const EndException&) {
    throw;
  } catch (...) {
    reporter().ExceptionDialog(std::current_exception(), "QMSound.Prepare");
  }
}

void QMSound::Play() {
  try {
    if (!prepared) Prepare();
    if (!InternalSound) throw NilObjectException("the sound could not be opened");
    InternalSound->play(false);
  } catch (const EndException&) {
    throw;
  } catch (...) {
    reporter().ExceptionDialog(std::current_exception(), "QMSound.Play");
  }
}

void QMSound::PlayLooping() {
  if (!prepared) Prepare();
  if (!InternalSound) throw NilObjectException("the sound could not be opened");
  InternalSound->play(true);
}

void QMSound::Stop() {
  if (prepared && InternalSound) InternalSound->stop();
}

bool QMSound::IsPlaying() const {
  return prepared && InternalSound && InternalSound->isPlaying();
}

bool QMSound::LoadFromProject(std::string_view bytes) {
  data.assign(bytes);
  Prepare();
  if (InternalSound) return !isUnplayable;
  isUnplayable = true;
  return false;
}

int64_t QMSound::lengthMs() const {
  return InternalSound ? InternalSound->lengthMs() : 0;
}

}  // namespace qm
