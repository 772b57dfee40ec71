// Feeds arbitrary bytes to the card text reader. Every input must end in a document; a crash, a
// sanitizer report or an exception is a finding. Laying the document out also checks that the
// text and formats handed to Qt are ones it can show.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QTextDocument document;
  document.setTextWidth(400);
  qm::readRtf(std::string_view(reinterpret_cast<const char*>(data), size), document);
  document.size();
  return 0;
}
