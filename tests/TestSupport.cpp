#include "TestSupport.h"

#include "platform/Paths.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace almanouk::test {

TempFolder::TempFolder(bool inMemory) {
  std::random_device random;
  // Many short runs that flush what they replace to the disk go a lot faster in memory.
  auto base = inMemory && kPathSeparator == '/' && std::filesystem::is_directory("/dev/shm")
                  ? std::filesystem::path("/dev/shm")
                  : std::filesystem::temp_directory_path();
  do {
    path_ = base / ("almanouk-test-" + std::to_string(random()));
  } while (std::filesystem::exists(path_));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> fileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

HeadlessPlatform::Options headlessOptions(const TempFolder& folder, const std::string& now) {
  HeadlessPlatform::Options options;
  options.startFolder = folder.str();
  options.appData = folder.str();
  options.start = *LocalDateTime::parse(now);
  return options;
}

std::vector<std::string> calendarLines(const std::string& description, const std::string& key,
                                       const std::vector<std::vector<std::string>>& sections,
                                       const std::string& daysAhead) {
  static const char* const kHeaders[] = {"Maandelijks", "Wekelijks", "Dagelijks", "Januari",   "Februari",
                                         "Maart",       "April",     "Mei",       "Juni",      "Juli",
                                         "Augustus",    "September", "Oktober",   "November",  "December"};
  std::vector<std::string> lines = {description, key, daysAhead, "", ""};
  for (std::size_t i = 0; i < 15; ++i) {
    lines.push_back(kHeaders[i]);
    lines.push_back("");
    if (i < sections.size()) lines.insert(lines.end(), sections[i].begin(), sections[i].end());
    lines.push_back("");
    lines.push_back("");
  }
  lines.push_back("Einde");
  return lines;
}

std::vector<std::string> settingsLines(const SettingsSpec& spec) {
  std::vector<std::string> lines = {"[Aan/Uit]",    spec.popup,      spec.speaker,       spec.sound, "",
                                    "[Kleurthema]", spec.theme,      "",                 "[Tekstkleur]",
                                    spec.textColour, "",             "[Dagboekdagkleur]", spec.diaryDayColour,
                                    "",             "[Almanoukkeuze]"};
  lines.insert(lines.end(), spec.choices.begin(), spec.choices.end());
  lines.insert(lines.end(), {"", "Einde."});
  return lines;
}

std::vector<std::string> hostileCorpus() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(ALMANOUK_TEST_DATA "/hostile"))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string hostileFile(const std::string& name) {
  return readFile(std::filesystem::path(ALMANOUK_TEST_DATA "/hostile") / name);
}

std::string corpusTestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.find('.'));
  name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
  return name;
}

}  // namespace almanouk::test
