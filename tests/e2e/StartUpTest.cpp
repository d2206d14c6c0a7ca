#include <gtest/gtest.h>

#include <functional>

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

// Started from the desktop's menu the start folder is the home folder: only
// the data folder gets the readme. Started anywhere else, both get it.
TEST(StartUp, TheReadmeLittersNoHomeFolder) {
  Harness fromMenu;
  fromMenu.home = fromMenu.startFolder().string() + "/";
  EXPECT_TRUE(fromMenu.run("2012-03-07 09:15:00", "").scriptEnded);
  EXPECT_TRUE(fromMenu.dataExists("Almanouk145.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(fromMenu.startFolder()));

  Harness elsewhere;
  elsewhere.home = elsewhere.dataFolder().parent_path().string();
  EXPECT_TRUE(elsewhere.run("2012-03-07 09:15:00", "").scriptEnded);
  EXPECT_TRUE(elsewhere.dataExists("Almanouk145.txt"));
  EXPECT_EQ(test::readFile(elsewhere.startFolder() / "Almanouk145.txt"),
            test::readFile(elsewhere.data("Almanouk145.txt")));
}

// Once its files are current a start reads them and writes none of them again.
TEST(StartUp, AStartRewritesNothingThatIsCurrent) {
  Harness h;
  std::filesystem::remove_all(h.dataFolder());
  ASSERT_TRUE(h.run("2012-03-07 09:15:00", "").scriptEnded);
  ASSERT_TRUE(h.run("2012-03-07 09:16:00", "").scriptEnded);  // the new calendar gets its normal form
  // A second name for each, outside the folder: a file written again gets a new one of its own.
  const std::filesystem::path links = h.dataFolder().parent_path() / "namen";
  std::filesystem::create_directories(links);
  const std::vector<std::filesystem::path> files = {h.data("Almanouk145.txt"), h.startFolder() / "Almanouk145.txt",
                                                    h.data("ALMANOUK.AMN"), h.data("Almanouk.ini"),
                                                    h.data("roster.mp3")};
  for (std::size_t i = 0; i < files.size(); ++i) std::filesystem::create_hard_link(files[i], links / std::to_string(i));
  ASSERT_TRUE(h.run("2012-03-07 09:17:00", "").scriptEnded);
  for (const auto& file : files) EXPECT_EQ(std::filesystem::hard_link_count(file), 2u) << file;
}

TEST(StartUp, AStaleMarkerDoesNotBlockTheStart) {
  Harness h;
  h.writeData("Almanouk.pyl", "pyl\r\n");
  auto result = h.run("2012-03-07 09:15:00", "");
  EXPECT_TRUE(result.scriptEnded);
  EXPECT_TRUE(h.platform().screenOpened());
}

// A run killed while it wrote leaves its temporary files, or a calendar
// half deleted: the next start removes the first and finishes the second.
TEST(StartUp, WhatAKilledRunLeftIsCleanedUp) {
  Harness h;
  h.run("2012-03-07 09:15:00", "");
  h.writeData("WEG00000.AMN", test::calendarFile("Weg", {}, {}, {}, {}, "7", "5"));
  h.writeData("20120307.D53", "dagboek van weg");
  h.writeData("Almanouk.del", test::crlf({"WEG00000.AMN", "5"}));
  for (const char* name : {"AlmanTmp.lst", "AlmTMP.TMP", "afd3.txt", "almanouk.tm2", "CONVER.TMP"}) h.writeData(name, "half");
  h.run("2012-03-07 09:15:00", "");
  for (const char* name : {"AlmanTmp.lst", "AlmTMP.TMP", "afd3.txt", "almanouk.tm2", "CONVER.TMP", "Almanouk.del",
                           "WEG00000.AMN", "20120307.D53"})
    EXPECT_FALSE(h.dataExists(name)) << name;
  EXPECT_TRUE(h.dataExists("ALMANOUK.AMN"));
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

// The desktop ending the session, or the window's close button, in any
// screen: the screen is left as its own leave key does (what it holds is
// saved), then the program ends in order.
TEST(StartUp, ACloseRequestLeavesEveryScreenSavingWhatItHolds) {
  struct Case {
    std::string keys;
    std::function<bool(Harness&)> saved;
  };
  auto holds = [](Harness& h, const std::string& file, const std::string& text) {
    return test::readFile(h.data(file)).find(text) != std::string::npos;
  };
  const std::vector<Case> cases = {
      {"F2 Home \"07 Gesloten\" Close", [&](Harness& h) { return holds(h, "ALMANOUK.AMN", "07 Gesloten"); }},
      {"F4 Space Close", [&](Harness& h) { return holds(h, "Almanouk.ini", "PopUp=uit"); }},
      {"F4 Down Down Down Enter \"Half\" Close", [&](Harness& h) { return holds(h, "Almanouk.ini", "Omschrijving."); }},
      {"Enter \"dagboek\" Close", [&](Harness& h) { return holds(h, "20120307.D03", "dagboek"); }},
      {"F1 Close", nullptr},
      {"F6 Close", nullptr},
      {"\"s\" Close", nullptr},
  };
  for (const Case& c : cases) {
    Harness h;
    auto result = h.run("2012-03-07 09:15:00", c.keys);
    EXPECT_FALSE(result.scriptEnded) << c.keys;
    EXPECT_EQ(result.status, 0) << c.keys;
    EXPECT_FALSE(h.dataExists("Almanouk.pyl")) << c.keys;
    EXPECT_TRUE(!c.saved || c.saved(h)) << c.keys;
  }
}

namespace {

// A headless platform on which another copy of the program seems to run: it
// acts on the data folder's instance marker at given moments of a wait.
class BesideAnotherCopy : public HeadlessPlatform {
 public:
  BesideAnotherCopy(Options options, KeyScript script, std::filesystem::path marker, std::function<void(BesideAnotherCopy&, int)> act)
      : HeadlessPlatform(std::move(options), std::move(script)), marker_(std::move(marker)), act_(std::move(act)) {}
  void pause(int milliseconds) override {
    act_(*this, milliseconds);
    HeadlessPlatform::pause(milliseconds);
  }
  void awaitInput(int milliseconds) override {
    act_(*this, milliseconds);
    HeadlessPlatform::awaitInput(milliseconds);
  }
  const std::filesystem::path& marker() const { return marker_; }

 private:
  std::filesystem::path marker_;
  std::function<void(BesideAnotherCopy&, int)> act_;
};

HeadlessPlatform::Options optionsFor(const Harness& h) {
  HeadlessPlatform::Options options;
  options.startFolder = h.startFolder().string();
  options.appData = h.dataFolder().parent_path().string();
  options.start = *LocalDateTime::parse("2012-03-07 09:15:00");
  return options;
}

}  // namespace

// A marker deleted while the program runs comes back within a second.
TEST(StartUp, TheInstanceMarkerComesBackWhenDeleted) {
  Harness h;
  bool deleted = false;
  BesideAnotherCopy running(optionsFor(h), *KeyScript::parse("wait:5"), h.data("Almanouk.pyl"),
                            [&](BesideAnotherCopy& platform, int) {
                              if (!deleted && platform.now().second >= 3) deleted = std::filesystem::remove(platform.marker());
                            });
  try {
    Program(running, "").run();
  } catch (const RunEnded&) {
  }
  EXPECT_TRUE(deleted);
  EXPECT_EQ(test::readFile(h.data("Almanouk.pyl")), "pyl\r\n");
}

// A copy that runs holds the data folder's lock whatever screen it shows,
// also when its marker was deleted by hand; a second copy ends silently,
// touches none of the first one's files and asks it to come forward.
TEST(StartUp, ASecondCopyEndsSilently) {
  Harness h;
  h.run("2012-03-07 09:15:00", "F2");  // the first copy, still running in the calendar editor
  std::filesystem::remove(h.data("Almanouk.pyl"));
  HeadlessPlatform second(optionsFor(h), *KeyScript::parse("F5 \"x\""));
  EXPECT_EQ(Program(second, "").run(), 0);
  EXPECT_FALSE(second.screenOpened());
  EXPECT_TRUE(second.log().events().empty());
  EXPECT_TRUE(h.dataExists("Almanouk.dat"));
  EXPECT_FALSE(h.dataExists("20120307.D03"));
  EXPECT_TRUE(h.dataExists("Almanouk.wek"));
}

// A folder the program cannot take for itself or write in is told, in a box
// that says what, why and what to do, and the start ends with status 1
// before the window opens; the command line's work says the same, not that
// the program runs.
TEST(StartUp, AFolderThatCannotBeLockedOrWrittenIsTold) {
  struct Case {
    const char* name;
    std::function<void(Harness&)> prepare;
    const char* told;
  };
  const Case cases[] = {
      {"no locks", [](Harness& h) { h.faults = [](FileFault fault, const std::string&) { return fault == FileFault::Lock; }; },
       "niet voor zich alleen nemen (dit bestandssysteem kan niet vergrendelen)"},
      {"marker a folder", [](Harness& h) { std::filesystem::create_directories(h.data("Almanouk.pyl")); },
       "Almanouk kan niet schrijven in zijn map"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {}, {}, {}));
    c.prepare(h);
    auto result = h.run("2012-03-07 09:15:00", "wait:1");
    EXPECT_EQ(result.status, 1) << c.name;
    EXPECT_FALSE(h.platform().screenOpened()) << c.name;
    ASSERT_FALSE(result.events.empty()) << c.name;
    EXPECT_NE(result.events.back().find(c.told), std::string::npos) << c.name << ": " << result.events.back();
    auto exported = h.commandLine("2012-03-07 09:15:00", {"--export", "almanouk", "x.ics"});
    EXPECT_EQ(exported.status, 1) << c.name;
    EXPECT_NE(exported.err.find(c.told), std::string::npos) << c.name << ": " << exported.err;
  }
}

// The window's title names the active calendar, and follows a change of it.
TEST(StartUp, TheWindowTitleNamesTheActiveCalendar) {
  Harness h;
  h.run("2012-03-07 09:15:00", "wait:1");
  EXPECT_EQ(h.platform().windowTitle(), "Almanouk — Omschrijving.");
  h.writeData("WERK0000.AMN", test::calendarFile("Werk", {}, {}, {}, {}, "7", "1"));
  h.run("2012-03-07 09:15:00", "F7 wait:1");
  EXPECT_EQ(h.platform().windowTitle(), "Almanouk — Alle almanouks");
}
