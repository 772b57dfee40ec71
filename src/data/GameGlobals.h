#pragma once
// The game-wide tables and settings, filled once by the data file reader. Only the variable
// tables change while the game runs.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/ScriptRecords.h"

namespace qm {

inline constexpr int kGlobalSlotCount = 23;
inline constexpr int kCardSlotCount = 18;

// Slots of CompiledGlobalScripts.
enum GlobalSlot : int {
  GlobalOpenGame = 0,
  GlobalCloseGame = 1,
  GlobalKeyDown = 2,
  GlobalMouseMove = 3,
  GlobalMouseEnter = 4,
  GlobalMouseExit = 5,
  GlobalMouseDown = 6,
  GlobalMouseUp = 7,
  GlobalMoved = 8,
  GlobalSocketConnected = 11,
  GlobalSocketReceived = 12,
  GlobalSocketError = 13,
  GlobalNewGame = 14,
  GlobalOpenGameMenu = 15,
  GlobalSaveGame = 16,
  GlobalGameHelp = 18,
  GlobalMouseDrag = 19,
  GlobalPaint = 20,
  GlobalInput = 21,
  GlobalKeyUp = 22,
};

// Slots of QMCard::CompiledScripts.
enum CardSlot : int {
  CardOpen = 0,
  CardClose = 1,
  CardKeyDown = 2,
  CardMouseMove = 3,
  CardMouseEnter = 4,
  CardMouseExit = 5,
  CardMouseDown = 6,
  CardMouseUp = 7,
  CardMoved = 8,
  CardSocketConnected = 11,
  CardSocketReceived = 12,
  CardSocketError = 13,
  CardInput = 14,
  CardMouseDrag = 15,
  CardPaint = 16,
  CardKeyUp = 17,
};

// Location texts of the global slots ("" for slots the player never runs). Slots 14 and 15
// have a second text for menu actions; see the menu code.
const char* globalSlotLocation(int slot);
// Suffix of a card slot's location text, e.g. ", Mouse Down Event" ("" for unused slots).
const char* cardSlotSuffix(int slot);
// "Card " + number + suffix.
std::string cardLocation(int64_t card, int slot);

struct QMMethod {
  int64_t ReturnType = 0;
  std::string Name;
  uint32_t compiledScript = 0;
  std::vector<uint32_t> ParamsArr; // formal parameters as parameter indexes
  std::string NameMethod;          // Name + " Method": the location its body runs under
};

// A game menu item as the data file gives it; the window turns it into a real menu item.
struct QMGameMenuItem {
  std::string text;
  std::string shortcut;
  uint32_t compiledScript = 0;
};

struct GameGlobals {
  // Settings (the settings record).
  int64_t numcards = 0;
  std::string thegamename;
  bool HideDesk = false;
  bool Centered = false;
  bool Fullscreen = false;
  std::string AboutTXT;
  int64_t WindowSize = 0;
  int64_t begincard = 0;
  bool HasNewMenu = false;
  bool HasOpenSaveMenus = false;
  bool HasGameMenu = false;
  std::string GameMenuName;
  bool hidetitlebar = false;
  bool hidemenubar = false;

  GameGlobals() = default;
  // Scripts, lists and expressions are views into `store`: copying would leave them pointing
  // into the original.
  GameGlobals(const GameGlobals&) = delete;
  GameGlobals& operator=(const GameGlobals&) = delete;

  // Script and operand tables.
  ScriptStore store;
  std::vector<uint32_t> CompiledGlobalScripts = std::vector<uint32_t>(kGlobalSlotCount, 0);
  std::vector<QMScript> GameScripts;
  std::vector<QMParameters> ParameterLists;
  std::vector<uint8_t> ParamType;
  std::vector<uint32_t> ParamValue;
  std::vector<uint32_t> ParamPtr;
  std::vector<double> NumberLiterals;
  std::vector<double> NumberVariables;
  std::vector<QMNumArray> NumberArrays;
  std::vector<QMMathExpression> MathExpressions;
  std::vector<std::string> StringLiterals;
  std::vector<std::string> StringVariables;
  std::vector<QMStrArray> StringArrays;
  std::vector<std::unique_ptr<QMMethod>> Methods = [] {
    std::vector<std::unique_ptr<QMMethod>> v;
    v.emplace_back(); // element 0 stays an empty reference
    return v;
  }();
  std::vector<QMGameMenuItem> GameMenuItems;

  // Reads the settings record.
  void ImportGlobals(const std::string& record);
};

} // namespace qm
