// Sound file formats recognised by their leading bytes, and the extension of each format code.
#include <gtest/gtest.h>

#include <string>

#include "media/QMSound.h"
#include "support/Errors.h"

namespace qm {
namespace {

using namespace std::string_literals;

struct HeaderCase {
  const char* what;
  std::string header;
  int64_t code;
};

// A 20-byte header: the given bytes, then padding that matches no test.
std::string padded(std::string head) {
  head.resize(std::max<size_t>(head.size(), 20), '\x7f');
  return head;
}

// An ISO base media header: the leading box's big-endian size, then "ftyp" and the brand.
std::string ftyp(char boxSize, const char* brand) {
  return padded("\x00\x00\x00"s + boxSize + "ftyp" + brand);
}

// An IFF-style header: the container's tag, four size bytes, then the form and first chunk.
std::string container(const char* tag, const char* formAndChunk) {
  return padded(tag + "\x24\x10\x00\x00"s + formAndChunk);
}

TEST(SoundFormat, EachTestInOrderAndTheNearMisses) {
  const HeaderCase cases[] = {
      {"1 sound resource", padded("\x00\x01\x00\x01\x00\x05"s), 1},
      {"2 qt, box 0x20", ftyp(0x20, "qt  "), 3},
      {"3 qt, box 0x14", ftyp(0x14, "qt  "), 3},
      {"4 isom", ftyp(0x20, "isom"), 4},
      {"5 mp4, box 0x20", ftyp(0x20, "mp42"), 4},
      {"6 mp4, box 0x18", ftyp(0x18, "mp41"), 4},
      {"7 M4V", ftyp(0x20, "M4V "), 4},
      {"8 M4A", ftyp(0x20, "M4A "), 9},
      {"9 caff", padded("caff\x00\x01"s), 5},
      {"10 AMR", padded("#!AMR\n"), 8},
      {"11 AIFF", container("FORM", "AIFFCOMM"), 6},
      {"12 WAVE", container("RIFF", "WAVEfmt "), 7},
      {"13 Sun audio", padded(".snd\x00\x00\x00\x18"s), 10},
      {"14 ID3 tag", padded("ID3\x04"), 11},
      {"15 MPEG frame FF FB", padded("\xFF\xFB\x90"), 11},
      {"16 MPEG frame FF F2", padded("\xFF\xF2\x90"), 11},
      {"17 MPEG frame FF F3", padded("\xFF\xF3\x90"), 11},
      // Near misses.
      {"MPEG frame FF FA", padded("\xFF\xFA\x90"), 2},
      {"ftyp box 0x1C", ftyp(0x1C, "isom"), 2},
      {"qt with box 0x18", ftyp(0x18, "qt  "), 2},
      {"isom with box 0x14", ftyp(0x14, "isom"), 2},
      {"M4A with box 0x18", ftyp(0x18, "M4A "), 2},
      {"WAVE whose first chunk is LIST", container("RIFF", "WAVELIST"), 2},
      {"WAVE chunk without its blank", container("RIFF", "WAVEfmt_"), 2},
      {"AIFF-C whose first chunk is FVER", container("FORM", "AIFCFVER"), 2},
      {"lower-case riff", container("riff", "wavefmt "), 2},
      {"Ogg", padded("OggS"), 2},
      // Headers shorter than a test fail that test.
      {"empty", "", 2},
      {"five of the six resource bytes", "\x00\x01\x00\x01\x00"s, 2},
      {"ftypqt cut short",
       "\x00\x00\x00\x20"
       "ftypq"s,
       2},
      {"WAVEfmt without room for its blank", "RIFF\x24\x10\x00\x00WAVEfmt"s, 2},
      {"exactly as long as the WAVE test", "RIFF\x24\x10\x00\x00WAVEfmt "s, 7},
      {"one byte FF", "\xFF", 2},
      {"exactly .snd", ".snd", 10},
  };
  for (const HeaderCase& c : cases)
    EXPECT_EQ(QMSound::DetermineSoundFileFormat(c.header), c.code) << c.what;
}

TEST(SoundFormat, FileExtensionOfEachCode) {
  const std::pair<int64_t, const char*> cases[] = {
      {1, "sfil"}, {2, "mov"}, {3, "mov"}, {4, "mp4"},  {5, "caf"},  {6, "aiff"}, {7, "wav"},
      {8, "amr"},  {9, "m4a"}, {10, "au"}, {11, "mp3"}, {12, "mov"}, {-1, "mov"},
  };
  QMSound s;
  for (const auto& [code, extension] : cases) {
    s.fileFormat = code;
    EXPECT_EQ(s.fileExtension(), extension) << code;
  }
  s.fileFormat = 0;
  EXPECT_THROW((void)s.fileExtension(), NilObjectException);
}

}  // namespace
}  // namespace qm
