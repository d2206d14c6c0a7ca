#pragma once
// The MP3 alarm sound: the first *.mp3 of the sound folder, played once to
// its end, and the built-in chime written as "roster.mp3" when it is missing.

#include <string>
#include <string_view>
#include <optional>
#include <vector>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

inline constexpr std::string_view kDefaultSoundFile = "roster.mp3";

// Fills the list with folder + name of every *.mp3 in the folder (quotes
// around the folder dropped, separator added); returns the count.
int listSoundFiles(Platform& platform, std::string folder, std::vector<std::string>& list);
// What became of a sound: played (or, without a file, silence), no player
// (no sound device, say), or a file the player could not open.
enum class SoundOutcome { Played, NoPlayer, Unopened };
// Plays the first sound of the folder once and returns when it has ended.
SoundOutcome playAlarmSound(Platform& platform, const std::string& soundFolder);
// Plays the file once the same way (none: silence).
SoundOutcome playSoundFile(Platform& platform, const std::string& path);
// Writes the built-in chime as "roster.mp3" in the working folder.
FileResult writeDefaultSound(Platform& platform);
// "roster.mp3" is (written) again when it is missing, empty or a copy of the
// built-in chime cut short; any other file under that name is the user's own
// sound (another format, a download whose last frame was cut) and stays.
bool needsDefaultSound(const std::optional<std::string>& bytes);

}  // namespace almanouk
