#include "app/Snapshot.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPixmap>
#include <cmath>

#include "window/GameCanvas.h"
#include "window/GameWindow.h"
#include "window/SelectAllArea.h"

namespace qm {

namespace {

QJsonValue number(double x) {
  return std::isfinite(x) ? QJsonValue(x) : QJsonValue();
}

QJsonArray numbers(const std::vector<double>& values) {
  QJsonArray a;
  for (double x : values) a.append(number(x));
  return a;
}

QJsonArray strings(const std::vector<std::string>& values) {
  QJsonArray a;
  for (const std::string& s : values) a.append(QString::fromStdString(s));
  return a;
}

QJsonObject sprite(int64_t slot, const QMSprite& s) {
  // The size drawn: the prepared picture, or the source before the sprite was prepared.
  const QSize size = s.Final.isNull() ? s.MyPicture.size() : s.Final.size();
  return {{"slot", qint64(slot)},  {"x", qint64(s.x)},        {"y", qint64(s.y)},
          {"width", size.width()}, {"height", size.height()}, {"hidden", s.hidden}};
}

}  // namespace

QJsonObject Snapshot(const GameWindow& window) {
  const GameGlobals& g = window.globals();
  QJsonObject o;
  o["card"] = qint64(window.card);
  o["title"] = window.windowTitle();
  o["left"] = window.Position().x();
  o["top"] = window.Position().y();
  o["width"] = window.ContentSize().width();
  o["height"] = window.ContentSize().height();
  o["field"] = window.GameField()->toPlainText();
  o["numbers"] = numbers(g.NumberVariables);
  o["strings"] = strings(g.StringVariables);
  QJsonArray numArrays, strArrays;
  for (const QMNumArray& a : g.NumberArrays) numArrays.append(numbers(a.thearray));
  for (const QMStrArray& a : g.StringArrays) strArrays.append(strings(a.thearray));
  o["numarrays"] = numArrays;
  o["strarrays"] = strArrays;
  QJsonArray sprites;
  for (int64_t slot = 1; slot <= LiveSprites::kLastSlot; ++slot)
    if (const QMSprite* s = window.liveSprites.At(slot)) sprites.append(sprite(slot, *s));
  o["sprites"] = sprites;
  return o;
}

bool WriteSnapshot(const GameWindow& window, const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    if (error) *error = file.errorString();
    return false;
  }
  const QByteArray json = QJsonDocument(Snapshot(window)).toJson(QJsonDocument::Compact) + '\n';
  if (file.write(json) != json.size()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

bool SaveScreenshot(const GameWindow& window, const QString& path) {
  return window.Content()->grab().save(path, "PNG");
}

}  // namespace qm
