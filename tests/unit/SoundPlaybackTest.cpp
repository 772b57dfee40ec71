// Sounds and their playback over time, on SDL's dummy audio driver (no device needed): the
// formats, waiting, looping, stopping, names, the failure reports, and the sound rule of cards,
// buttons and click areas. The sound library is loaded from a writer-built game.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "data/GameLoader.h"
#include "media/GameSounds.h"
#include "media/MediaReports.h"
#include "media/MixerAudio.h"
#include "media/QMSound.h"
#include "support/Errors.h"
#include "testsupport/CompanionFiles.h"
#include "testsupport/GameWriter.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int64_t msSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// A sine tone written by libsndfile in the given major format (AIFF, AU, MP3, ...).
QByteArray soundFileBytes(int format, int milliseconds) {
  QTemporaryDir dir;
  const QString path = dir.filePath("tone");
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = format;
  SNDFILE* f = sf_open(path.toUtf8().constData(), SFM_WRITE, &info);
  if (!f) return {};
  std::vector<short> samples(size_t(info.samplerate) * size_t(milliseconds) / 1000);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = short(8000 * std::sin(double(i) * 2 * M_PI * 440 / info.samplerate));
  sf_write_short(f, samples.data(), sf_count_t(samples.size()));
  sf_close(f);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// What the dialogs would have shown.
class RecordingReports : public MediaReports {
 public:
  void FatalVerbose(const std::string& message, const std::string& explanation) override {
    shown.push_back("fatal|" + message + "|" + explanation);
  }
  void ExceptionDialog(std::exception_ptr error, const std::string& place) override {
    std::string kind = "UnknownException";
    try {
      std::rethrow_exception(error);
    } catch (const EndException&) {
      throw;
    } catch (const std::exception& e) {
      if (!ExceptionType(e).empty()) kind = ExceptionType(e);
    } catch (...) {
    }
    shown.push_back("exception|" + kind + "|" + place);
  }
  std::vector<std::string> shown;
};

constexpr int kToneMs = 300;

class SoundPlayback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MixerAudio::SetDriverHint("dummy");
    ASSERT_TRUE(MixerAudio::instance().open());
  }

  void SetUp() override {
    test::GameWriter w;
    w.addCard();
    w.addSound("Door", "door.wav");
    w.addWav("door.wav", kToneMs);
    w.addSound("Bell", "bell.aiff");
    w.addFile("bell.aiff", soundFileBytes(SF_FORMAT_AIFF | SF_FORMAT_PCM_16, kToneMs));
    w.addSound("Hum", "hum.au");
    w.addFile("hum.au", soundFileBytes(SF_FORMAT_AU | SF_FORMAT_PCM_16, kToneMs));
    w.addSound("DOOR", "long.wav");  // same name, higher number: never found
    w.addWav("long.wav", 3 * kToneMs);
    w.addSound("Broken", "broken.wav");
    w.addFile("broken.wav", "RIFF, but nothing that decodes as a sound at all");
    w.writeTo(dir.path());
    game = LoadGame(dir.path());
    sounds.SetSounds(&game->Sounds);
    sounds.SetScriptErrorReport([this](const std::string& m) { scriptErrors.push_back(m); });
    sounds.SetLogSink([this](const MediaEvent& e) { events.push_back(DescribeMediaEvent(e)); });
  }

  void TearDown() override { sounds.StopSound(nullptr); }

  QMSound& sound(size_t i) { return *game->Sounds.at(i); }

  QTemporaryDir dir;
  std::unique_ptr<GameData> game;
  RecordingReports reports;
  GameSounds sounds{&reports};
  std::vector<std::string> scriptErrors;
  std::vector<std::string> events;
};

TEST_F(SoundPlayback, EachFormatPlaysOnceForItsLength) {
  struct Case {
    const char* name;
    QByteArray bytes;
    int64_t format;
  };
  std::vector<Case> cases = {
      {"wav", test::wavBytes(kToneMs), QMSound::kWave},
      {"aiff", soundFileBytes(SF_FORMAT_AIFF | SF_FORMAT_PCM_16, kToneMs), QMSound::kAiff},
      {"au", soundFileBytes(SF_FORMAT_AU | SF_FORMAT_PCM_16, kToneMs), QMSound::kSunAudio},
  };
  // MP3 where this libsndfile can encode it.
  const QByteArray mp3 = soundFileBytes(SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kToneMs);
  if (!mp3.isEmpty())
    cases.push_back({"mp3", mp3, QMSound::kMp3});
  else
    ADD_FAILURE() << "libsndfile cannot write MP3 here";

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes(c.bytes.constData(), size_t(c.bytes.size()));
    EXPECT_EQ(QMSound::DetermineSoundFileFormat(bytes.substr(0, 20)), c.format);
    const QString path = dir.filePath(QString("tone.") + c.name);
    test::writeFile(path, c.bytes);

    QMSound s;
    s.name = c.name;
    s.soundFolderItem = path;
    s.reports = &reports;
    s.Play();
    ASSERT_TRUE(s.prepared);
    EXPECT_TRUE(s.IsPlaying());
    // MP3 encoders add a frame or two of padding.
    EXPECT_NEAR(double(s.lengthMs()), kToneMs, 120);
    std::this_thread::sleep_for(std::chrono::milliseconds(s.lengthMs() + 250));
    EXPECT_FALSE(s.IsPlaying());
  }
  EXPECT_TRUE(reports.shown.empty());
}

