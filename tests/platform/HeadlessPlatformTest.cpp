#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Keys.h"
#include "platform/SurfaceDump.h"
#include "platform/System.h"
#include "platform/WindowMessageBox.h"

using namespace almanouk;

namespace {

struct HeadlessTest : ::testing::Test {
  test::TempFolder folder;

  HeadlessPlatform make(const std::string& script) {
    return HeadlessPlatform(test::headlessOptions(folder, "2012-01-13 10:24:58"), *KeyScript::parse(script));
  }
};

}  // namespace

TEST(KeyScriptTest, ParsesKeysTextWaitsAndSnaps) {
  auto script = KeyScript::parse(R"(F1 Shift+PgUp "a \"b" wait:2 wait:30ms wait:1m snap:one Alt+F4 Ctrl+D Close)");
  ASSERT_TRUE(script);
  const auto& items = script->items;
  ASSERT_EQ(items.size(), 13u);
  EXPECT_EQ(items[0].key, keys::kF1);
  EXPECT_EQ(items[1].key, keys::kPageUp.withShift());
  EXPECT_EQ(items[2].key, Key::character('a'));
  EXPECT_EQ(items[4].key, Key::character('"'));
  EXPECT_EQ(items[6].milliseconds, 2000);
  EXPECT_EQ(items[7].milliseconds, 30);
  EXPECT_EQ(items[8].milliseconds, 60000);
  EXPECT_EQ(items[9].name, "one");
  EXPECT_EQ(items[10].kind, ScriptItem::Kind::HoldAltF4);
  EXPECT_EQ(items[11].key, keys::kCtrlD);
  EXPECT_EQ(items[12].key, keys::kClose);
  EXPECT_FALSE(KeyScript::parse("Hyper+Q"));
  EXPECT_FALSE(KeyScript::parse("snap:../x"));
  EXPECT_FALSE(KeyScript::parse("\"open"));
}

TEST_F(HeadlessTest, KeysArriveOneAtATimeAfterTheProgramReadsThem) {
  auto p = make("F3 \"x\"");
  EXPECT_TRUE(p.readKey().empty());  // nothing at start: the first key comes 50 ms in
  p.pause(30);
  EXPECT_TRUE(p.readKey().empty());
  p.pause(30);
  EXPECT_EQ(p.readKey(), keys::kF3);
  p.pause(1000);
  EXPECT_EQ(p.readKey(), Key::character('x'));
  EXPECT_EQ(p.now().clockText(), "10:24:59");
  p.pause(1000);
  EXPECT_EQ(p.now().clockText(), "10:25:00");
  EXPECT_EQ(p.now().day, 13);
}

TEST_F(HeadlessTest, WaitForKeySleepsUntilTheNextKeyAndAKeyPutBackComesFirst) {
  auto p = make("F7 wait:5 F2");
  p.pause(100);
  EXPECT_EQ(p.readKey(), keys::kF7);
  EXPECT_EQ(p.waitForKey(), keys::kF2);
  EXPECT_EQ(p.now().second, 3);  // 10:24:58.100 + 50 ms + 5 s
  p.putBack(keys::kF2);
  EXPECT_EQ(p.readKey(), keys::kF2);
}

TEST_F(HeadlessTest, RunEndsAfterOneSecondOfWaitingOnceTheScriptIsUsedUp) {
  auto p = make("Esc");
  p.pause(1500);  // not waiting for a key: the start-up guard's wait does not count
  EXPECT_EQ(p.readKey(), keys::kEscape);
  EXPECT_THROW(
      for (;;) {
        if (p.readKey().empty()) p.pause(30);
      },
      RunEnded);
  ASSERT_FALSE(p.log().lines().empty());
  EXPECT_EQ(p.log().events().back(), "end script");
}

TEST_F(HeadlessTest, AltF4IsHeldDownFor100Ms) {
  auto p = make("Alt+F4");
  EXPECT_FALSE(p.isKeyDown(HeldKey::Alt));
  p.pause(60);
  EXPECT_TRUE(p.isKeyDown(HeldKey::Alt));
  EXPECT_TRUE(p.isKeyDown(HeldKey::F4));
  p.pause(100);
  EXPECT_FALSE(p.isKeyDown(HeldKey::F4));
}

TEST_F(HeadlessTest, SideEffectsAreRecorded) {
  auto p = make("");
  p.showMessageBox("        13 10:25 Tijdvoorbeeld.        ", "Almanouk");
  p.runCommand("start notepad alarm.txt");
  SoundPlayer& sound = p.soundPlayer();
  ASSERT_TRUE(sound.init(44100, 4, 0));
  int handle = sound.openStream("");
  EXPECT_EQ(handle, 0);
  sound.play(handle);
  EXPECT_EQ(sound.position(handle), 0u);
  EXPECT_EQ(sound.length(handle), 0u);
  auto events = p.log().events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0], "msgbox Almanouk|        13 10:25 Tijdvoorbeeld.        ");
  EXPECT_EQ(events[1], "run start notepad alarm.txt");
  EXPECT_EQ(events[2], "sound ");
}

