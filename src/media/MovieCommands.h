#pragma once
// The movie commands (codes 70 to 74) on the game window's movie player. The interpreter's
// handler hands them over with a context that evaluates the command's parameters on demand, so
// the evaluation order, the running checks and the messages are all decided here.
//
// Wiring (Interpreter::Execute_MovieCommands): a context over the command's list whose Number(k)
// is NewMath(At(list, k)), Text(k) NewProcessString(At(list, k)), Count() the list's size,
// Running()/ClearRunning() the interpreter's Running flag, Report(message)
// ShowError(location, 0, message), ResourcesFolder() the game's resources folder and
// SpecialGetFolderItem(path) the path rule (empty when it gives none); then
// ExecuteMovieCommand(code, context, window's TheMovie, log sink).
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "interpreter/CommandParams.h"
#include "media/MediaLog.h"

namespace qm {

class MoviePlayer;

// The command's parameters and error report, plus what only the movie commands need.
class MovieCommandContext : public CommandParams {
 public:
  virtual void ClearRunning() = 0;
  virtual QString ResourcesFolder() const = 0;
  virtual QString SpecialGetFolderItem(const std::string& path) const = 0;
};

enum MovieCommandCode : int64_t {
  kMovieOpen = 70,
  kMoviePlay = 71,
  kMovieStop = 72,
  kMovieUnload = 73,
  kMovieToggleLoop = 74,
};

// Runs one movie command; codes outside 70 to 74 do nothing.
void ExecuteMovieCommand(int64_t code, MovieCommandContext& context, MoviePlayer& movie,
                         const MediaLogSink& log = {});

// The movie file for a name: in the resources folder, else by the path rule; empty when
// neither exists.
QString FindMovieFile(const std::string& name, const QString& resourcesFolder,
                      const QString& pathRuleResult);

// "Movie ID must be 1 (got " + n + ")."
std::string MovieIdMessage(int64_t n);
inline constexpr const char* kMovieFileMissing = "File does not exist.";
inline constexpr const char* kMovieUninitialized = "Uninitialized movie.";

}  // namespace qm
