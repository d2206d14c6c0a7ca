#include "editors/SettingsScreen.h"

#include <algorithm>
#include <array>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "diary/DiaryStore.h"
#include "editors/CalendarManagement.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/FatalError.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

constexpr BarStyle kScreenBar{0xFFFFFF, 0x000000, 255, 78, 78, 0xFFFFFF};
constexpr std::uint32_t kPanelGreen = 0x64C800;  // red 100, green 200, blue 0
constexpr std::string_view kTitle = " Popup, geluid en almanouks inclusief bijbehorend dagboek ";
constexpr std::string_view kVersionLine = "  Almanouk v1.45";  // the maker's line that fits beside it
constexpr std::string_view kBottomText =
    " Bij PopUp kan men kiezen tussen Notepad (ntp), MessageBox (msg), of geen popup ";
constexpr std::string_view kSwitchError = "  Fout in INI-file";
constexpr std::string_view kNewChoice = " = Omschrijving.               7";
constexpr int kDescriptionWidth = 26;
constexpr int kCursorAttribute = 160;
constexpr int kBoxBackground = 4;
constexpr int kShadowAttribute = 8;
constexpr int kPanelColumn = 52;
constexpr int kNameColumn = 5;
constexpr int kNameLength = 12;
constexpr int kReasonColumn = 18;
constexpr int kReasonLength = 34;

constexpr std::array<const char*, 21> kPanel = {
    "      ALMANOUKFILES.        ", "                            ", "Gebruik de pijl op en neer  ",
    "en de spatie om instelling  ", "PopUp en geluid aan of uit  ", "te zetten, of almanoukfile  ",
    "kiezen. De omschrijving na  ", "het = teken  kan aangepast  ", "worden met de Enter-toets,  ",
    "omschrijving typen en weer  ", "Enter. 't Aantal dagen van  ", "tevoren instellen met pijl  ",
    "links of rechts. Een nieuw  ", "bestand aanmaken  gaat met  ", "'n'. Type dan tot 8 tekens  ",
    "in gevolgd door Enter.  Om  ", "een almanoukfile te wissen  ", "doet u 'Del' als de blauwe  ",
    "balk erop staat.  Kopiëren  ", "gaat met 'k'. Verlaten van  ", "dit scherm met 'Esc'.       "};

constexpr std::array<const char*, 6> kRefusalBox = {
    "                           ", "  De aktieve almanouk kan  ", "  niet gewist worden. Dus  ",
    "  maak eerst een andere    ", "  aktief met keuze/spatie. ", "                           "};

// The calendar file a choice line names (its columns 4 to 15).
std::string choiceName(const std::string& choice) { return mid(choice, 4, 12); }

std::string withMarker(const std::string& choice, bool marked) {
  return (marked ? "-> " : "   ") + mid(choice, 4);
}

}  // namespace

ScreenResult SettingsScreen::run() {
  open();
  for (;;) {
    paintField(buffer_.theme().themeBarFg + 16);
    buffer_.renderBuffer(false);  // the selection bar shares the month header's attribute, not its shading
    drawPanelAndBars();
    std::string key = platform_.waitForKey(3);
    buffer_.useTheme();
    paintField(buffer_.currentAttribute());
    bool goOn = handle(key);
    buffer_.renderBuffer(false);
    if (!goOn) break;
  }
  if (!reloadRequested_) {
    writeSettingsFile(platform_, file_);
    settings_.daysAhead = readDaysAhead(platform_);
  }
  ScreenResult result;
  result.nextKey = settingsKey_;
  result.skipWait = settingsKey_ == keys::kNothing ? 0 : 1;
  result.reloadRequested = reloadRequested_;
  return result;
}

SettingsScreen::Field SettingsScreen::fieldAt(int field) const {
  switch (field) {
    case 0: return {2, 2, 9};
    case 1: return {2, 15, 14};
    case 2: return {2, 33, 9};
    default: return {rowOfCalendar(field - 3), 2, kChoiceLineWidth};
  }
}

// Only nine lines fit on the screen; more, put in the file by hand, are kept but not shown.
int SettingsScreen::calendarCount() const {
  return std::min(static_cast<int>(file_.choices.size()), kMaxCalendars);
}

