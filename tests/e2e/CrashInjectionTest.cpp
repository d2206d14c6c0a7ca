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

// Runs the scenario with its step `failing` (counted from 0) failing; returns
// how many steps it took. A step is a flush to disk, a rename, or a file's
// first write: a later write of the same file fails its version the same way.
int runFailing(Harness& h, const Scenario& scenario, std::optional<int> failing) {
  int step = 0;
  std::set<std::string> written;
  h.faults = [&](FileFault fault, const std::string& path) {
    bool counted = fault == FileFault::Sync || fault == FileFault::Rename ||
                   (fault == FileFault::Write && written.insert(path).second);
    return counted && failing == step++;
  };
  h.run("2012-03-07 09:00:00", scenario.script + " wait:2");
  h.faults = nullptr;
  return step;
}

void checkEveryStep(const Scenario& scenario) {
  Harness clean;
  scenario.prepare(clean);
  Files before = userFiles(clean);
  int steps = runFailing(clean, scenario, std::nullopt);
  Files after = userFiles(clean);
  ASSERT_GT(steps, 3) << scenario.name;

  for (int failing = 0; failing < steps; ++failing) {
    Harness h;
    scenario.prepare(h);
    runFailing(h, scenario, failing);
    for (const auto& [name, bytes] : userFiles(h)) {
      bool old = before.count(name) && before.at(name) == bytes;
      bool now = after.count(name) && after.at(name) == bytes;
      EXPECT_TRUE(old || now) << scenario.name << ", step " << failing << ": " << name << " is neither version";
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

TEST(CrashInjection, ASettingsSave) {
  checkEveryStep({"settings save",
                  [](Harness& h) {
                    h.run("2012-03-07 09:00:00", "");
                    h.writeData("20120307.D03", "dagboek");
                  },
                  "F4 Space Down Space Esc"});
}
