// qmdump GAME_DIR | path/to/quillmark.dat: prints the whole game as text.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstring>
#include <iostream>

#include "Disassembler.h"
#include "data/GameLoader.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::cerr << "usage: qmdump GAME_DIR | path/to/quillmark.dat\n"
                 "Prints settings, libraries, cards, methods, menu items, pools and every\n"
                 "script of a Quillmark game, one command a line.\n";
    return argc == 2 ? 0 : 2;
  }
  QString folder = QString::fromLocal8Bit(argv[1]);
  if (QFileInfo(folder).isFile()) folder = QFileInfo(folder).absolutePath();
  qm::LoadHooks hooks;
  hooks.tolerateMissingFiles = true;
  try {
    auto game = qm::LoadGame(folder, hooks);
    qm::tools::dumpGame(std::cout, *game);
  } catch (const qm::FatalLoadError& e) {
    std::cerr << e.message() << "\n" << e.explanation() << "\n";
    return 1;
  }
  return 0;
}