TEST_F(SoundPlayback, WaitedPlayReturnsWhenTheSoundHasEndedWithoutSpinning) {
  rusage before{}, after{};
  getrusage(RUSAGE_THREAD, &before);
  const auto start = Clock::now();
  sounds.PlaySound("Door", true);
  const int64_t waited = msSince(start);
  getrusage(RUSAGE_THREAD, &after);

  EXPECT_GE(waited, kToneMs - 50);  // the output may run one buffer ahead
  EXPECT_LT(waited, kToneMs + 1500);
  EXPECT_FALSE(sound(1).IsPlaying());
  const auto cpuMs = [](const rusage& r) {
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000 +
           (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000;
  };
  // A spinning wait takes a core even on a busy machine; sleeping between questions takes ~1%.
  EXPECT_LT(cpuMs(after) - cpuMs(before), waited / 5) << "the wait must sleep, not spin";

  const auto start2 = Clock::now();
  sounds.PlaySound("Door", false);
  EXPECT_LT(msSince(start2), 100);
  EXPECT_TRUE(sound(1).IsPlaying());
}

TEST_F(SoundPlayback, NamesIgnoreCaseAndTheLowerNumberWins) {
  EXPECT_EQ(sounds.SoundCount(), 5);
  EXPECT_EQ(sounds.GetSound("door"), &sound(1));
  EXPECT_EQ(sounds.GetSound("DOOR"), &sound(1));
  EXPECT_EQ(sounds.GetSound("hUM"), &sound(3));
  EXPECT_EQ(sounds.GetSound("Doors"), nullptr);
  EXPECT_EQ(sounds.GetSound(""), nullptr);
}

TEST_F(SoundPlayback, PlayRestartsLoopsAndStops) {
  sounds.PlaySound("hum", false);
  EXPECT_EQ(sounds.LastSound, &sound(3));
  EXPECT_TRUE(sounds.IsSoundPlaying(&sound(3)));
  std::this_thread::sleep_for(std::chrono::milliseconds(kToneMs * 2 / 3));
  sounds.PlaySound("Hum", false);  // restarts from the beginning
  std::this_thread::sleep_for(std::chrono::milliseconds(kToneMs * 2 / 3));
  EXPECT_TRUE(sounds.IsSoundPlaying(&sound(3)));

  // No sound given: the last one played loops.
  sounds.LoopSound(nullptr);
  EXPECT_EQ(sounds.LastSound, &sound(3));
  std::this_thread::sleep_for(std::chrono::milliseconds(kToneMs * 3));
  EXPECT_TRUE(sounds.IsSoundPlaying(&sound(3)));
  EXPECT_EQ(sounds.IsAnySoundPlaying(), 1);

  sounds.StopSound(&sound(3));
  EXPECT_FALSE(sounds.IsSoundPlaying(&sound(3)));
  EXPECT_EQ(sounds.IsAnySoundPlaying(), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"sound play Hum", "sound play Hum", "sound loop Hum",
                                              "sound stop Hum"}));
  EXPECT_TRUE(reports.shown.empty());
}

TEST_F(SoundPlayback, SeveralPlayAtOnceAndStopAllStopsEvery) {
  sounds.PlaySound("Door", false);
  sounds.PlaySound("Bell", false);
  sounds.LoopSound(sounds.GetSound("Hum"));
  EXPECT_TRUE(sounds.IsSoundPlaying(&sound(1)));
  EXPECT_TRUE(sounds.IsSoundPlaying(&sound(2)));
  EXPECT_TRUE(sounds.IsSoundPlaying(nullptr));
  EXPECT_EQ(sounds.LastSound, &sound(2));  // looping does not change it

  sounds.StopSound(nullptr);
  EXPECT_FALSE(sounds.IsSoundPlaying(nullptr));
  EXPECT_EQ(sounds.IsAnySoundPlaying(), 0);
  EXPECT_EQ(events.back(), "sound stopall ");
}

TEST_F(SoundPlayback, LoopWithoutSoundBeforeAnyPlayDoesNothing) {
  sounds.LoopSound(nullptr);
  EXPECT_EQ(sounds.IsAnySoundPlaying(), 0);
  EXPECT_EQ(sounds.LastSound, nullptr);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(reports.shown.empty());
}

TEST_F(SoundPlayback, MissingSoundGoesToTheScriptErrorReport) {
  sounds.PlaySound("Door", false);
  sounds.PlaySound("Creak", false);
  EXPECT_EQ(scriptErrors, std::vector<std::string>{"Sound \"Creak\" can't be found."});
  EXPECT_EQ(sounds.LastSound, &sound(1));
  EXPECT_TRUE(reports.shown.empty());

  // The real report ends the game: that request passes through untouched.
  sounds.SetScriptErrorReport([](const std::string&) { throw EndException(0); });
  EXPECT_THROW(sounds.PlaySound("Creak", true), EndException);
  EXPECT_TRUE(reports.shown.empty());
}

