#pragma once
// File names that come from game data or scripts, turned into paths. Names are byte strings;
// one with a NUL byte can name no file on this platform.
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <string_view>

namespace qm {

inline QString childPath(const QString& folder, std::string_view name) {
  return QDir(folder).filePath(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

inline bool pathExists(const QString& path) {
  return !path.contains(QChar(0)) && QFileInfo::exists(path);
}

} // namespace qm
