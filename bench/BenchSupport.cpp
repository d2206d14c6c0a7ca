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

// The settings file with the choice lines of the calendars.
std::string settings(const std::string& choices) {
  return crlf({"[Aan/Uit]", "PopUp=ntp", "PC-Speaker=aan", "Sound=aan", "", "[Kleurthema]", "1", "", "[Tekstkleur]",
               "12", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]"}) +
         choices + crlf({"", "Einde."});
}

std::string choice(bool active, const std::string& name, const std::string& description) {
  return (active ? "-> " : "   ") + name + " = " + description + std::string(32 - description.size(), ' ') + "7\r\n";
}

// A calendar in use already, written an hour ago: with its settings file and
// in the layout the start's conversion leaves (three blank lines after the
// header lines, 25 after "Einde"), so that the start writes nothing.
void writeSettledCalendar(const DataFolder& folder, const std::string& description, std::string text) {
  std::size_t afterHeader = 0;
  for (int line = 0; line < 3; ++line) afterHeader = text.find("\r\n", afterHeader) + 2;
  text.insert(afterHeader, "\r\n");
  for (int line = 0; line < 25; ++line) text += "\r\n";
  folder.write("ALMANOUK.AMN", text);
  folder.write("Almanouk.ini", settings(choice(true, "ALMANOUK.AMN", description)));
  folder.backdate("ALMANOUK.AMN");
}

void fillWithCalendarsAndPages(const DataFolder& folder) {
  std::string choices;
  for (char key = '0'; key <= '4'; ++key) {
    std::string name = std::string("AGENDA0") + key + ".AMN";
    folder.write(name, calendar("Agenda " + std::string(1, key), key));
    choices += choice(key == '0', name, "Agenda " + std::string(1, key));
    for (int year = 2010; year <= 2020; ++year)
      for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= monthInfo(month, year).days; ++day)
          folder.write(pageFileName(day, month, year, weekdayOf(day, month, year), std::string(1, key)), "x");
  }
  folder.write("Almanouk.ini", settings(choices));
}

// A day's page as people write them: a few lines, padded to 80 columns.
std::string diaryPage(int number) {
  std::string text;
  for (const char* line : {"  Vandaag naar het werk, daarna boodschappen en koken.",
                           "  Lang gewandeld; het weer was beter dan verwacht.", "",
                           "  Morgen vroeg op: een lange dag met overleg."})
    text += line + std::string(80 - std::string_view(line).size(), ' ');
  if (number % 100 == 0) text += "  Naar de tandarts geweest, alles goed.";
  return text;
}

}  // namespace

const DataFolder& folderWithADiaryOfTwentyThousandPages() {
  static const DataFolder folder;
  static const bool filled = [] {
    writeSettledCalendar(folder, "Thuis", calendar("Thuis", '0'));
    int number = 0;
    for (int year = 1970; number < 20'000; ++year)
      for (int month = 1; month <= 12 && number < 20'000; ++month)
        for (int day = 1; day <= monthInfo(month, year).days && number < 20'000; ++day, ++number)
          folder.write(pageFileName(day, month, year, weekdayOf(day, month, year), "0"), diaryPage(number));
    return true;
  }();
  (void)filled;
  return folder;
}

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

const DataFolder& folderWithAHundredThousandLines() {
  static const DataFolder folder;
  static const bool filled = [] {
    std::string text = crlf({"Lang", "0", "7", "", "", "Maandelijks", "", "01 Huur", "15 09:00 Overleg", "", "",
                             "Wekelijks", "", "Ma 09:00 Overleg", "", "", "Dagelijks", "", "07:30 Opstaan", "", ""});
    for (int month = 1; month <= 12; ++month) {
      text += crlf({std::string(monthSectionName(month)), ""});
      for (int entry = 0; entry < 8330; ++entry)
        text += crlf({std::to_string(entry % 28 + 1) + " Verjaardag van iemand met een lange naam " + std::to_string(entry)});
      text += crlf({"", ""});
    }
    writeSettledCalendar(folder, "Lang", text + crlf({"Einde"}));
    return true;
  }();
  (void)filled;
  return folder;
}

const DataFolder& folderWithAOneMegabyteEntry() {
  static const DataFolder folder;
  static const bool filled = [] {
    std::string text = calendar("Groot", '0');
    std::string entry = "15 Een lange notitie: " + std::string(1 << 20, 'x');
    text.insert(text.find("01 Huur\r\n") + 9, entry + "\r\n");
    writeSettledCalendar(folder, "Groot", text);
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

void DataFolder::backdate(const std::string& name) const {
  std::filesystem::last_write_time(data() / name, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
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