void SettingsScreen::open() {
  buffer_.clearBuffer();
  buffer_.drawBar(1, 1, padRight(std::string(kTitle) + std::string(kVersionLine), 80), kScreenBar);
  for (std::size_t i = 0; i < kPanel.size(); ++i)
    buffer_.putText(2 + static_cast<int>(i), kPanelColumn, cp437(kPanel[i]));
  buffer_.putText(2, 46, "Aant.");
  buffer_.putText(3, 46, "dagen");
  loadFile();
  settingsKey_ = keys::kNothing;
  reloadRequested_ = false;
  field_ = remembered_.value_or(0);
  remembered_.reset();
  // A remembered line past the last one (the list became shorter) becomes the last.
  field_ = std::min(field_, calendarCount() > 0 ? 2 + calendarCount() : 2);
}

void SettingsScreen::loadFile() {
  file_ = readSettingsFileLines(platform_, settings_);
  ThemeColours theme(buffer_);
  buffer_.putTextEcho(2, 2, file_.popup.value_or(""));
  buffer_.putTextEcho(2, 15, file_.speaker);
  buffer_.putTextEcho(2, 33, file_.sound);
  drawChoices();
}

void SettingsScreen::drawChoices() {
  buffer_.useTheme();
  for (int index = 0; index < calendarCount(); ++index)
    buffer_.putText(rowOfCalendar(index), 2, left(file_.choices[static_cast<std::size_t>(index)], kChoiceLineWidth));
}

void SettingsScreen::drawPanelAndBars() {
  platform_.setColours(kPanelGreen, 0);
  for (std::size_t i = 0; i < kPanel.size(); ++i) {
    if (i == 1) continue;
    platform_.moveCursor(3 + static_cast<int>(i), kPanelColumn + 1);
    platform_.printText(cp437(kPanel[i]));
  }
  buffer_.drawBar(25, 1, kBottomText, kScreenBar);
}

void SettingsScreen::paintField(int attribute) {
  Field field = fieldAt(field_);
  for (int column = field.column; column < field.column + field.width; ++column)
    buffer_.at(field.row, column).attribute = attribute;
}

bool SettingsScreen::handle(const std::string& key) {
  if (key.size() == 2) {
    switch (keys::extendedCode(key)) {
      case keys::kDown: moveDown(); break;
      case keys::kUp: moveUp(); break;
      case keys::kLeft:
        if (onCalendar()) changeDaysAhead(-1);
        break;
      case keys::kRight:
        if (onCalendar()) changeDaysAhead(1);
        break;
      case keys::kDelete:
        if (onCalendar()) deleteSelected();
        break;
      case keys::kF2: settingsKey_ = keys::kListEditorNext; return false;
      case keys::kF5: settingsKey_ = keys::kDiary; return false;
      default: break;
    }
    return !reloadRequested_;
  }
  if (key.size() != 1) return true;
  switch (key[0]) {
    case keys::kEscape: return false;
    case ' ': onCalendar() ? chooseCalendar() : cycleSwitch(); break;
    case keys::kEnter:
      if (onCalendar()) editDescription();  // the switches have no description
      break;
    case 'n':
    case 'N':
      if (static_cast<int>(file_.choices.size()) < kMaxCalendars) newCalendar();
      break;
    case 'k':
    case 'K':
      if (static_cast<int>(file_.choices.size()) < kMaxCalendars && onCalendar()) copySelected();
      break;
    default: break;
  }
  return !reloadRequested_;
}

void SettingsScreen::moveDown() {
  if (field_ < 2 || (field_ == 2 && calendarCount() > 0) || (onCalendar() && field_ < 2 + calendarCount())) ++field_;
}

void SettingsScreen::moveUp() {
  if (field_ > 0) --field_;
}

// Space on a switch steps it on; a switch whose text is none of its own cannot
// be stepped and ends the program, as a damaged settings file does.
void SettingsScreen::cycleSwitch() {
  std::string* text = nullptr;
  std::string next;
  if (field_ == 0) {
    if (!file_.popup) file_.popup.emplace();
    text = &*file_.popup;
    if (*text == "PopUp=uit") next = "PopUp=msg", settings_.popupMode = 2;
    if (*text == "PopUp=msg") next = "PopUp=ntp", settings_.popupMode = 1;
    if (*text == "PopUp=ntp") next = "PopUp=uit", settings_.popupMode = 0;
  } else {
    const std::string name = field_ == 1 ? "PC-Speaker=" : "Sound=";
    text = field_ == 1 ? &file_.speaker : &file_.sound;
    int& on = field_ == 1 ? settings_.speakerOn : settings_.soundOn;
    if (*text == name + "aan") next = name + "uit", on = 0;
    if (*text == name + "uit") next = name + "aan", on = 1;
  }
  if (next.empty()) fatalFileError(platform_, kSwitchError);
  *text = next;
  Field field = fieldAt(field_);
  buffer_.useTheme();
  buffer_.putText(field.row, field.column, next);
}

