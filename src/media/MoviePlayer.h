#pragma once
// The game window's movie player control (TheMovie): one movie at a time, shown in a video
// area with an optional controller bar of 16 pixels below it. Qt Multimedia plays it (GStreamer
// backend). A file that the backend refuses leaves the player without a movie, whether the
// refusal comes while loading or later (errorOccurred).
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

class QMediaPlayer;
class QSlider;
class QToolButton;
class QVideoWidget;

namespace qm {

class MoviePlayer : public QWidget {
  Q_OBJECT
 public:
  // Height of the controller bar below the picture.
  static constexpr int kControllerHeight = 16;

  // Invisible, 0 x 0, resizing itself to the movie, controller shown, not looping.
  explicit MoviePlayer(QWidget* parent = nullptr);
  ~MoviePlayer() override;

  // Opens the file as the player's movie, replacing the one it holds. Waits until the backend
  // has accepted or refused it (serving events meanwhile, no user input, a few seconds at
  // most), so the next command finds the result. False, and no movie, when it is not a movie.
  // name is the movie's name as the script gave it (for the log); the path when empty.
  bool OpenMovie(const QString& path, const std::string& name = {});
  bool HasMovie() const { return hasMovie_; }
  // The file of the movie held and its name; empty without one.
  QString MovieFile() const { return hasMovie_ ? file_ : QString(); }
  std::string MovieName() const { return hasMovie_ ? name_ : std::string(); }

  void Play();
  void Stop();
  // Stops and removes the movie.
  void ClearMovie();
  bool IsPlaying() const;

  // Resizes itself to the movie's picture (plus the controller bar when shown).
  bool AutoResize() const { return autoResize_; }
  void SetAutoResize(bool on);
  // The script's controller setting, passed through: 0 hides the bar, any other value shows it.
  int64_t Controller() const { return controller_; }
  void SetController(int64_t setting);
  // Starts again from the beginning at the end.
  bool Looping() const { return looping_; }
  void SetLooping(bool on) { looping_ = on; }

  // The backend's player of the movie held; a new one for every load.
  QMediaPlayer* mediaPlayer() const { return player_; }
  QVideoWidget* videoWidget() const { return video_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void newPlayer();
  void layoutParts();
  void fitToMovie();
  void onError();
  void onEndOfMedia();

  QMediaPlayer* player_ = nullptr;
  QVideoWidget* video_;
  QWidget* bar_;
  QToolButton* playButton_;
  QSlider* position_;
  QString file_;
  std::string name_;
  bool hasMovie_ = false;
  bool autoResize_ = true;
  bool looping_ = false;
  int64_t controller_ = 1;
  bool loading_ = false;
};

}  // namespace qm
