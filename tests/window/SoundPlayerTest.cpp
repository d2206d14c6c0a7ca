// The window backend's own sound player: a sound's name is looked up in the
// program's working folder, whatever folder the process was started in, and
// a file that cannot be opened gives no stream (which the alarm then tells).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "TestSupport.h"
#include "alarm/DefaultSound.h"
#include "platform/FileLayer.h"
#include "platform/WindowPlatform.h"

using namespace almanouk;

namespace {

std::string chime() { return std::string(reinterpret_cast<const char*>(kDefaultSound), kDefaultSoundSize); }

// The built-in chime in a folder that is not the process's own.
struct SoundFolder {
  test::TempFolder folder;
  FileLayer files{folder.str()};
  SoundFolder() {
    test::writeFile(folder / "roster.mp3", chime());
    EXPECT_FALSE(std::filesystem::exists("roster.mp3"));
  }
};

}  // namespace

#ifdef _WIN32

#include "platform/win32/Win32SoundPlayer.h"

// The system's player under Wine decodes no MP3: what it is told is looked at instead.
TEST(Win32SoundPlayer, OpensTheNameInTheWorkingFolder) {
  SoundFolder sound;
  std::wstring opened;
  Win32SoundPlayer player(sound.files, [&](const std::wstring& command, std::wstring& answer) {
    if (command.starts_with(L"open ")) opened = command;
    answer = L"0";
    return 0u;
  });
  EXPECT_NE(player.openStream("roster.mp3"), 0);
  const std::wstring expected = L"open \"" + (sound.folder / "roster.mp3").wstring() + L"\" type mpegvideo";
  EXPECT_TRUE(opened.starts_with(expected)) << std::filesystem::path(opened).string();
}

TEST(Win32SoundPlayer, AFileThePlayerCannotOpenGivesNoStream) {
  SoundFolder sound;
  Win32SoundPlayer refusing(sound.files, [](const std::wstring&, std::wstring&) { return 277u; });
  EXPECT_EQ(refusing.openStream("roster.mp3"), 0);
  Win32SoundPlayer system(sound.files);
  EXPECT_EQ(system.openStream("ontbreekt.mp3"), 0);
}

#else

// SDL's dummy audio device (SDL_AUDIODRIVER=dummy) plays without a sound card.
TEST(SdlSoundPlayer, OpensTheNameInTheWorkingFolder) {
  SoundFolder sound;
  std::unique_ptr<SoundPlayer> player = makeSoundPlayer(sound.files);
  if (!player->init(44100, 4, 0)) GTEST_SKIP() << "no SDL2_mixer here";
  const int stream = player->openStream("roster.mp3");
  EXPECT_NE(stream, 0);
  player->closeStream(stream);
  player->close();
}

TEST(SdlSoundPlayer, AFileThePlayerCannotOpenGivesNoStream) {
  SoundFolder sound;
  test::writeFile(sound.folder / "kapot.mp3", "geen geluid");
  std::unique_ptr<SoundPlayer> player = makeSoundPlayer(sound.files);
  if (!player->init(44100, 4, 0)) GTEST_SKIP() << "no SDL2_mixer here";
  EXPECT_EQ(player->openStream("ontbreekt.mp3"), 0);
  EXPECT_EQ(player->openStream("kapot.mp3"), 0);
  player->close();
}

#endif
