#include "alarm/AlarmSound.h"

#include "alarm/DefaultSound.h"
#include "platform/TemporaryFiles.h"
#include "platform/NumberedFiles.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "platform/System.h"

namespace almanouk {
namespace {

constexpr std::size_t kInitialRoom = 20;

}  // namespace

int listSoundFiles(Platform& platform, std::string folder, std::vector<std::string>& list) {
  list.clear();
  list.reserve(kInitialRoom);
  if (!folder.empty()) {
    if (folder.front() == '"') folder.erase(0, 1);
    if (!folder.empty() && folder.back() == '"') folder.pop_back();
    if (folder.empty() || !os::isSeparator(folder.back())) folder += kPathSeparator;
  }
  for (std::string name = platform.findFirst(folder + "*.mp3"); !name.empty(); name = platform.findNext()) {
    if (list.size() == list.capacity()) list.reserve(list.capacity() + list.capacity() / 2);
    list.push_back(folder + name);
  }
  return static_cast<int>(list.size());
}

SoundOutcome playAlarmSound(Platform& platform, const std::string& soundFolder) {
  std::vector<std::string> sounds;
  listSoundFiles(platform, soundFolder, sounds);
  return playSoundFile(platform, sounds.empty() ? std::string() : sounds.front());
}

SoundOutcome playSoundFile(Platform& platform, const std::string& path) {
  SoundPlayer& player = platform.soundPlayer();
  if (!player.init(44100, 4, 0)) return SoundOutcome::NoPlayer;
  player.setBufferSize(50);
  int stream = player.openStream(path);
  if (stream == 0 && !path.empty()) {
    player.close();
    return SoundOutcome::Unopened;
  }
  player.play(stream);
  // Keys typed meanwhile stay queued: the sound always plays to its end.
  while (player.position(stream) < player.length(stream)) platform.pause(50);
  player.stop(stream);
  player.closeStream(stream);
  player.close();
  return SoundOutcome::Played;
}

bool needsDefaultSound(const std::optional<std::string>& bytes) {
  const std::string_view chime(reinterpret_cast<const char*>(kDefaultSound), kDefaultSoundSize);
  return !bytes || (bytes->size() < chime.size() && chime.starts_with(*bytes));
}

FileResult writeDefaultSound(Platform& platform) {
  FileReplacement sound(platform, kDefaultSoundFile, temporary::kSound, 1);
  sound.text(std::string_view(reinterpret_cast<const char*>(kDefaultSound), kDefaultSoundSize));
  return sound.commit();
}

}  // namespace almanouk
