#include "BenchSupport.h"

#include <fstream>
#include <random>

#include "calendar/Dates.h"
#include "diary/DiaryStore.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Program.h"

namespace almanouk::bench {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Notes the moment the program reads each key.
class TimedPlatform : public HeadlessPlatform {
 public:
  TimedPlatform(Options options, KeyScript script, Clock::time_point start)
      : HeadlessPlatform(std::move(options), std::move(script)), start_(start) {}
  std::vector<double> keyRead;

 protected:
  void afterReadKey(bool gotKey) override {
    HeadlessPlatform::afterReadKey(gotKey);
    if (gotKey) keyRead.push_back(secondsSince(start_));
  }

 private:
  Clock::time_point start_;
};

std::string crlf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string calendar(const std::string& description, char key) {
  std::string text = crlf({description, std::string(1, key), "7", "", "", "Maandelijks", "", "01 Huur", "", "",
                           "Wekelijks", "", "Ma 09:00 Overleg", "", "", "Dagelijks", "", "07:30 Opstaan", "", ""});
  for (int month = 1; month <= 12; ++month)
    text += crlf({std::string(monthSectionName(month)), "", "10 Verjaardag", "20 10:30 Afspraak", "", ""});
  return text + crlf({"Einde"});
}

void fillWithCalendarsAndPages(const DataFolder& folder) {
  std::string choices;
  for (char key = '0'; key <= '4'; ++key) {
    std::string name = std::string("AGENDA0") + key + ".AMN";
    folder.write(name, calendar("Agenda " + std::string(1, key), key));
    choices += std::string(key == '0' ? "-> " : "   ") + name + " = Agenda " + key + std::string(24, ' ') + "7\r\n";
    for (int year = 2010; year <= 2020; ++year)
      for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= monthInfo(month, year).days; ++day)
          folder.write(pageFileName(day, month, year, weekdayOf(day, month, year), std::string(1, key)), "x");
  }
  folder.write("Almanouk.ini", crlf({"[Aan/Uit]", "PopUp=ntp", "PC-Speaker=aan", "Sound=aan", "", "[Kleurthema]", "1",
                                     "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]"}) +
                                   choices + crlf({"", "Einde."}));
}

}  // namespace

DataFolder::DataFolder() {
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() / ("almanouk-bench-" + std::to_string(random()));
  std::filesystem::create_directories(root_ / "Almanouk");
}

DataFolder::~DataFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void DataFolder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream(data() / name, std::ios::binary) << bytes;
}

const DataFolder& folderWithALongCalendar() {
  static const DataFolder folder;
  static const bool filled = [] {
    std::string text = crlf({"Lang", "0", "7", "", "", "Maandelijks", "", "01 Huur", "", "", "Wekelijks", "",
                             "Ma 09:00 Overleg", "", "", "Dagelijks", "", "07:30 Opstaan", "", ""});
    for (int month = 1; month <= 12; ++month) {
      text += crlf({std::string(monthSectionName(month)), ""});
      for (int entry = 0; entry < 330; ++entry)
        text += crlf({std::to_string(entry % 28 + 1) + " Verjaardag van iemand met een lange naam " + std::to_string(entry)});
      text += crlf({"", ""});
    }
    folder.write("ALMANOUK.AMN", text + crlf({"Einde"}));
    return true;
  }();
  (void)filled;
  return folder;
}

const DataFolder& folderWithTwentyThousandPages() {
  static const DataFolder folder;
  static const bool filled = (fillWithCalendarsAndPages(folder), true);
  (void)filled;
  return folder;
}

RunTimes runProgram(const DataFolder& folder, const std::string& now, const std::string& script) {
  HeadlessPlatform::Options options;
  options.startFolder = folder.appData().string();
  options.appData = folder.appData().string();
  options.start = *LocalDateTime::parse(now);
  Clock::time_point start = Clock::now();
  TimedPlatform platform(options, *KeyScript::parse(script), start);
  Program(platform, "").run();
  return {platform.keyRead, secondsSince(start)};
}

}  // namespace almanouk::bench
