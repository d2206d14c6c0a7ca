#include "e2e/KeyStorm.h"

#include <array>
#include <fstream>
#include <map>
#include <set>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "calendar/CalendarModel.h"
#include "platform/Paths.h"
#include "platform/TemporaryFiles.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Program.h"

namespace fs = std::filesystem;

namespace almanouk::test {
namespace {

constexpr const char* kNow = "2012-03-07 10:24:30";

// Every key some screen answers; typed characters include what calendars,
// the settings screen's questions and the diary take.
constexpr std::array<const char*, 49> kKeys = {
    "F1",   "F2",   "F3",    "F4",         "F5",         "F6",        "F7",        "Up",     "Down",  "Left",
    "Right", "PgUp", "PgDn", "Shift+PgUp", "Shift+PgDn", "Ctrl+PgUp", "Ctrl+PgDn", "Home",   "End",   "Ins",
    "Del",  "Enter", "Esc",  "Bksp",       "Tab",        "Ctrl+D",    "Ctrl+K",    "Ctrl+L", "Ctrl+P", "Space",
    "\"s\"", "\"n\"", "\"k\"", "\"j\"",     "\"x\"",      "\"D\"",     "\"a\"",     "\"0\"",  "\"7\"", "\" \"",
    "\":\"", "\"#\"", "\"W\"", "\"e\"",     "\"M\"",      "\"1\"",     "Esc",       "Esc",    "F8"};

std::string crlf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string calendar(const std::string& description, const std::string& key) {
  std::string text = crlf({description, key, "7", "", "", "", "Maandelijks", "", "07 elke maand", "", "",
                           "Wekelijks", "", "Wo 10:25 wekelijks alarm", "", "", "Dagelijks", "", "10:26 dagelijks",
                           "", "", "Januari", "", "01 nieuwjaar", "", "", "Februari", "", "", "", "Maart", "",
                           "07 vandaag", "08 2012 morgen", "", ""});
  for (const char* month : {"April", "Mei", "Juni", "Juli", "Augustus", "September", "Oktober", "November", "December"})
    text += crlf({month, "", "", ""});
  return text + crlf({"Einde"});
}

void write(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path dataFolder(const fs::path& root) { return root / "appdata" / "Almanouk"; }

std::map<std::string, std::string> filesOf(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = read(entry.path());
  return files;
}

bool isPage(const std::string& name) { return name.size() == 12 && name.substr(8, 2) == ".D"; }

// The program names its files by their full paths, built on its folders' canonical names.
bool inside(const std::string& path, const std::string& canonicalFolder) {
  return path.compare(0, canonicalFolder.size() + 1, canonicalFolder + kPathSeparator) == 0;
}

}  // namespace

void prepareStormFolder(const fs::path& root) {
  fs::create_directories(root / "start");
  fs::create_directories(dataFolder(root));
  const fs::path data = dataFolder(root);
  write(data / "ALMANOUK.AMN", calendar("Werk", "0"));
  write(data / "THUIS000.AMN", calendar("Thuis", "1"));
  write(data / "Almanouk.ini", crlf({"[Aan/Uit]", "PopUp=msg", "PC-Speaker=aan", "Sound=aan", "", "[Kleurthema]", "1",
                                     "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]",
                                     "-> ALMANOUK.AMN = Werk                          7",
                                     "   THUIS000.AMN = Thuis                         7", "", "Einde."}));
  write(data / "20120307.D03", std::string(82, ' ') + "een pagina");
  write(data / "20120305.D01", "maandag");
  write(data / "20120306.D12", "thuis");
}

std::string stormScript(std::string_view bytes) {
  std::string script;
  for (unsigned char byte : bytes) script += std::string(kKeys[byte % kKeys.size()]) + " ";
  return script;
}

std::vector<std::string> runStorm(const fs::path& root, std::string_view bytes) {
  const fs::path data = dataFolder(root);
  const std::map<std::string, std::string> before = filesOf(data);
  const std::string script = stormScript(bytes);
  std::set<char> typed = {' ', '\0'};
  for (unsigned char byte : bytes) {
    std::string_view key = kKeys[byte % kKeys.size()];
    if (key.size() == 3 && key[0] == '"') typed.insert(key[1]);
  }

  std::vector<std::string> failures;
  const std::string dataPath = fs::canonical(data).string(), startPath = fs::canonical(root / "start").string();
  auto runProgram = [&](const std::string& keys) {
    HeadlessPlatform::Options options;
    options.startFolder = (root / "start").string();
    options.appData = (root / "appdata").string();
    options.start = *LocalDateTime::parse(kNow);
    options.maxVirtualMs = 3'600'000;
    HeadlessPlatform platform(options, *KeyScript::parse(keys));
    platform.files().setFaultHook([&](FileFault, const std::string& path) {
      if (!inside(path, dataPath) && !inside(path, startPath)) failures.push_back("written outside: " + path);
      return false;
    });
    try {
      Program(platform, "").run();
    } catch (const RunEnded&) {
    }
    return platform.screenOpened();
  };
  runProgram(script);

  const std::map<std::string, std::string> after = filesOf(data);
  for (const auto& [name, bytesAfter] : after) {
    if (isCalendarFileName(name)) {
      std::vector<std::string_view> views = textLines(bytesAfter);
      if (!passesCalendarCheck(std::vector<std::string>(views.begin(), views.end())))
        failures.push_back("calendar the start refuses: " + name);
    }
    for (std::string_view temporary : temporary::kAll)
      if (name == temporary) failures.push_back("temporary file left: " + name);
    if (!isPage(name)) continue;
    // Ins and Del move a line's bytes: each byte is one typed, or one the page held before.
    auto old = before.find(name);
    const std::string_view was = old == before.end() ? std::string_view() : std::string_view(old->second);
    for (char c : bytesAfter) {
      if (!typed.count(c) && was.find(c) == std::string_view::npos) {
        failures.push_back("page " + name + " holds a byte neither typed nor there before");
        break;
      }
    }
  }
  // The next start takes every calendar and the settings as they were left.
  if (!runProgram("")) failures.push_back("the next start stopped");
  return failures;
}

}  // namespace almanouk::test
