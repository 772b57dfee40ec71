#pragma once
// Helpers of the shell tests: a game written by the GameWriter and started the way the player
// starts it (PlayerApp's open handler) on the offscreen platform, with dialogs answered from a
// queue and recorded, and the automation log captured in a file.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "platform/AutomationLog.h"
#include "platform/DialogSeam.h"
#include "platform/QuitRequest.h"
#include "platform/ScriptedDialogs.h"
#include "testsupport/GameWriter.h"
#include "window/GameWindow.h"

namespace qm::test {

// Non-interactive dialogs that also keep every alert they were asked to show.
class RecordingDialogs : public ScriptedDialogs {
 public:
  std::string alert(const AlertRequest& request) override {
    alerts.push_back(request);
    return ScriptedDialogs::alert(request);
  }
  std::vector<AlertRequest> alerts;
};

// Captures the automation log of one test in a temporary file.
class LogCapture {
 public:
  LogCapture() { Log().open(dir_.filePath("log.jsonl")); }
  ~LogCapture() { Log().close(); }
  // The lines written so far, parsed.
  std::vector<QJsonObject> events() const {
    QFile f(dir_.filePath("log.jsonl"));
    std::vector<QJsonObject> out;
    if (!f.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.isEmpty()) out.push_back(QJsonDocument::fromJson(line).object());
    return out;
  }
  std::vector<QJsonObject> events(const QString& kind) const {
    std::vector<QJsonObject> out;
    for (const QJsonObject& e : events())
      if (e["ev"].toString() == kind) out.push_back(e);
    return out;
  }
  QByteArray text() const {
    QFile f(dir_.filePath("log.jsonl"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
};

// Dialogs answered from a queue and recorded, for one test.
class DialogsScope {
 public:
  DialogsScope() : dialogs_(new RecordingDialogs), scope_(std::unique_ptr<DialogSeam>(dialogs_)) {
    dialogs_->setWarningSink([this](const std::string& w) { warnings.push_back(w); });
  }
  RecordingDialogs& operator*() const { return *dialogs_; }
  RecordingDialogs* operator->() const { return dialogs_; }
  std::vector<std::string> warnings;

 private:
  RecordingDialogs* dialogs_;
  ScopedDialogs scope_;
};

// A game written to a temporary folder and started through the player's open handler. The quit
// request it may leave behind is forgotten when it ends.
class StartedGame {
 public:
  StartedGame() { ResetQuitRequest(); }
  ~StartedGame() {
    if (app_) app_->Shutdown();
    ResetQuitRequest();
  }
  // Writes the game and runs start-up; returns the game window (nullptr when the load failed).
  GameWindow* start(GameWriter& w) {
    w.writeTo(dir_.path());
    return startFolder(dir_.path());
  }
  GameWindow* startFolder(const QString& folder) {
    app_ = std::make_unique<PlayerApp>(folder, std::vector<ReplayCommand>{}, nullptr, false);
    app_->Open();
    return app_->window();
  }
  QString folder() const { return dir_.path(); }
  PlayerApp& app() const { return *app_; }

 private:
  QTemporaryDir dir_;
  std::unique_ptr<PlayerApp> app_;
};

}  // namespace qm::test
