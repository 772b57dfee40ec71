// A short, deterministic run of the reader over mutated writer-built files: every mutant must
// load or end in a fatal message; nothing else may happen (the sanitizer build checks the rest).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "data/GameLoader.h"
#include "testsupport/RichGame.h"

namespace qm {
namespace {

std::string mutate(const std::string& in, std::mt19937& rng) {
  std::string s = in;
  auto pick = [&](size_t n) { return n ? size_t(rng() % n) : 0; };
  switch (rng() % 6) {
  case 0: // flip a few bits
    for (int i = 0; i < 4 && !s.empty(); ++i) s[pick(s.size())] ^= char(1 << (rng() % 8));
    break;
  case 1: // an extreme byte
    if (!s.empty()) s[pick(s.size())] = char(rng() % 2 ? 0xFF : 0x00);
    break;
  case 2: // a huge big-endian count
    if (s.size() > 4) s.replace(pick(s.size() - 4), 4, "\xFF\xFF\xFF\x7F");
    break;
  case 3: // truncate
    s.resize(pick(s.size() + 1));
    break;
  case 4: // insert random bytes
    s.insert(pick(s.size() + 1), std::string(1 + rng() % 8, char(rng())));
    break;
  default: // erase a run
    if (!s.empty()) s.erase(pick(s.size()), 1 + rng() % 16);
    break;
  }
  return s;
}

TEST(LoaderMutation, EveryMutantLoadsOrEndsInAFatalMessage) {
  test::GameWriter w;
  test::buildRichGame(w);
  QTemporaryDir dir;
  w.writeTo(dir.path());
  const std::string original = w.bytes();

  std::mt19937 rng(20261211);
  int loaded = 0, refused = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string mutant = mutate(original, rng);
    try {
      LoadGameFromBytes(mutant, dir.path());
      ++loaded;
    } catch (const FatalLoadError& e) {
      ++refused;
      EXPECT_FALSE(e.message().empty());
      EXPECT_EQ(e.message().find("UnknownException"), std::string::npos) << e.message();
    }
  }
  EXPECT_EQ(loaded + refused, 3000);
  EXPECT_GT(refused, 0);
}

} // namespace
} // namespace qm
