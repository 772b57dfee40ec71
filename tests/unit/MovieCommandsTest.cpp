// The movie commands on the movie player, with a tiny generated movie (Motion-JPEG in AVI,
// which the GStreamer backend plays) and files that are not movies.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "media/MovieCommands.h"
#include "media/MoviePlayer.h"
#include "support/Errors.h"
#include "testsupport/CompanionFiles.h"

namespace qm {
namespace {

// ---- A Motion-JPEG AVI file ----

void le32(QByteArray& b, quint32 v) {
  char c[4];
  qToLittleEndian(v, c);
  b.append(c, 4);
}
void le16(QByteArray& b, quint16 v) {
  char c[2];
  qToLittleEndian(v, c);
  b.append(c, 2);
}
QByteArray riffChunk(const char* id, const QByteArray& body) {
  QByteArray b(id, 4);
  le32(b, quint32(body.size()));
  b += body;
  if (body.size() & 1) b.append('\0');
  return b;
}
QByteArray riffList(const char* type, const QByteArray& body) {
  return riffChunk("LIST", QByteArray(type, 4) + body);
}

QByteArray mjpegAvi(int width, int height, int frames, int fps) {
  QByteArray avih;
  for (quint32 v : {quint32(1000000 / fps), 0u, 0u, 0x10u /* has index */, quint32(frames), 0u, 1u,
                    0u, quint32(width), quint32(height), 0u, 0u, 0u, 0u})
    le32(avih, v);
  QByteArray strh("vidsMJPG");
  le32(strh, 0);  // flags
  le16(strh, 0);
  le16(strh, 0);
  for (quint32 v : {0u, 1u, quint32(fps), 0u, quint32(frames), 0u, 0xFFFFFFFFu, 0u}) le32(strh, v);
  for (int v : {0, 0, width, height}) le16(strh, quint16(v));
  QByteArray strf;
  le32(strf, 40);
  le32(strf, quint32(width));
  le32(strf, quint32(height));
  le16(strf, 1);
  le16(strf, 24);
  strf += "MJPG";
  for (quint32 v : {quint32(width * height * 3), 0u, 0u, 0u, 0u}) le32(strf, v);

  QByteArray movi("movi"), index;
  for (int i = 0; i < frames; ++i) {
    QImage frame(width, height, QImage::Format_RGB32);
    frame.fill(QColor::fromHsv(i * 40 % 360, 200, 220));
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    frame.save(&out, "JPG");
    index += "00dc";
    le32(index, 0x10);  // key frame
    le32(index, quint32(movi.size()));
    le32(index, quint32(jpeg.size()));
    movi += riffChunk("00dc", jpeg);
  }
  const QByteArray header =
      riffList("hdrl", riffChunk("avih", avih) +
                           riffList("strl", riffChunk("strh", strh) + riffChunk("strf", strf)));
  return riffChunk(
      "RIFF", QByteArray("AVI ") + header + riffChunk("LIST", movi) + riffChunk("idx1", index));
}

bool processUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) {
    QEventLoop wait;
    QTimer::singleShot(10, &wait, &QEventLoop::quit);
    wait.exec();
  }
  return done();
}

// ---- The interpreter's side, as plain values ----

using Value = std::variant<double, std::string>;

class FakeContext : public MovieCommandContext {
 public:
  std::vector<Value> params;
  bool running = true;
  std::vector<std::string> reports;
  bool runningClearedBeforeReport = false;
  QString resources;
  QString defaultFolder;
  std::function<void(size_t)> afterEvaluating;
  std::vector<size_t> evaluated;

  size_t Count() const override { return params.size(); }
  double Number(size_t k) override {
    const Value& v = at(k);
    return std::holds_alternative<double>(v) ? std::get<double>(v) : 0;
  }
  std::string Text(size_t k) override {
    const Value& v = at(k);
    return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : "";
  }
  bool Running() const override { return running; }
  void ClearRunning() override {
    running = false;
    runningClearedBeforeReport = reports.empty();
  }
  void ReportError(const std::string& message, bool /*markExit*/) override {
    running = false;
    reports.push_back(message);
  }
  QString ResourcesFolder() const override { return resources; }
  QString SpecialGetFolderItem(const std::string& path) const override {
    const QString p = QString::fromStdString(path);
    return p.startsWith('/') ? p : defaultFolder + "/" + p;
  }

 private:
  const Value& at(size_t k) {
    if (k >= params.size()) throw OutOfBoundsException("parameter " + std::to_string(k));
    evaluated.push_back(k);
    const Value& v = params[k];
    if (afterEvaluating) afterEvaluating(k);
    return v;
  }
};

class MovieCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources.isValid() && elsewhere.isValid());
    window.resize(640, 480);
    window.show();
    movie = new MoviePlayer(&window);
    movie->setGeometry(271, 324, 0, 0);
    context.resources = resources.path();
    context.defaultFolder = elsewhere.path();
    test::writeFile(resources.filePath("clip.avi"), mjpegAvi(64, 48, 5, 10));
    test::writeFile(resources.filePath("notes.mov"), "These are notes, not a movie.");
  }

  // Runs a command with the movie number and then the given parameters.
  void run(int64_t code, std::vector<Value> params, double id = 1) {
    context.params = std::move(params);
    context.params.insert(context.params.begin(), id);
    context.running = true;
    context.evaluated.clear();
    ExecuteMovieCommand(code, context, *movie, sink);
  }

  QTemporaryDir resources, elsewhere;
  QWidget window;
  MoviePlayer* movie = nullptr;
  FakeContext context;
  std::vector<std::string> events;
  MediaLogSink sink = [this](const MediaEvent& e) { events.push_back(DescribeMediaEvent(e)); };
};

TEST_F(MovieCommands, MovieNumberMustBeOne) {
  for (int64_t code = kMovieOpen; code <= kMovieToggleLoop; ++code) {
    SCOPED_TRACE(code);
    context.reports.clear();
    run(code, {std::string("clip.avi"), 0.0, 0.0, 0.0}, 2);
    EXPECT_EQ(context.reports, std::vector<std::string>{"Movie ID must be 1 (got 2)."});
    EXPECT_EQ(context.evaluated.back(), 0u) << "nothing after the number is evaluated";
  }
  context.reports.clear();
  run(kMoviePlay, {}, -3.9);
  EXPECT_EQ(context.reports, std::vector<std::string>{"Movie ID must be 1 (got -3)."});
  // 1.7 is movie 1: the command goes on (and finds no movie).
  context.reports.clear();
  run(kMovieToggleLoop, {}, 1.7);
  EXPECT_EQ(context.reports, std::vector<std::string>{"Uninitialized movie."});
  EXPECT_FALSE(movie->HasMovie());
}

TEST_F(MovieCommands, EveryCommandButLoadNeedsAMovie) {
  for (int64_t code : {kMoviePlay, kMovieStop, kMovieUnload, kMovieToggleLoop}) {
    context.reports.clear();
    run(code, {});
    EXPECT_EQ(context.reports, std::vector<std::string>{"Uninitialized movie."}) << code;
  }
  EXPECT_TRUE(events.empty());
}

TEST_F(MovieCommands, MissingFileStopsTheGame) {
  run(kMovieOpen, {std::string("absent.avi"), 10.0, 20.0, 1.0});
  EXPECT_EQ(context.reports, std::vector<std::string>{"File does not exist."});
  EXPECT_TRUE(context.runningClearedBeforeReport);
  EXPECT_EQ(movie->pos(), QPoint(271, 324));  // nothing after the lookup happened
  EXPECT_FALSE(movie->HasMovie());
}

TEST_F(MovieCommands, LoadShapesAndTheLookupOrder) {
  // Five parameters: position and controller; the size and auto-resize stay.
  movie->resize(100, 50);
  movie->SetLooping(true);
  run(kMovieOpen, {std::string("notes.mov"), 10.0, 20.0, 0.0});
  EXPECT_EQ(movie->pos(), QPoint(20, 10));  // top comes before left
  EXPECT_EQ(movie->size(), QSize(100, 50));
  EXPECT_TRUE(movie->AutoResize());
  EXPECT_EQ(movie->Controller(), 0);
  EXPECT_FALSE(movie->Looping());
  EXPECT_FALSE(movie->isVisible());

  // Seven: width, height plus the controller bar, controller; auto-resize off.
  movie->show();
  run(kMovieOpen, {std::string("notes.mov"), 5.9, 6.0, 320.0, 240.0, 2.0});
  EXPECT_EQ(movie->geometry(), QRect(6, 5, 320, 256));
  EXPECT_FALSE(movie->AutoResize());
  EXPECT_EQ(movie->Controller(), 2);
  EXPECT_TRUE(movie->isVisible()) << "loading keeps the visibility";
  EXPECT_TRUE(context.reports.empty());

  // Six parameters take the seven-parameter shape and miss the last.
  EXPECT_THROW(run(kMovieOpen, {std::string("notes.mov"), 0.0, 0.0, 320.0, 240.0}),
               OutOfBoundsException);

  // The resources folder first, then the path rule (relative and absolute).
  test::writeFile(elsewhere.filePath("clip.avi"), "not the one");
  test::writeFile(elsewhere.filePath("other.avi"), mjpegAvi(32, 32, 2, 10));
  EXPECT_EQ(FindMovieFile("clip.avi", resources.path(), context.SpecialGetFolderItem("clip.avi")),
            resources.filePath("clip.avi"));
  EXPECT_EQ(FindMovieFile("other.avi", resources.path(), context.SpecialGetFolderItem("other.avi")),
            elsewhere.path() + "/other.avi");
  const std::string absolute = elsewhere.filePath("other.avi").toStdString();
  EXPECT_EQ(FindMovieFile(absolute, resources.path(), context.SpecialGetFolderItem(absolute)),
            elsewhere.filePath("other.avi"));
  EXPECT_EQ(FindMovieFile("none.avi", resources.path(), context.SpecialGetFolderItem("none.avi")),
            QString());
}

