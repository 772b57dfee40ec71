#include "media/MovieCommands.h"

#include <algorithm>

#include "interpreter/Numbers.h"
#include "media/MoviePlayer.h"
#include "support/FilePaths.h"

namespace qm {

namespace {

// Sizes beyond any screen are cut down before they reach the widget.
constexpr int64_t kLargestSide = 32767;

int toCoordinate(int64_t v) {
  return int(std::clamp<int64_t>(v, -kLargestSide, kLargestSide));
}
int toSide(int64_t v) {
  return int(std::clamp<int64_t>(v, 0, kLargestSide));
}

class Command {
 public:
  Command(MovieCommandContext& context, MoviePlayer& movie, const MediaLogSink& log)
      : c_(context), movie_(movie), log_(log) {}

  // Integer k, then whether the game still runs.
  bool integer(size_t k, int64_t& out) {
    out = truncToInt64(c_.Number(k));
    return c_.Running();
  }
  bool number(size_t k, double& out) {
    out = c_.Number(k);
    return c_.Running();
  }
  bool text(size_t k, std::string& out) {
    out = c_.Text(k);
    return c_.Running();
  }

  void run(int64_t code) {
    if (code < kMovieOpen || code > kMovieToggleLoop) return;
    int64_t id = 0;
    if (!integer(0, id)) return;
    if (id != 1) return c_.Report(MovieIdMessage(id));
    if (code == kMovieOpen) return open();
    if (!movie_.HasMovie()) return c_.Report(kMovieUninitialized);
    const std::string name = movie_.MovieName();
    switch (code) {
      case kMoviePlay:
        log("play", name);
        movie_.show();
        movie_.Play();
        break;
      case kMovieStop:
        log("stop", name);
        movie_.Stop();
        movie_.hide();
        break;
      case kMovieUnload:
        log("unload", name);
        movie_.hide();
        movie_.ClearMovie();
        break;
      case kMovieToggleLoop:
        log("loop", name);
        movie_.SetLooping(!movie_.Looping());
        break;
    }
  }

 private:
  void open() {
    std::string name;
    if (!text(1, name)) return;
    const QString path = FindMovieFile(name, c_.ResourcesFolder(), c_.SpecialGetFolderItem(name));
    if (path.isEmpty()) {
      c_.ClearRunning();
      return c_.Report(kMovieFileMissing);
    }
    int64_t top = 0, left = 0;
    if (!integer(2, top)) return;
    movie_.move(movie_.x(), toCoordinate(top));
    if (!integer(3, left)) return;
    movie_.move(toCoordinate(left), movie_.y());
    int64_t controller = 0;
    if (c_.Count() == 5) {
      if (!integer(4, controller)) return;
    } else {
      movie_.SetAutoResize(false);
      int64_t width = 0;
      if (!integer(4, width)) return;
      movie_.resize(toSide(width), movie_.height());
      double height = 0;
      if (!number(5, height)) return;
      // Room for the controller bar below the picture.
      movie_.resize(movie_.width(), toSide(truncToInt64(height + MoviePlayer::kControllerHeight)));
      if (!integer(6, controller)) return;
    }
    movie_.SetController(controller);
    movie_.SetLooping(false);
    log("open", name);
    movie_.OpenMovie(path, name);
  }

  void log(std::string_view op, std::string_view file) const {
    if (log_) log_(MediaEvent{"movie", op, file});
  }

  MovieCommandContext& c_;
  MoviePlayer& movie_;
  const MediaLogSink& log_;
};

}  // namespace

void ExecuteMovieCommand(int64_t code, MovieCommandContext& context, MoviePlayer& movie,
                         const MediaLogSink& log) {
  Command(context, movie, log).run(code);
}

QString FindMovieFile(const std::string& name, const QString& resourcesFolder,
                      const QString& pathRuleResult) {
  if (!resourcesFolder.isEmpty()) {
    const QString inResources = childPath(resourcesFolder, name);
    if (pathExists(inResources)) return inResources;
  }
  if (!pathRuleResult.isEmpty() && pathExists(pathRuleResult)) return pathRuleResult;
  return {};
}

std::string MovieIdMessage(int64_t n) {
  return "Movie ID must be 1 (got " + std::to_string(n) + ").";
}

}  // namespace qm
