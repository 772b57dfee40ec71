// Feeds arbitrary bytes to the data file reader. Every input must end in a loaded game or in a
// FatalLoadError; anything else (a crash, a sanitizer report, another exception) is a finding.
// The companion files that the seed corpus names are written once into a temporary folder.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/GameLoader.h"
#include "testsupport/RichGame.h"

namespace {

const QString& companionFolder() {
  static QTemporaryDir dir;
  static const QString path = [] {
    qm::test::writeSeedCompanionFiles(dir.path());
    return dir.path();
  }();
  return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(*argc, *argv);
  companionFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    auto game = qm::LoadGameFromBytes(
        std::string_view(reinterpret_cast<const char*>(data), size), companionFolder());
  } catch (const qm::FatalLoadError&) {
    // The defined outcome for bad data.
  }
  return 0;
}