TEST_F(MovieCommands, AGameStoppedWhileEvaluatingEndsTheCommand) {
  context.afterEvaluating = [this](size_t k) {
    if (k == 3) context.running = false;
  };
  run(kMovieOpen, {std::string("clip.avi"), 10.0, 20.0, 320.0, 240.0, 1.0});
  EXPECT_EQ(context.evaluated, (std::vector<size_t>{0, 1, 2, 3}));
  EXPECT_EQ(movie->pos(), QPoint(271, 10)) << "the top was set, the left not";
  EXPECT_TRUE(movie->AutoResize());
  EXPECT_FALSE(movie->HasMovie());
  EXPECT_TRUE(context.reports.empty());
}

TEST_F(MovieCommands, LoadPlayStopLoopAndUnload) {
  run(kMovieOpen, {std::string("clip.avi"), 30.0, 40.0, 1.0});
  ASSERT_TRUE(movie->HasMovie());
  EXPECT_FALSE(movie->isVisible());
  EXPECT_FALSE(movie->IsPlaying());

  run(kMoviePlay, {});
  EXPECT_TRUE(movie->isVisible());
  EXPECT_TRUE(processUntil([&] { return movie->mediaPlayer()->position() > 0; }, 3000));
  // It resizes itself to the picture and the controller bar once the picture shows.
  EXPECT_TRUE(processUntil([&] { return movie->size() == QSize(64, 48 + 16); }, 3000))
      << movie->width() << "x" << movie->height();

  run(kMovieStop, {});
  EXPECT_FALSE(movie->isVisible());
  EXPECT_FALSE(movie->IsPlaying());
  EXPECT_TRUE(movie->HasMovie());

  run(kMovieToggleLoop, {});
  EXPECT_TRUE(movie->Looping());
  run(kMovieToggleLoop, {});
  EXPECT_FALSE(movie->Looping());

  movie->show();
  run(kMovieUnload, {});
  EXPECT_FALSE(movie->isVisible());
  EXPECT_FALSE(movie->HasMovie());
  run(kMoviePlay, {});
  EXPECT_EQ(context.reports, std::vector<std::string>{"Uninitialized movie."});
  EXPECT_EQ(events, (std::vector<std::string>{"movie open clip.avi", "movie play clip.avi",
                                              "movie stop clip.avi", "movie loop clip.avi",
                                              "movie loop clip.avi", "movie unload clip.avi"}));
}

TEST_F(MovieCommands, AFileThatIsNoMovieLeavesNoMovie) {
  run(kMovieOpen, {std::string("notes.mov"), 0.0, 0.0, 1.0});
  EXPECT_FALSE(movie->HasMovie());
  run(kMoviePlay, {});
  EXPECT_EQ(context.reports, std::vector<std::string>{"Uninitialized movie."});
  // A real movie loads after a failed one.
  context.reports.clear();
  run(kMovieOpen, {std::string("clip.avi"), 0.0, 0.0, 1.0});
  EXPECT_TRUE(movie->HasMovie());
}

TEST_F(MovieCommands, LoopingPlaysAgainFromTheStart) {
  // Half a second of movie, watched for well over one pass.
  run(kMovieOpen, {std::string("clip.avi"), 0.0, 0.0, 0.0});
  run(kMovieToggleLoop, {});
  run(kMoviePlay, {});
  ASSERT_TRUE(processUntil([&] { return movie->IsPlaying(); }, 3000));
  processUntil([] { return false; }, 1300);
  EXPECT_TRUE(movie->IsPlaying());

  run(kMovieToggleLoop, {});
  EXPECT_TRUE(processUntil([&] { return !movie->IsPlaying(); }, 3000)) << "ends without looping";
  EXPECT_TRUE(movie->HasMovie());
  EXPECT_TRUE(context.reports.empty());
}

TEST_F(MovieCommands, ClosingTheGameClearsTheMovie) {
  run(kMovieOpen, {std::string("clip.avi"), 0.0, 0.0, 0.0});
  run(kMoviePlay, {});
  movie->ClearMovie();
  EXPECT_FALSE(movie->HasMovie());
  EXPECT_FALSE(movie->IsPlaying());
}

}  // namespace
}  // namespace qm