// Space on a calendar line makes it the active calendar; a line whose file is
// gone (or whose name could not be one) cannot be chosen.
void SettingsScreen::chooseCalendar() {
  const int index = field_ - 3;
  const std::string name = choiceName(selectedChoice());
  if (!calendarPresent(name)) return;
  for (std::size_t i = 0; i < file_.choices.size(); ++i)
    file_.choices[i] = withMarker(file_.choices[i], static_cast<int>(i) == index);
  drawChoices();
  settings_.chosenPosition = index + 1;
  settings_.calFile = name;
  {
    InputFile calendar(platform_, name, 1);
    calendar.nextLine();
    settings_.diaryId = calendar.nextLine();
  }
  buildDiaryIndex(platform_, settings_.diaryId);
}

// Left and Right: the days ahead, 1 to 30, ending in column 47; the calendar
// file's line 3 follows at once.
void SettingsScreen::changeDaysAhead(int step) {
  std::string entry = padRight(selectedChoice(), kChoiceLineWidth);
  int days = intValue(right(entry, 2)) + step;
  std::string digits = toText(days);
  int width = static_cast<int>(digits.size());
  if (step < 0 && days > 0) entry = left(entry, kChoiceLineWidth - 1 - width) + " " + digits;
  if (step > 0 && days < 31) entry = left(entry, kChoiceLineWidth - width) + digits;
  if (entry == selectedChoice()) return;
  selectedChoice() = entry;
  drawChoices();
  const std::string name = choiceName(entry);
  if (calendarPresent(name)) rewriteCalendarHeader(platform_, name, nullptr, right(entry, 2));
}

// Enter: a new description of up to 25 characters, ended by Enter; Esc, or
// Enter with nothing typed, keeps the old one.
void SettingsScreen::editDescription() {
  const int row = fieldAt(field_).row;
  std::string entry = padRight(selectedChoice(), kChoiceLineWidth);
  buffer_.useTheme();
  const int theme = buffer_.currentAttribute();
  buffer_.putText(row, 20, std::string(27, ' '));
  int column = 18;
  std::string description;
  std::string key;
  for (;;) {
    buffer_.at(row, column + 2).attribute = kCursorAttribute;
    buffer_.renderBuffer(false);
    buffer_.drawBar(25, 1, kBottomText, kScreenBar);
    key = platform_.waitForKey(3);
    if (keys::isCharacter(key, keys::kEnter) || keys::isCharacter(key, keys::kEscape)) break;
    if (keys::isCharacter(key, keys::kBackspace)) {
      if (description.empty()) continue;
      buffer_.at(row, column + 2).attribute = theme;
      --column;
      buffer_.at(row, column + 2) = Cell{' ', theme};
      description.pop_back();
    } else if (key.size() == 1 && static_cast<unsigned char>(key[0]) > 31 && column < 43) {
      description += key;
      buffer_.putText(row, column + 2, key);
      ++column;
    }
  }
  buffer_.at(row, column + 2).attribute = theme;
  if (!description.empty() && !keys::isCharacter(key, keys::kEscape)) {
    const std::string padded = padRight(description, kDescriptionWidth);
    entry = left(entry, 18) + padded + right(entry, 3);
    selectedChoice() = entry;
    const std::string name = choiceName(entry);
    if (calendarPresent(name)) rewriteCalendarHeader(platform_, name, &padded, right(entry, 3));
  }
  drawChoices();
}

// 'n': a calendar from the template under a typed name, with the next free
// diary key; it becomes the active one and the screen stays open.
void SettingsScreen::newCalendar() {
  const int row = rowOfCalendar(static_cast<int>(file_.choices.size()));
  std::optional<std::string> typed = askName(row);
  buffer_.useTheme();
  buffer_.putText(row, kNameColumn, std::string(kReasonColumn + kReasonLength - kNameColumn, ' '));
  if (!typed) return;
  const std::string name = calendarFileNameFor(*typed);
  const std::string key = nextFreeDiaryKey(platform_);
  if (!writeCalendarTemplate(platform_, name, key)) {
    buffer_.putText(row, kReasonColumn, "Kan het bestand niet maken");
    return;
  }
  for (std::string& choice : file_.choices) choice = withMarker(choice, false);
  file_.choices.push_back("-> " + name + std::string(kNewChoice));
  writeSettingsFile(platform_, file_);
  settings_.calFile = name;
  settings_.diaryId = key;
  settings_.chosenPosition = static_cast<int>(file_.choices.size());
  loadFile();
  buildDiaryIndex(platform_, key);
}

