// The player's entry point: finds the resources folder (or the GAME_DIR argument) and loads the
// game. The game window and the interpreter are wired in as they come.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "app/FatalReport.h"
#include "data/GameLoader.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString folder;
  if (argc > 1 && std::strncmp(argv[1], "--", 2) != 0) {
    folder = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo(folder).isFile()) folder = QFileInfo(folder).absolutePath();
  } else {
    // The folder Resources beside the folder that holds the executable.
    QDir dir(QCoreApplication::applicationDirPath());
    dir.cdUp();
    folder = dir.filePath("Resources");
  }
  try {
    auto game = qm::LoadGame(folder);
    std::printf("Loaded \"%s\": %lld cards.\n", game->globals.thegamename.c_str(),
                static_cast<long long>(game->globals.numcards));
  } catch (const qm::FatalLoadError& e) {
    qm::ReportFatal(e.message(), e.explanation());
    return 1;
  }
  return 0;
}
