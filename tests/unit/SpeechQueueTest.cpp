// Speech is queued: a text asked for while another is spoken waits for it, and every text is
// spoken to its end, in order. Runs on SDL's dummy audio driver, silently in real time.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "media/MixerAudio.h"
#include "media/SpeechQueue.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class SpeechQueueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MixerAudio::SetDriverHint("dummy");
    ASSERT_TRUE(MixerAudio::instance().open());
  }

  void SetUp() override {
    speech.SetFinishedHook([this](const std::string& text) {
      std::lock_guard lock(mutex);
      finished.emplace_back(text, Clock::now());
    });
    speech.SetLogSink([this](const MediaEvent& e) { logged.push_back(DescribeMediaEvent(e)); });
  }

  std::mutex mutex;
  std::vector<std::pair<std::string, Clock::time_point>> finished;
  std::vector<std::string> logged;
  SpeechQueue speech;
};

TEST_F(SpeechQueueTest, LaterSpeechWaitsForSpeechInProgress) {
  const std::string first = "This sentence takes well over a second to say out loud.";
  const auto start = Clock::now();
  speech.Speak(first);
  speech.Speak("Two");
  EXPECT_LT(Clock::now() - start, 100ms) << "Speak returns at once";
  EXPECT_TRUE(speech.IsSpeaking());
  ASSERT_TRUE(speech.WaitUntilIdle(30s));
  EXPECT_FALSE(speech.IsSpeaking());

  std::lock_guard lock(mutex);
  ASSERT_EQ(finished.size(), 2u);
  EXPECT_EQ(finished[0].first, first);
  EXPECT_EQ(finished[1].first, "Two");
  // The first text was spoken to its end, not cut off by the second.
  EXPECT_GT(finished[0].second - start, 1s);
  // The second needed its own time after the first.
  EXPECT_GT(finished[1].second - finished[0].second, 100ms);
  EXPECT_EQ(logged, (std::vector<std::string>{"speak " + first, "speak Two"}));
}

TEST_F(SpeechQueueTest, WithoutPerformingTextsAreOnlyLogged) {
  speech.SetPerform(false);
  speech.Speak("Hello");
  EXPECT_FALSE(speech.IsSpeaking());
  EXPECT_EQ(logged, std::vector<std::string>{"speak Hello"});
  std::lock_guard lock(mutex);
  EXPECT_TRUE(finished.empty());
}

TEST_F(SpeechQueueTest, StopAllDropsTheQueueAndCutsOff) {
  speech.Speak("A long sentence that would take a good while to say in full.");
  speech.Speak("Never said.");
  const auto start = Clock::now();
  speech.StopAll();
  ASSERT_TRUE(speech.WaitUntilIdle(10s));
  EXPECT_LT(Clock::now() - start, 1s);
  std::lock_guard lock(mutex);
  for (const auto& [text, when] : finished) EXPECT_NE(text, "Never said.");
}

}  // namespace
}  // namespace qm
