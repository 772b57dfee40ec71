#pragma once
// The reader of quillmark.dat: reads the whole file once and fills the game tables and the
// card, sprite and sound libraries. Every failure ends in a FatalLoadError whose message and
// explanation are the ones the fatal dialog shows.
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

#include "data/GameData.h"
#include "support/Errors.h"

namespace qm {

inline constexpr const char* kDataFileName = "quillmark.dat";
inline constexpr const char* kLoadExplanation =
    "Data may be missing or corrupted. This program must now quit.";

// Points in the load where the application acts, in file order.
struct LoadHooks {
  // The settings record has been read: the desktop shield appears here when asked for.
  std::function<void(const GameGlobals&)> settingsRead;
  // The sprite section is reached: the game window is created (hidden) here.
  std::function<void(GameData&)> windowNeeded;
  // A game menu item has been read: it joins the game menu.
  std::function<void(const QMGameMenuItem&)> menuItemRead;
  // For inspection tools: missing or unreadable companion files are kept as they are instead of
  // ending the load.
  bool tolerateMissingFiles = false;
};

// Loads resourcesFolder/quillmark.dat.
std::unique_ptr<GameData> LoadGame(const QString& resourcesFolder, const LoadHooks& hooks = {});

// Loads from bytes already in memory; companion files are looked up in dataFolder.
std::unique_ptr<GameData> LoadGameFromBytes(std::string_view bytes, const QString& dataFolder,
                                            const LoadHooks& hooks = {});

} // namespace qm
