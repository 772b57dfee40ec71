#pragma once
// A writer-built game loaded through the real reader, run by the real interpreter against a
// recording stand-in of the game window.
#include <gtest/gtest.h>

#include <QString>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/GameLoader.h"
#include "interpreter/Interpreter.h"
#include "interpreter/ScriptHost.h"
#include "testsupport/GameWriter.h"

namespace qm::test {

class RecordingHost : public ScriptHost {
 public:
  struct Report {
    std::string location;
    int64_t line;
    std::string message;
  };
  std::vector<Report> reports;
  int64_t left = 100, top = 50;
  std::vector<std::pair<char, int64_t>> moves;  // ('L' or 'T', value) per window move
  std::string title = "Game";
  int64_t card = 1;
  std::vector<int64_t> cardChanges;
  std::set<int64_t> sprites;
  std::map<std::pair<int64_t, bool>, int64_t> spritePositions;
  int served = 0;
  std::vector<std::string> log;

  void ShowError(const std::string& location, int64_t line, const std::string& message) override {
    reports.push_back({location, line, message});
  }
  int64_t WindowLeft() const override { return left; }
  int64_t WindowTop() const override { return top; }
  void SetWindowLeft(int64_t v) override { moves.emplace_back('L', left = v); }
  void SetWindowTop(int64_t v) override { moves.emplace_back('T', top = v); }
  std::string WindowTitle() const override { return title; }
  void SetWindowTitle(const std::string& t) override { title = t; }
  int64_t CurrentCard() const override { return card; }
  void ChangeCard(int64_t n) override { cardChanges.push_back(n); }
  bool SpriteExists(int64_t n) const override { return sprites.count(n) > 0; }
  int64_t SpritePosition(int64_t n, bool vertical) const override {
    auto it = spritePositions.find({n, vertical});
    return it == spritePositions.end() ? 0 : it->second;
  }
  void SetSpritePosition(int64_t n, bool vertical, int64_t v) override {
    spritePositions[{n, vertical}] = v;
  }
  void ServeEvents() override { ++served; }
  void LogLine(std::string_view line) override { log.emplace_back(line); }

  // The messages reported, in order.
  std::vector<std::string> messages() const {
    std::vector<std::string> m;
    for (const Report& r : reports) m.push_back(r.message);
    return m;
  }
};

inline constexpr const char* kLoc = "Card 1, Open Card Event";

// One game: build it with w, then run scripts (the first run loads it).
class TestGame {
 public:
  GameWriter w;
  RecordingHost host;
  std::unique_ptr<GameData> game;
  std::unique_ptr<Interpreter> in;

  TestGame() { w.addCard(); }

  // Writes and loads the game; the interpreter starts with the game running.
  void load() {
    game = LoadGameFromBytes(w.bytes(), QString());
    in = std::make_unique<Interpreter>(game->globals, host);
    in->Running = true;
  }
  GameGlobals& g() { return game->globals; }

  ScriptResult run(uint32_t script, const std::string& location = kLoc) {
    if (!game) load();
    return in->ExecuteScript(script, location, nullptr);
  }
  // Builds a script, loads the game (if not yet) and runs it.
  ScriptResult runScript(const BlockFn& fill, const std::string& location = kLoc) {
    if (game) ADD_FAILURE() << "scripts built after the first run are not in the loaded game";
    const uint32_t s = w.script(fill);
    return run(s, location);
  }

  double num(const std::string& name) { return g().NumberVariables.at(w.numVarIndex(name)); }
  const std::string& text(const std::string& name) {
    return g().StringVariables.at(w.textVarIndex(name));
  }
  std::vector<std::string> messages() const { return host.messages(); }
};

class InterpreterTest : public ::testing::Test, public TestGame {};

}  // namespace qm::test