// The name is asked again until it can be a new calendar; the reason it
// could not stands beside it. Esc gives up.
std::optional<std::string> SettingsScreen::askName(int row) {
  for (;;) {
    buffer_.useTheme();
    buffer_.putText(row, kNameColumn, std::string(kNameLength, ' '));
    buffer_.renderBuffer(false);
    platform_.setColours(0xC8C8C8, 0x000000);
    platform_.moveCursor(row + 1, kNameColumn + 1);
    std::optional<std::string> typed = platform_.readTypedLine(kNameLength);
    if (!typed) return std::nullopt;
    if (typed->empty()) continue;
    std::string reason = refusalOf(platform_, calendarFileNameFor(*typed));
    if (reason.empty()) return typed;
    buffer_.curFg = settings_.textColour;
    buffer_.putText(row, kReasonColumn, padRight(reason, kReasonLength));
  }
}

// 'k': a copy of the selected calendar and its diary under a name made from
// the clock. The settings file is rebuilt with the calendars present, the
// user's switches and colours kept and the active calendar still marked.
void SettingsScreen::copySelected() {
  const int row = rowOfCalendar(static_cast<int>(file_.choices.size()));
  const std::string source = choiceName(selectedChoice());
  const std::string target = copyNameFromClock(platform_);
  std::string reason;
  if (!calendarPresent(source)) reason = "Het bestand is er niet meer";
  if (reason.empty() && platform_.fileExists(target)) reason = "Die naam bestaat al";
  if (reason.empty() && !copyCalendar(platform_, source, target)) reason = "Kopieren is mislukt";
  if (!reason.empty()) {
    buffer_.useTheme();
    buffer_.putText(row, kReasonColumn, padRight(reason, kReasonLength));
    return;
  }
  rebuildSettingsFile();
  leaveForReload();
}

// Del: the refusal box for the active (or only) calendar, else the question;
// "j" deletes the calendar, its backup copy and its diary.
void SettingsScreen::deleteSelected() {
  const std::string name = choiceName(selectedChoice());
  const bool refused = lowerAscii(name) == lowerAscii(settings_.calFile) || file_.choices.size() < 2;
  const std::array<std::string, 6> question = {
      "                           ", "  Hierdoor wordt almanouk  ", "  " + padRight(name, 12) + " gewist !!!  ",
      "  En ook z'n dagboek !!!   ", "  Zeker weten ??? (j/n)    ", "                           "};
  {
    ThemeColours theme(buffer_);
    buffer_.curFg = buffer_.theme().themeBarFg;
    buffer_.curBg = kBoxBackground;
    for (int i = 0; i < 6; ++i)
      buffer_.putTextEcho(9 + i, 26, refused ? kRefusalBox[static_cast<std::size_t>(i)] : question[static_cast<std::size_t>(i)]);
    for (int column = 27; column <= 53; ++column) buffer_.at(15, column).attribute = kShadowAttribute;
    for (int row = 10; row <= 14; ++row) buffer_.at(row, 53).attribute = kShadowAttribute;
  }
  std::string answer = platform_.waitForKey(3);
  if (!refused && (answer == "j" || answer == "J") && isCalendarFileName(name)) {
    deleteCalendar(platform_, name);
    rebuildSettingsFile();
  }
  leaveForReload();
}

void SettingsScreen::rebuildSettingsFile() {
  file_.choices = calendarChoiceLines(platform_, settings_.calFile);
  writeSettingsFile(platform_, file_);
}

bool SettingsScreen::calendarPresent(const std::string& name) const {
  return isCalendarFileName(name) && platform_.fileExists(name);
}

// After a copy or a deletion the settings are read again and the screen
// opens anew on the same line.
void SettingsScreen::leaveForReload() {
  reloadRequested_ = true;
  settingsKey_ = keys::kSettingsNext;
  remembered_ = field_;
}

}  // namespace almanouk