TEST_F(HeadlessTest, AppDataComesFromTheOptionsAndOtherVariablesFromTheEnvironment) {
  auto p = make("");
  EXPECT_EQ(p.environmentValue("appdata"), folder.str());
  EXPECT_EQ(p.environmentValue("ALMANOUK_SURELY_UNSET_VARIABLE"), "");
}

// Asked to draw boxes, the backend shows them as the window would: logged
// always, drawn once the screen is open, and waiting for their key.
TEST_F(HeadlessTest, DrawnBoxesWaitForTheirKeyOnceTheScreenIsOpen) {
  auto options = test::headlessOptions(folder, "2012-01-13 10:24:58");
  options.drawBoxes = true;
  HeadlessPlatform p(options, *KeyScript::parse("Enter"));
  p.showMessageBox("Almanouk is geopend", "Almanouk");
  EXPECT_EQ(p.keysRead(), 0u);
  p.openScreen(640, 400, 32);
  p.showMessageBox("Eerste alarm", "Almanouk");
  EXPECT_EQ(p.keysRead(), 1u);
  EXPECT_EQ(screenText(p.surface()).find("Eerste alarm"), std::string::npos);  // closed and put back
  EXPECT_THROW(p.showMessageBox("Tweede alarm", "Almanouk"), RunEnded);
  EXPECT_NE(screenText(p.surface()).find("Tweede alarm"), std::string::npos);  // left open at the end
  EXPECT_EQ(p.log().events().size(), 4u);  // three boxes and the end of the script
}

// Home is the folder HOME names, however it is written.
TEST_F(HeadlessTest, TheWorkingFolderIsHomeWhenHomeNamesTheSameFolder) {
  std::filesystem::create_directories(folder / "sub");
  std::filesystem::create_directory_symlink(folder.path(), folder / "link");
  auto isHome = [this](std::optional<std::string> home) {
    auto options = test::headlessOptions(folder);
    options.home = std::move(home);
    return HeadlessPlatform(options, KeyScript{}).workingFolderIsHome();
  };
  EXPECT_TRUE(isHome(folder.str()));
  EXPECT_TRUE(isHome(folder.str() + "/"));
  EXPECT_TRUE(isHome(folder.str() + "/sub/.."));
  EXPECT_TRUE(isHome((folder / "link").string()));
  EXPECT_FALSE(isHome((folder / "sub").string()));
  EXPECT_FALSE(isHome((folder / "missing").string()));
  EXPECT_FALSE(isHome(""));

  auto options = test::headlessOptions(folder);
  options.home = folder.str();
  HeadlessPlatform p(options, KeyScript{});
  ASSERT_TRUE(p.changeFolder((folder / "sub").string()));
  EXPECT_FALSE(p.workingFolderIsHome());
}

// A command line runs through the system's interpreter in the given folder and is waited for.
// The session ending while an alarm box is drawn: the box closes as with OK,
// and the close request stays for the program to end in order.
TEST_F(HeadlessTest, ACloseRequestClosesADrawnBoxAndStaysQueued) {
  auto p = make("Close \"x\"");
  EXPECT_EQ(p.showMessageInWindow("        13 10:25 Tijdvoorbeeld.        ", "Almanouk", {"OK", "Sluimeren 5 min"}), 0);
  EXPECT_TRUE(p.readKey().is(keys::kClose));
  EXPECT_TRUE(p.waitForKey().is(Key::character('x')));
}

TEST(CommandLineTest, RunsInTheFolderAndIsWaitedFor) {
  test::TempFolder folder;
  os::runCommandLine("echo klaar>gedaan.txt", folder.str());
  EXPECT_EQ(test::readFile(folder / "gedaan.txt").substr(0, 5), "klaar");
}

// The box drawn when the system cannot show one: only Enter, Esc or Space
// close it, the key is taken, and what it covered comes back.
TEST_F(HeadlessTest, AMessageBoxDrawnInTheWindowWaitsForItsKeyAndLeavesNoTrace) {
  auto p = make("\"x\" Enter");
  p.moveCursor(12, 1);
  p.printText(std::string(80, '#'));
  const Surface::Saved before = p.surface().save();
  EXPECT_EQ(p.showMessageInWindow("        13 10:25 Tijdvoorbeeld.        ", "Almanouk", {"OK"}), 0);
  EXPECT_EQ(p.surface().pixels()[0], before.pixels[0]);
  EXPECT_TRUE(std::equal(before.pixels.begin(), before.pixels.end(), p.surface().pixels()));
  EXPECT_EQ(p.surface().charAt(12, 40), '#');
  EXPECT_TRUE(p.readKey().empty());  // both keys were taken by the box

  drawWindowMessageBox(p.surface(), std::string(100, 'w') + " einde", "Almanouk");
  std::string rows;
  for (int row = 1; row <= 25; ++row)
    for (int column = 1; column <= 80; ++column) rows += static_cast<char>(p.surface().charAt(row, column));
  EXPECT_NE(rows.find("Almanouk"), std::string::npos);
  EXPECT_NE(rows.find("[ OK ]"), std::string::npos);
  EXPECT_NE(rows.find(std::string(72, 'w')), std::string::npos);  // wrapped, not cut
  EXPECT_NE(rows.find("einde"), std::string::npos);
}
