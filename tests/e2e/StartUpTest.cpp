#include <gtest/gtest.h>

#include <thread>

#include "e2e/Harness.h"
#include "platform/Text.h"

using namespace almanouk;
using test::Harness;

TEST(StartUp, FirstStartInAnEmptyDataFolder) {
  Harness h;
  std::filesystem::remove_all(h.dataFolder());
  auto result = h.run("2012-03-07 09:15:00", "wait:2");
  EXPECT_TRUE(result.scriptEnded);
  ASSERT_FALSE(result.events.empty());
  EXPECT_EQ(result.events.front(), "msgbox Almanouk|        Almanouk is geïnitialiseerd        ");
  EXPECT_TRUE(h.platform().screenOpened());
  for (const char* name : {"Almanouk145.txt", "roster.mp3", "ALMANOUK.AMN", "Almanouk.ini", "Almanouk.pyl"})
    EXPECT_TRUE(h.dataExists(name)) << name;
  EXPECT_TRUE(std::filesystem::exists(h.startFolder() / "Almanouk145.txt"));
  EXPECT_EQ(test::splitLines(test::readFile(h.data("Almanouk.ini")))[15],
            "-> ALMANOUK.AMN = Omschrijving.               7");
  // The month view on today's date, with the clock and the status line.
  EXPECT_EQ(h.text(3, 5, 5), " 2012");
  EXPECT_EQ(h.text(3, 20, 7), "  maart");
  EXPECT_EQ(h.text(3, 38, 5), "09:15");
  EXPECT_EQ(h.row(25), " Huidige almanouk: Omschrijving." + std::string(20, ' ') + " Stoppen: kruisje of Alt-F4 ");
  EXPECT_EQ(h.state().date.day, 7);
  EXPECT_EQ(h.state().date.weekday, 3);
}

TEST(StartUp, AStaleMarkerDoesNotBlockTheStart) {
  Harness h;
  h.writeData("Almanouk.pyl", "pyl\r\n");
  auto result = h.run("2012-03-07 09:15:00", "");
  EXPECT_TRUE(result.scriptEnded);
  EXPECT_TRUE(h.platform().screenOpened());
}

TEST(StartUp, EveryEndingKeyEndsInOrder) {
  for (const char* key : {"Alt+X", "Alt+F4", "Close"}) {
    Harness h;
    auto result = h.run("2012-03-07 09:15:00", std::string("wait:3 ") + key);
    EXPECT_EQ(result.status, 0) << key;
    EXPECT_FALSE(result.scriptEnded) << key;
    EXPECT_FALSE(h.dataExists("Almanouk.pyl")) << key;
    EXPECT_FALSE(h.dataExists("ALMANOUK.DAT")) << key;
    EXPECT_TRUE(h.dataExists("ALMANOUK.AMN")) << key;
  }
}

// Two real copies sharing one data folder: the second deletes the marker and
// ends silently because the first, waiting in the month view, re-creates it
// within a second.
TEST(StartUp, ASecondCopyEndsSilentlyInRealTime) {
  Harness first;
  HeadlessPlatform::Options options;
  options.startFolder = first.startFolder().string();
  options.appData = first.dataFolder().parent_path().string();
  options.start = *LocalDateTime::parse("2012-03-07 09:15:00");
  options.realtime = true;
  HeadlessPlatform running(options, *KeyScript::parse("wait:3500ms Alt+X"));
  std::thread firstCopy([&] { Program(running, "").run(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(1600));  // past its own guard

  HeadlessPlatform second(options, *KeyScript::parse(""));
  int status = Program(second, "").run();
  firstCopy.join();
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(second.screenOpened());
  EXPECT_TRUE(second.log().events().empty());
  EXPECT_FALSE(std::filesystem::exists(first.data("Almanouk.pyl")));  // the first copy ended in order
}
