#include "app/PlayerApp.h"
#include "interpreter/Interpreter.h"

#include <QTimer>

#include "app/FatalReport.h"
#include "data/GameLoader.h"
#include "dialogs/DesktopShield.h"
#include "platform/AutomationLog.h"
#include "platform/EventEdge.h"
#include "platform/QuitRequest.h"
#include "platform/ScriptedDialogs.h"
#include "support/Errors.h"
#include "window/GameWindow.h"
#include "window/RuntimeMenu.h"

namespace qm {

namespace {
// Load failures and start-up errors end the run with this status after the fatal message.
constexpr int kLoadFailureStatus = 1;
}  // namespace

PlayerApp::PlayerApp(QString resourcesFolder, std::vector<ReplayCommand> replay,
                     ScriptedDialogs* dialogs, bool endAfterStart)
    : folder_(std::move(resourcesFolder)),
      replay_(std::move(replay)),
      dialogs_(dialogs),
      replayRequested_(endAfterStart || !replay_.empty()) {}

PlayerApp::~PlayerApp() {
  Shutdown();
}

void PlayerApp::Open() {
  AtEventEdge([this] { startUp(); },
              [](std::exception_ptr error) {
                // Anything nothing nearer handled ends the program.
                std::string kind = "UnknownException", detail;
                try {
                  std::rethrow_exception(error);
                } catch (const std::exception& e) {
                  if (const std::string t = ExceptionType(e); !t.empty()) kind = t;
                  detail = e.what();
                } catch (...) {
                }
                ReportFatal("Unhandled " + kind + " in App.Open", detail);
                RequestQuit(kLoadFailureStatus);
              });
}

void PlayerApp::startUp() {
  LoadHooks hooks;
  hooks.settingsRead = [](const GameGlobals& g) {
    if (g.HideDesk) DesktopShield::Show(g);
  };
  hooks.windowNeeded = [this](GameData& game) {
    window_ = std::make_unique<GameWindow>(game);
    window_->hide();
    window_->Event_Open();
  };
  hooks.menuItemRead = [this](const QMGameMenuItem& item) {
    if (window_) window_->Menu()->AppendGameItem(item);
  };

  std::unique_ptr<GameData> game;
  try {
    game = LoadGame(folder_, hooks);
  } catch (const FatalLoadError& e) {
    ReportFatal(e.message(), e.explanation());
    RequestQuit(kLoadFailureStatus);
    return;
  }
  if (!window_) hooks.windowNeeded(*game);
  window_->AdoptGame(std::move(game));
  window_->interpreter().SetTrace(trace_);

  Log().start(window_->globals().thegamename, window_->globals().numcards);
  window_->RunGame();

  if (replayRequested_) {
    if (!dialogs_) {
      ownDialogs_ = std::make_unique<ScriptedDialogs>();
      dialogs_ = ownDialogs_.get();
    }
    driver_ = std::make_unique<ReplayDriver>(std::move(replay_), *window_, *dialogs_);
    driver_->start();
  }
}

void PlayerApp::TimedOut() {
  if (window_) {
    window_->SetRunning(false);
    window_->MasterTimer()->stop();
    window_->ScriptTimer()->stop();
  }
  RequestQuit(124);
}

void PlayerApp::Shutdown() {
  driver_.reset();
  if (window_) {
    window_->SetRunning(false);
    window_->MasterTimer()->stop();
    window_->ScriptTimer()->stop();
  }
  window_.reset();
  DesktopShield::Destroy();
}

}  // namespace qm
