// The player's entry point: reads the options, sets up automation (headless platform, dialogs
// answered without a person, the log, the timeout) and runs the application, whose open handler
// loads and runs the game.
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "app/Options.h"
#include "app/PlayerApp.h"
#include "app/Replay.h"
#include "platform/AutomationLog.h"
#include "platform/DialogSeam.h"
#include "platform/QuitRequest.h"
#include "platform/ScriptedDialogs.h"

namespace {

constexpr int kBadArguments = 2;
constexpr int kTimeoutStatus = 124;
// A game stuck where no event is served (a script loop that never yields, a blocking wait)
// cannot take the clean way out: the watchdog ends the process this long after the timeout.
constexpr std::chrono::seconds kWatchdogGrace{5};

// The offscreen platform warns about every window operation it cannot do (raise, size hints);
// in headless runs that is expected, and the warnings would drown the game's own output.
QtMessageHandler defaultHandler = nullptr;
void headlessMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith("This plugin does not support")) return;
  if (defaultHandler)
    defaultHandler(type, context, text);
  else
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void print(std::FILE* out, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), out);
}

// Ends the process if the clean timeout did not.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::milliseconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (cv_.wait_for(lock, limit, [this] { return done_; })) return;
          qm::Log().quit(kTimeoutStatus);
          std::fflush(nullptr);
          std::_Exit(kTimeoutStatus);
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const qm::ParsedOptions parsed = qm::ParseOptions(args);
  if (!parsed.error.isEmpty()) {
    print(stderr, "quillmark-player: " + parsed.error + "\n\n" + qm::UsageText());
    return kBadArguments;
  }
  const qm::Options& options = parsed.options;
  if (options.help) {
    print(stdout, qm::UsageText());
    return 0;
  }
  if (options.version) {
    print(stdout, qm::VersionText());
    return 0;
  }

  std::vector<qm::ReplayCommand> replay;
  if (!options.replayFile.isEmpty()) {
    QString error;
    if (!qm::LoadReplay(options.replayFile, replay, error)) {
      print(stderr, "quillmark-player: " + error + "\n");
      return kBadArguments;
    }
  }

  std::unique_ptr<QTemporaryDir> runtimeDir;
  if (options.headless) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(headlessMessages);
    // Qt wants a private runtime folder; a headless run may have none.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
      runtimeDir = std::make_unique<QTemporaryDir>();
      if (runtimeDir->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("quillmark-player");
  // Closing the game window ends the game through its own handler.
  QApplication::setQuitOnLastWindowClosed(false);

  if (!options.logTarget.isEmpty()) {
    QString error;
    if (!qm::Log().open(options.logTarget, &error)) {
      print(stderr,
            "quillmark-player: cannot write the log " + options.logTarget + ": " + error + "\n");
      return kBadArguments;
    }
  }

  qm::ScriptedDialogs* scripted = nullptr;
  if (options.nonInteractive()) {
    auto dialogs = std::make_unique<qm::ScriptedDialogs>();
    scripted = dialogs.get();
    qm::InstallDialogs(std::move(dialogs));
  }

  const QString folder = qm::ResourcesFolder(options, QCoreApplication::applicationDirPath());
  // A headless run without a replay ends like one with an empty replay.
  const bool endAfterStart = !options.replayFile.isEmpty() || options.headless;
  qm::PlayerApp player(folder, std::move(replay), scripted, endAfterStart);
  player.SetTrace(options.trace);
  QTimer::singleShot(0, &app, [&player] { player.Open(); });

  std::unique_ptr<Watchdog> watchdog;
  if (options.timeoutSeconds) {
    const auto limit = std::chrono::milliseconds(
        static_cast<int64_t>(std::min(*options.timeoutSeconds * 1000.0, 2.0e9)));
    QTimer::singleShot(std::chrono::milliseconds(limit), &app, [&player] { player.TimedOut(); });
    watchdog = std::make_unique<Watchdog>(limit + kWatchdogGrace);
  }

  app.exec();
  const int status = qm::QuitRequested() ? qm::QuitStatus() : 0;
  watchdog.reset();
  player.Shutdown();
  qm::Log().quit(status);
  qm::Log().close();
  qm::InstallDialogs(nullptr);
  return status;
}
