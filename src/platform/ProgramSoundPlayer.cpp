#include "platform/ProgramSoundPlayer.h"

#include "platform/Process.h"

namespace almanouk {

int ProgramSoundPlayer::openStream(const std::string& path) {
  path_ = path.empty() ? std::string() : files_.resolve(path);
  return path_.empty() ? 0 : 1;
}

void ProgramSoundPlayer::play(int handle) {
  if (handle) process::startProgram(program_, {"--speel", path_});
}

}  // namespace almanouk
