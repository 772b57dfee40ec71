#pragma once
// A sound of the game's sound library. The sound file is only located at load time; it is
// opened when the sound is first played.
#include <QString>
#include <string>

namespace qm {

struct QMSound {
  std::string name;
  std::string fileName;     // as the data file gives it
  QString soundFolderItem;  // full path of the sound file
};

} // namespace qm
