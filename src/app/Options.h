#pragma once
// The command line:
//   quillmark-player [GAME_DIR] [--headless] [--replay FILE] [--log FILE] [--timeout SECONDS]
// plus --help and --version. Without GAME_DIR the game is the one in the Resources folder
// beside the folder that holds the executable.
#include <QString>
#include <QStringList>
#include <optional>

namespace qm {

struct Options {
  QString gameDir;  // empty: the Resources folder
  bool headless = false;
  bool trace = false; // every command run is logged as {"ev":"cmd",...}
  QString replayFile;  // empty: no replay
  QString logTarget;   // empty: no log; "-" standard output
  std::optional<double> timeoutSeconds;
  bool help = false;
  bool version = false;

  // Dialogs are answered without a person in headless and replay runs.
  bool nonInteractive() const { return headless || !replayFile.isEmpty(); }
};

struct ParsedOptions {
  Options options;
  QString error;  // not empty: bad arguments (exit status 2)
};

// Parses the arguments after the program name.
ParsedOptions ParseOptions(const QStringList& args);
QString UsageText();
QString VersionText();

// The folder the game is read from: GAME_DIR (the folder of a file given instead), or the
// Resources folder beside the folder of the executable at applicationDir.
QString ResourcesFolder(const Options& options, const QString& applicationDir);

}  // namespace qm
