// A failing machine: each write, flush to disk and rename of a start or a
// settings save fails in turn. After every one, each user file is its old or
// its new version, never something between, and the next start works.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "e2e/Harness.h"

using namespace almanouk;
using test::Harness;

namespace {

using Files = std::map<std::string, std::string>;

bool isUserFile(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto endsWith = [&](const std::string& tail) {
    return upper.size() >= tail.size() && upper.compare(upper.size() - tail.size(), tail.size(), tail) == 0;
  };
  bool page = upper.size() > 10 && upper.find(".D") == 8 && std::all_of(upper.begin(), upper.begin() + 8, ::isdigit);
  return endsWith(".AMN") || endsWith(".AM2") || upper == "ALMANOUK.INI" || page;
}

Files userFiles(const Harness& h) {
  Files files;
  for (const std::string& name : test::fileNames(h.dataFolder()))
    if (isUserFile(name)) files[name] = test::readFile(h.data(name));
  return files;
}

struct Scenario {
  const char* name;
  std::function<void(Harness&)> prepare;
  std::string script;
};

// Every content each user file had at some moment of a run.
using Versions = std::map<std::string, std::set<std::string>>;

void note(Versions& versions, const Files& files) {
  for (const auto& [name, bytes] : files) versions[name].insert(bytes);
}

// Runs the scenario with its step `failing` (counted from 0) failing; returns
// how many steps it took. A step is a flush to disk, a rename, or a file's
// first write: a later write of the same file fails its version the same way.
// A run without a failing step notes every version the files go through.
int runFailing(Harness& h, const Scenario& scenario, std::optional<int> failing, Versions* versions = nullptr) {
  int step = 0;
  std::set<std::string> written;
  h.faults = [&](FileFault fault, const std::string& path) {
    if (versions) note(*versions, userFiles(h));
    bool counted = fault == FileFault::Sync || fault == FileFault::Rename ||
                   (fault == FileFault::Write && written.insert(path).second);
    return counted && failing == step++;
  };
  h.run("2012-03-07 09:00:00", scenario.script + " wait:2");
  h.faults = nullptr;
  return step;
}

// Whichever step fails, every user file is one of the whole versions the
// run without failures went through (the old one, the new one, or one on the
// way, such as a new calendar before the next start tidies it), never
// something between two of them.
void checkEveryStep(const Scenario& scenario) {
  Harness clean;
  scenario.prepare(clean);
  Versions versions;
  note(versions, userFiles(clean));
  int steps = runFailing(clean, scenario, std::nullopt, &versions);
  note(versions, userFiles(clean));
  ASSERT_GT(steps, 3) << scenario.name;

  for (int failing = 0; failing < steps; ++failing) {
    Harness h;
    scenario.prepare(h);
    runFailing(h, scenario, failing);
    for (const auto& [name, bytes] : userFiles(h)) {
      // A backup holds a whole version of its calendar.
      std::string calendar = name.ends_with("2") ? name.substr(0, name.size() - 1) + "N" : name;
      EXPECT_TRUE(versions[name].count(bytes) || versions[calendar].count(bytes))
          << scenario.name << ", step " << failing << ": " << name << " is no whole version";
    }
    auto next = h.run("2012-03-07 09:00:00", "");
    EXPECT_TRUE(next.scriptEnded) << scenario.name << ", step " << failing << ": the next start stopped";
    EXPECT_TRUE(h.platform().screenOpened()) << scenario.name << ", step " << failing;
    EXPECT_EQ(h.text(2, 1, 20), std::string(20, ' ')) << scenario.name << ", step " << failing << ": " << h.row(2);
  }
}

}  // namespace

TEST(CrashInjection, AFirstStart) {
  checkEveryStep({"first start", [](Harness&) {}, ""});
}

TEST(CrashInjection, AStartThatConvertsOlderFiles) {
  checkEveryStep({"conversion",
                  [](Harness& h) {
                    h.writeData("OUD00000.AMN",
                                test::crlf({"Oud", "Verjaardagen", "", "Maandelijks", "", "01 huur", "", "Januari", "",
                                            "05 jarig", "", "einde"}));
                    h.writeData("Almanouk.ini",
                                test::crlf({"[PopUp]", "PopUp=msg", "oud", "", "", "[Tekstkleur]", "12", "",
                                            "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]",
                                            "-> OUD00000.AMN = Oud                           7", "", "Einde."}));
                  },
                  ""});
}

// The screens that write: the editor's save and its F3, the diary's page,
// a new calendar, a copy and a deletion.
TEST(CrashInjection, EveryScreenThatWrites) {
  auto started = [](Harness& h) {
    h.run("2012-03-07 09:00:00", "");
    h.writeData("THUIS000.AMN", test::calendarFile("Thuis", {}, {}, {}, {}, "7", "1"));
    h.writeData("20120306.D12", "thuis");
    h.run("2012-03-07 09:00:00", "");
  };
  for (const Scenario& scenario : {Scenario{"editor", started, "F2 Home \"07 x\" Esc"},
                                   Scenario{"diary", started, "Enter Ctrl+L Esc"},
                                   Scenario{"new calendar", started, "F4 \"nwerk\" Enter Esc"},
                                   Scenario{"copy", started, "F4 Down Down Down \"k\" Esc"},
                                   Scenario{"delete", started, "F4 Down Down Down Down Del \"j\" Esc"}})
    checkEveryStep(scenario);
}

TEST(CrashInjection, ASettingsSave) {
  checkEveryStep({"settings save",
                  [](Harness& h) {
                    h.run("2012-03-07 09:00:00", "");
                    h.writeData("20120307.D03", "dagboek");
                  },
                  "F4 Space Down Space Esc"});
}
