#include "app/Options.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace qm {

namespace {
constexpr const char* kVersion = "0.1.0";
}  // namespace

QString UsageText() {
  return QStringLiteral(
      "Usage: quillmark-player [GAME_DIR] [--headless] [--replay FILE] [--log FILE]\n"
      "                        [--timeout SECONDS] [--trace]\n"
      "Plays the Quillmark game in GAME_DIR (default: the Resources folder beside the\n"
      "folder that holds the player).\n"
      "\n"
      "  --headless         run without a window system; dialogs are answered at once\n"
      "  --replay FILE      play the input events in FILE; dialogs are answered at once\n"
      "  --log FILE         write observable events as JSON Lines to FILE ('-': stdout)\n"
      "  --timeout SECONDS  end with exit status 124 if the game still runs then\n"
      "  --trace            log every command run (with --log)\n"
      "  --help             show this help and exit\n"
      "  --version          show the version and exit\n"
      "\n"
      "Exit status: 0 the game quit, 1 the game could not be loaded, 2 bad arguments,\n"
      "124 timeout.\n");
}

QString VersionText() {
  return QStringLiteral("quillmark-player %1\n").arg(kVersion);
}

ParsedOptions ParseOptions(const QStringList& args) {
  ParsedOptions result;
  Options& o = result.options;
  auto fail = [&](const QString& message) {
    result.error = message;
    return result;
  };
  bool gameDirSeen = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    QString arg = args[i];
    QString value;
    bool hasInlineValue = false;
    if (arg.startsWith("--") && arg.contains('=')) {
      value = arg.mid(arg.indexOf('=') + 1);
      arg = arg.left(arg.indexOf('='));
      hasInlineValue = true;
    }
    // The value of an option that takes one: inline (--log=FILE) or the next argument.
    auto takeValue = [&](QString& out) {
      if (hasInlineValue) {
        out = value;
      } else {
        if (i + 1 >= args.size()) return false;
        out = args[++i];
      }
      return !out.isEmpty();
    };
    auto noValue = [&] { return !hasInlineValue; };

    if (arg == "--headless") {
      if (!noValue()) return fail("--headless takes no value");
      o.headless = true;
    } else if (arg == "--trace") {
      if (!noValue()) return fail("--trace takes no value");
      o.trace = true;
    } else if (arg == "--help" || arg == "-h") {
      if (!noValue()) return fail(arg + " takes no value");
      o.help = true;
    } else if (arg == "--version") {
      if (!noValue()) return fail("--version takes no value");
      o.version = true;
    } else if (arg == "--replay") {
      if (!takeValue(o.replayFile)) return fail("--replay needs a file");
    } else if (arg == "--log") {
      if (!takeValue(o.logTarget)) return fail("--log needs a file (or - for standard output)");
    } else if (arg == "--timeout") {
      QString text;
      if (!takeValue(text)) return fail("--timeout needs a number of seconds");
      bool ok = false;
      const double seconds = text.toDouble(&ok);
      if (!ok || !std::isfinite(seconds) || seconds <= 0)
        return fail("--timeout needs a positive number of seconds, not \"" + text + "\"");
      o.timeoutSeconds = seconds;
    } else if (arg.startsWith('-') && arg != "-") {
      return fail("unknown option " + arg);
    } else {
      if (gameDirSeen) return fail("more than one game folder: " + o.gameDir + " and " + arg);
      gameDirSeen = true;
      o.gameDir = arg;
    }
  }
  return result;
}

QString ResourcesFolder(const Options& options, const QString& applicationDir) {
  if (!options.gameDir.isEmpty()) {
    const QFileInfo info(options.gameDir);
    // A path to the data file itself names its folder.
    return info.isFile() ? info.absolutePath() : info.absoluteFilePath();
  }
  return QDir::cleanPath(applicationDir + "/../Resources");
}

}  // namespace qm
