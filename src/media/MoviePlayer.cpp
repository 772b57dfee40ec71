#include "media/MoviePlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVideoSink>
#include <QVideoWidget>
#include <algorithm>

namespace qm {

namespace {

// The longest a load waits for the backend's verdict; a local file takes a few tens of
// milliseconds.
constexpr int kLoadWaitMs = 5000;

}  // namespace

MoviePlayer::MoviePlayer(QWidget* parent)
    : QWidget(parent),
      video_(new QVideoWidget(this)),
      bar_(new QWidget(this)),
      playButton_(new QToolButton(bar_)),
      position_(new QSlider(Qt::Horizontal, bar_)) {
  setObjectName("TheMovie");
  auto* row = new QHBoxLayout(bar_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  playButton_->setAutoRaise(true);
  playButton_->setFocusPolicy(Qt::NoFocus);
  playButton_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  position_->setFocusPolicy(Qt::NoFocus);
  row->addWidget(playButton_);
  row->addWidget(position_, 1);

  connect(playButton_, &QToolButton::clicked, this, [this] {
    if (!hasMovie_) return;
    if (IsPlaying())
      player_->pause();
    else
      player_->play();
  });
  connect(position_, &QSlider::sliderMoved, this, [this](int ms) { player_->setPosition(ms); });
  // Queued: the sink emits while it holds the lock that videoSize() takes.
  connect(
      video_->videoSink(), &QVideoSink::videoSizeChanged, this, [this] { fitToMovie(); },
      Qt::QueuedConnection);

  newPlayer();
  setGeometry(0, 0, 0, 0);
  hide();
}

MoviePlayer::~MoviePlayer() {
  // Stop the pipeline before the video widget it draws into goes away.
  player_->stop();
  player_->setVideoOutput(nullptr);
}

void MoviePlayer::newPlayer() {
  if (player_) {
    // A pipeline that failed may still post errors; none of them may reach the next movie.
    player_->disconnect(this);
    player_->stop();
    player_->setVideoOutput(nullptr);
    player_->deleteLater();
  }
  player_ = new QMediaPlayer(this);
  player_->setVideoOutput(video_);
  // Without an output device the movie plays without sound rather than failing.
  if (!QMediaDevices::audioOutputs().isEmpty()) player_->setAudioOutput(new QAudioOutput(player_));

  connect(player_, &QMediaPlayer::durationChanged, this,
          [this](qint64 ms) { position_->setRange(0, int(ms)); });
  connect(player_, &QMediaPlayer::positionChanged, this, [this](qint64 ms) {
    if (!position_->isSliderDown()) position_->setValue(int(ms));
  });
  connect(player_, &QMediaPlayer::playbackStateChanged, this, [this] {
    playButton_->setIcon(
        style()->standardIcon(IsPlaying() ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
  });
  connect(player_, &QMediaPlayer::errorOccurred, this, [this] { onError(); });
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
    if (s == QMediaPlayer::InvalidMedia) onError();
    if (s == QMediaPlayer::EndOfMedia) onEndOfMedia();
  });
}

bool MoviePlayer::OpenMovie(const QString& path, const std::string& name) {
  ClearMovie();
  newPlayer();
  file_ = path;
  name_ = name.empty() ? path.toStdString() : name;
  hasMovie_ = true;
  player_->setSource(QUrl::fromLocalFile(path));
  if (hasMovie_ && player_->mediaStatus() == QMediaPlayer::LoadingMedia) {
    // The backend loads in the background; the script's next command must find the verdict.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(player_, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
    connect(player_, &QMediaPlayer::mediaStatusChanged, &loop,
            [&loop](QMediaPlayer::MediaStatus s) {
              if (s != QMediaPlayer::LoadingMedia) loop.quit();
            });
    limit.start(kLoadWaitMs);
    const QPointer<MoviePlayer> self(this);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self) return false;  // the window went away meanwhile
  }
  if (player_->mediaStatus() == QMediaPlayer::InvalidMedia) onError();
  return hasMovie_;
}

void MoviePlayer::onError() {
  if (!hasMovie_) return;
  // After an error the backend may still call itself playing: the movie is gone for good, and
  // the next load gets a fresh player.
  hasMovie_ = false;
  file_.clear();
  name_.clear();
  player_->stop();
}

void MoviePlayer::onEndOfMedia() {
  if (!looping_ || !hasMovie_) return;
  player_->setPosition(0);
  player_->play();
}

void MoviePlayer::Play() {
  if (hasMovie_) player_->play();
}

void MoviePlayer::Stop() {
  // Stops where it is; playing again goes on from there.
  if (hasMovie_) player_->pause();
}

void MoviePlayer::ClearMovie() {
  hasMovie_ = false;
  file_.clear();
  name_.clear();
  player_->stop();
  player_->setSource(QUrl());
  position_->setValue(0);
}

bool MoviePlayer::IsPlaying() const {
  return hasMovie_ && player_->playbackState() == QMediaPlayer::PlayingState;
}

void MoviePlayer::SetAutoResize(bool on) {
  autoResize_ = on;
  fitToMovie();
}

void MoviePlayer::SetController(int64_t setting) {
  controller_ = setting;
  layoutParts();
}

void MoviePlayer::fitToMovie() {
  if (!autoResize_ || !hasMovie_) return;
  const QSize picture = video_->videoSink()->videoSize();
  if (picture.isEmpty()) return;
  resize(picture.width(), picture.height() + (controller_ != 0 ? kControllerHeight : 0));
}

void MoviePlayer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutParts();
}

void MoviePlayer::layoutParts() {
  const bool withBar = controller_ != 0;
  const int barHeight = withBar ? std::min(kControllerHeight, height()) : 0;
  video_->setGeometry(0, 0, width(), height() - barHeight);
  bar_->setGeometry(0, height() - barHeight, width(), barHeight);
  bar_->setVisible(withBar);
}

}  // namespace qm
