// The test program's own main: tests run on Qt's offscreen platform unless told otherwise, and
// a QApplication exists for the widget, picture and socket tests.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir runtimeDir;
  if (!std::getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