TEST_F(SoundPlayback, AnUnopenableSoundIsReportedAndTriedAgain) {
  const std::vector<std::string> onePlay = {
      "fatal|QMSound.Prepare|Can't open the sound file for \"Broken\".",
      "exception|NilObjectException|QMSound.Play"};
  sounds.PlaySound("Broken", false);  // sound 5
  EXPECT_EQ(reports.shown, onePlay);
  EXPECT_FALSE(sound(5).prepared);
  EXPECT_EQ(sounds.LastSound, &sound(5));

  // Looping lets PlayLooping's failure reach the window's own report.
  reports.shown.clear();
  sounds.LoopSound(&sound(5));
  EXPECT_EQ(reports.shown, (std::vector<std::string>{
                               onePlay[0], "exception|NilObjectException|GameWindow.LoopSound"}));

  // Once the file holds a sound, the next play opens it.
  reports.shown.clear();
  test::writeFile(dir.filePath("broken.wav"), test::wavBytes(kToneMs));
  sounds.PlaySound("broken", false);
  EXPECT_TRUE(reports.shown.empty());
  EXPECT_TRUE(sound(5).IsPlaying());
}

TEST_F(SoundPlayback, NeverPlayedSoundsNeitherStopNorPlay) {
  QMSound s;
  s.reports = &reports;
  s.Stop();
  EXPECT_FALSE(s.IsPlaying());
  EXPECT_FALSE(sounds.IsSoundPlaying(&sound(2)));
  EXPECT_FALSE(sound(2).prepared);

  // Neither data nor a file: both reports, and nothing plays.
  s.name = "Nothing";
  s.Play();
  EXPECT_EQ(reports.shown, (std::vector<std::string>{
                               "fatal|QMSound.Prepare|Can't open the sound file for \"Nothing\".",
                               "exception|NilObjectException|QMSound.Play"}));
}

TEST_F(SoundPlayback, SoundBytesPlayFromMemory) {
  const QByteArray au = soundFileBytes(SF_FORMAT_AU | SF_FORMAT_PCM_16, kToneMs);
  QMSound s;
  s.name = "Memory";
  s.reports = &reports;
  EXPECT_TRUE(s.LoadFromProject(std::string_view(au.constData(), size_t(au.size()))));
  EXPECT_EQ(s.fileFormat, QMSound::kSunAudio);
  EXPECT_EQ(s.fileExtension(), "au");
  s.Play();
  EXPECT_TRUE(s.IsPlaying());
  EXPECT_TRUE(reports.shown.empty());

  QMSound bad;
  bad.name = "Noise";
  bad.reports = &reports;
  EXPECT_FALSE(bad.LoadFromProject("FORM and then nothing of use"));
  EXPECT_TRUE(bad.isUnplayable);
  EXPECT_EQ(bad.fileFormat, QMSound::kUnrecognised);
  EXPECT_EQ(reports.shown, std::vector<std::string>{
                               "fatal|QMSound.Prepare|Can't open the sound file for \"Noise\"."});
}

TEST_F(SoundPlayback, CardButtonAndAreaSoundRules) {
  struct Case {
    bool wait, looping;
    std::vector<std::string> events;
    bool playingAfterTwoLengths;
    bool blocked;
  };
  const Case cases[] = {
      {false, false, {"sound play Door"}, false, false},
      {false, true, {"sound play Door", "sound loop Door"}, true, false},
      {true, false, {"sound play Door"}, false, true},
      {true, true, {"sound play Door"}, false, true},  // waiting wins: played once
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "wait " << c.wait << " looping " << c.looping);
    events.clear();
    const auto start = Clock::now();
    sounds.StartRecordSound("door", c.wait, c.looping);
    EXPECT_EQ(msSince(start) >= kToneMs - 50, c.blocked);
    EXPECT_EQ(events, c.events);
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * kToneMs));
    EXPECT_EQ(sounds.IsSoundPlaying(&sound(1)), c.playingAfterTwoLengths);
    sounds.StopSound(nullptr);
  }
  events.clear();
  sounds.StartRecordSound("", true, true);
  EXPECT_TRUE(events.empty());
}

TEST(SoundPlaybackEmpty, NoSoundsMeansNothingPlays) {
  RecordingReports reports;
  GameSounds sounds(&reports);
  EXPECT_EQ(sounds.SoundCount(), 0);
  EXPECT_EQ(sounds.IsAnySoundPlaying(), 0);
  GameSounds::SoundList onlySlotZero(1);
  sounds.SetSounds(&onlySlotZero);
  EXPECT_EQ(sounds.IsAnySoundPlaying(), 0);
  EXPECT_EQ(sounds.GetSound("x"), nullptr);
  sounds.StopSound(nullptr);
  EXPECT_TRUE(reports.shown.empty());
}

}  // namespace
}  // namespace qm
