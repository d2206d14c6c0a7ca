#include "editors/SettingsScreen.h"

#include <algorithm>
#include <array>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "diary/DiaryStore.h"
#include "editors/CalendarManagement.h"
#include "editors/Recovery.h"
#include "platform/FatalError.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/Notice.h"
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

// Where things stand (buffer rows and columns, 0-based).
constexpr int kSwitchRow = 2;
constexpr int kPopupColumn = 2, kPopupWidth = 9;
constexpr int kSpeakerColumn = 15, kSpeakerWidth = 14;
constexpr int kSoundColumn = 33, kSoundWidth = 9;
constexpr int kChoiceColumn = 2;
constexpr int kFirstChoiceRow = 5;    // rows 5, 7, ..., 21
constexpr int kDaysLabelColumn = 46;  // "Aant." over "dagen", above the days-ahead digits
constexpr int kPanelColumn = 52;
constexpr int kLinkedMarkColumn = 50;  // between a calendar's line and the panel
constexpr int kPanelRow = 2;
constexpr int kNameColumn = 5;        // where a new calendar's name is typed
constexpr int kNameLength = 12;
constexpr int kReasonColumn = 18;     // why a name or a copy was refused
constexpr int kReasonLength = 34;
constexpr int kDescriptionFirstCell = 20;  // the description field, blanked when a new one is typed
constexpr int kDescriptionCells = 27;
constexpr int kDescriptionStart = 18;      // the input's column less 2, as it counts
constexpr int kDescriptionEnd = 43;        // 25 characters at most
constexpr int kBoxRow = 9, kBoxColumn = 26;  // the deletion box, 6 rows of 27

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

ScreenResult SettingsScreen::result() {
  ScreenResult result;
  result.message = notice_;
  result.settings = change_;
  // After a copy or deletion the screen opens again on the settings as they are now.
  if (reloadRequested_) {
    handBack_ = Command::Settings;
    result.settingsLine = field_;
  }
  if (handBack_) result.next = Input{{}, *handBack_};
  return result;
}

SettingsScreen::Field SettingsScreen::fieldAt(int field) const {
  switch (field) {
    case 0: return {kSwitchRow, kPopupColumn, kPopupWidth};
    case 1: return {kSwitchRow, kSpeakerColumn, kSpeakerWidth};
    case 2: return {kSwitchRow, kSoundColumn, kSoundWidth};
    default: return {rowOfCalendar(field - 3), kChoiceColumn, kChoiceLineWidth};
  }
}

int SettingsScreen::rowOfCalendar(int index) { return kFirstChoiceRow + 2 * index; }

// Only nine lines fit on the screen; more, put in the file by hand, are kept but not shown.
int SettingsScreen::calendarCount() const {
  return std::min(static_cast<int>(file_.choices.size()), kMaxCalendars);
}

void SettingsScreen::open() {
  buffer_.clearBuffer();
  buffer_.drawTitleBar(std::string(kTitle) + std::string(kVersionLine), kScreenBar);
  for (std::size_t i = 0; i < kPanel.size(); ++i)
    buffer_.putText(kPanelRow + static_cast<int>(i), kPanelColumn, cp437(kPanel[i]));
  buffer_.putText(kSwitchRow, kDaysLabelColumn, "Aant.");
  buffer_.putText(kSwitchRow + 1, kDaysLabelColumn, "dagen");
  calFile_ = settings_.calFile;
  read_ = platform_.files().contents(kSettingsFile).value_or(std::string());
  loadFile();
  field_ = openOn_.value_or(0);
  // A remembered line past the last one (the list became shorter) becomes the last.
  field_ = std::min(field_, calendarCount() > 0 ? 2 + calendarCount() : 2);
}

void SettingsScreen::draw() {
  switch (mode_) {
    case Mode::Fields:
      paintField(buffer_.theme().themeBarFg + 16);
      buffer_.renderBuffer(false);  // the selection bar shares the month header's attribute, not its shading
      drawPanelAndBars();
      focusAt(platform_, fieldAt(field_).row, fieldAt(field_).column);
      break;
    case Mode::Description:
      buffer_.at(fieldAt(field_).row, inputColumn_ + 2).attribute = kCursorAttribute;
      buffer_.renderBuffer(false);
      drawPanelAndBars();
      focusAt(platform_, fieldAt(field_).row, inputColumn_ + 2);
      break;
    case Mode::Name: {
      // The name typed so far, at the cursor, over the row it will stand in.
      buffer_.renderBuffer(false);
      platform_.setColours(0xC8C8C8, 0x000000);
      const int row = rowOfCalendar(static_cast<int>(file_.choices.size()));
      printAt(platform_, row, kNameColumn, typed_);
      focusAt(platform_, row, kNameColumn + static_cast<int>(typed_.size()));
      break;
    }
    case Mode::Confirm: break;  // the box is on the screen, waiting for the answer
  }
}

bool SettingsScreen::handle(Key key) {
  message_.clear();
  switch (mode_) {
    case Mode::Fields: break;
    case Mode::Description:
      typeDescription(key);
      return true;
    case Mode::Name:
      typeName(key);
      return true;
    case Mode::Confirm:
      answerDelete(key);
      buffer_.renderBuffer(false);
      return !reloadRequested_;
  }
  buffer_.useTheme();
  paintField(buffer_.currentAttribute());
  bool goOn = handleField(key);
  buffer_.renderBuffer(false);
  return goOn || !leave();
}

// A settings file that cannot be written keeps the screen open: free space
// and Esc again tries again. A second failure lets the user go: the
// settings are kept beside the file.
bool SettingsScreen::leave() {
  if (reloadRequested_) return true;
  const std::string current = platform_.files().contents(kSettingsFile).value_or(std::string());
  if (FileResult written = writeSettingsFile(platform_, file_); !written) {
    if (std::exchange(saveFailed_, true)) {
      notice_ = recoveryMessage(keepForRecovery(platform_, kSettingsFile, settingsFileText(file_)));
      return true;
    }
    tell(written);
    handBack_.reset();
    return false;
  }
  // Another program's change since the screen opened stays in Versies: the replacement keeps what it replaces.
  if (current != read_ && current != platform_.files().contents(kSettingsFile)) notice_ = changedElsewhereMessage(kSettingsFile);
  change_.daysAhead = readDaysAhead(platform_);
  return true;
}

void SettingsScreen::loadFile() {
  file_ = readSettingsFileLines(platform_, settings_);
  ThemeColours theme(buffer_);
  buffer_.putTextEcho(kSwitchRow, kPopupColumn, file_.popup);
  buffer_.putTextEcho(kSwitchRow, kSpeakerColumn, file_.speaker);
  buffer_.putTextEcho(kSwitchRow, kSoundColumn, file_.sound);
  drawChoices();
}

void SettingsScreen::drawChoices() {
  buffer_.useTheme();
  for (int index = 0; index < calendarCount(); ++index) {
    const std::string& choice = file_.choices[static_cast<std::size_t>(index)];
    buffer_.putText(rowOfCalendar(index), kChoiceColumn, left(choice, kChoiceLineWidth));
    // A calendar linked to a calendar server (almanouk --sync-koppel) is marked with a two-way arrow.
    const std::string name = choiceName(choice);
    const bool linked = isCalendarFileName(name) && platform_.fileExists(syncStateName(name));
    buffer_.putText(rowOfCalendar(index), kLinkedMarkColumn, linked ? "\x1D" : " ");
  }
}

void SettingsScreen::drawPanelAndBars() {
  platform_.setColours(kPanelGreen, 0);
  for (std::size_t i = 0; i < kPanel.size(); ++i) {
    if (i == 1) continue;
    printAt(platform_, kPanelRow + static_cast<int>(i), kPanelColumn, cp437(kPanel[i]));
  }
  if (message_.empty()) {
    buffer_.drawStatusBar(kBottomText, kScreenBar);
  } else {
    drawNotice(buffer_, message_);
  }
}

void SettingsScreen::tell(const FileResult& result) {
  if (!result) message_ = saveFailedMessage(result.error());
}

void SettingsScreen::paintField(int attribute) {
  Field field = fieldAt(field_);
  for (int column = field.column; column < field.column + field.width; ++column)
    buffer_.at(field.row, column).attribute = attribute;
}

// False when the key leaves the screen.
bool SettingsScreen::handleField(Key key) {
  if (key.isExtended()) {
    switch (key.code()) {
      case KeyCode::Down: moveDown(); break;
      case KeyCode::Up: moveUp(); break;
      case KeyCode::Left:
        if (onCalendar()) changeDaysAhead(-1);
        break;
      case KeyCode::Right:
        if (onCalendar()) changeDaysAhead(1);
        break;
      case KeyCode::Delete:
        if (onCalendar()) askDelete();
        break;
      case KeyCode::F2: handBack_ = Command::ListEditor; return false;
      case KeyCode::F5: handBack_ = Command::Diary; return false;
      default: break;
    }
    return !reloadRequested_;
  }
  switch (key.character()) {
    case keys::kEscape.character(): return false;
    case ' ': onCalendar() ? chooseCalendar() : cycleSwitch(); break;
    case keys::kEnter.character():
      if (onCalendar()) startDescription();  // the switches have no description
      break;
    case 'n':
    case 'N':
      if (static_cast<int>(file_.choices.size()) < kMaxCalendars) startName();
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
    text = &file_.popup;
    for (auto [from, to] : {std::pair{PopupMode::Off, PopupMode::Message}, std::pair{PopupMode::Message, PopupMode::Notepad},
                            std::pair{PopupMode::Notepad, PopupMode::Off}}) {
      if (*text == popupLine(from)) {
        next = popupLine(to);
        change_.popupMode = to;
        break;
      }
    }
  } else {
    const std::string name = field_ == 1 ? "PC-Speaker=" : "Sound=";
    text = field_ == 1 ? &file_.speaker : &file_.sound;
    std::optional<bool>& on = field_ == 1 ? change_.speakerOn : change_.soundOn;
    if (*text == name + "aan") next = name + "uit", on = false;
    if (*text == name + "uit") next = name + "aan", on = true;
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
  calFile_ = name;
  InputFile calendar(platform_, name, 1);
  calendar.nextLine();
  change_.active = ActiveCalendar{name, calendar.nextLine(), index + 1};
  calendar.close();
  buildDiaryIndex(platform_, change_.active->diaryId);
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
  // The line shows what the calendar file holds: a change that cannot be written is not shown.
  const std::string name = choiceName(entry);
  if (calendarPresent(name)) {
    FileResult written = rewriteCalendarHeader(platform_, name, nullptr, right(entry, 2));
    tell(written);
    if (!written) return;
  }
  selectedChoice() = entry;
  drawChoices();
}

// Enter: a new description of up to 25 characters, ended by Enter; Esc, or
// Enter with nothing typed, keeps the old one.
void SettingsScreen::startDescription() {
  buffer_.useTheme();
  buffer_.putText(fieldAt(field_).row, kDescriptionFirstCell, std::string(kDescriptionCells, ' '));
  inputColumn_ = kDescriptionStart;
  typed_.clear();
  mode_ = Mode::Description;
}

void SettingsScreen::typeDescription(Key key) {
  const int row = fieldAt(field_).row;
  buffer_.useTheme();
  const int theme = buffer_.currentAttribute();
  if (key.is(keys::kEnter) || key.is(keys::kEscape)) {
    buffer_.at(row, inputColumn_ + 2).attribute = theme;
    finishDescription(key.is(keys::kEnter));
  } else if (key.is(keys::kBackspace)) {
    if (typed_.empty()) return;
    buffer_.at(row, inputColumn_ + 2).attribute = theme;
    --inputColumn_;
    buffer_.at(row, inputColumn_ + 2) = Cell{' ', theme};
    typed_.pop_back();
  } else if (key.isPrintable() && inputColumn_ < kDescriptionEnd) {
    typed_ += key.character();
    buffer_.putText(row, inputColumn_ + 2, std::string(1, key.character()));
    ++inputColumn_;
  }
}

void SettingsScreen::finishDescription(bool keep) {
  mode_ = Mode::Fields;
  if (keep && !typed_.empty()) {
    std::string entry = padRight(selectedChoice(), kChoiceLineWidth);
    const std::string padded = padRight(typed_, kDescriptionWidth);
    entry = left(entry, 18) + padded + right(entry, 3);
    const std::string name = choiceName(entry);
    FileResult written = calendarPresent(name) ? rewriteCalendarHeader(platform_, name, &padded, right(entry, 3))
                                               : FileResult();
    tell(written);
    if (written) selectedChoice() = entry;
  }
  drawChoices();
  buffer_.renderBuffer(false);
}

// 'n': a calendar from the template under a typed name, with the next free
// diary key; it becomes the active one and the screen stays open. The name is
// asked again until it can be a new calendar; the reason it could not stands
// beside it. Esc gives up.
void SettingsScreen::startName() {
  mode_ = Mode::Name;
  askNameAgain();
}

void SettingsScreen::askNameAgain() {
  typed_.clear();
  buffer_.useTheme();
  buffer_.putText(rowOfCalendar(static_cast<int>(file_.choices.size())), kNameColumn, std::string(kNameLength, ' '));
}

void SettingsScreen::typeName(Key key) {
  const int row = rowOfCalendar(static_cast<int>(file_.choices.size()));
  if (key.is(keys::kEscape) || (key.is(keys::kEnter) && !typed_.empty())) {
    const std::string typed = key.is(keys::kEnter) ? typed_ : std::string();
    std::string reason = typed.empty() ? std::string() : refusalOf(platform_, calendarFileNameFor(typed));
    if (!reason.empty()) {
      buffer_.curFg = settings_.textColour;
      buffer_.putText(row, kReasonColumn, padRight(reason, kReasonLength));
      askNameAgain();
      return;
    }
    mode_ = Mode::Fields;
    buffer_.useTheme();
    buffer_.putText(row, kNameColumn, std::string(kReasonColumn + kReasonLength - kNameColumn, ' '));
    if (!typed.empty()) newCalendar(typed);
    buffer_.renderBuffer(false);
  } else if (key.is(keys::kEnter)) {
    askNameAgain();  // nothing typed: asked again
  } else if (key.is(keys::kBackspace)) {
    if (!typed_.empty()) typed_.pop_back();
    buffer_.putText(row, kNameColumn, std::string(kNameLength, ' '));
  } else if (key.isPrintable() && static_cast<int>(typed_.size()) < kNameLength) {
    typed_ += key.character();
  }
}

void SettingsScreen::newCalendar(const std::string& typed) {
  const int row = rowOfCalendar(static_cast<int>(file_.choices.size()));
  const std::string name = calendarFileNameFor(typed);
  const std::string key = nextFreeDiaryKey(platform_);
  if (FileResult made = writeCalendarTemplate(platform_, name, key); !made) {
    buffer_.putText(row, kReasonColumn, "Kan het bestand niet maken");
    tell(made);
    return;
  }
  for (std::string& choice : file_.choices) choice = withMarker(choice, false);
  file_.choices.push_back("-> " + name + std::string(kNewChoice));
  tell(writeSettingsFile(platform_, file_));
  calFile_ = name;
  change_.active = ActiveCalendar{name, key, static_cast<int>(file_.choices.size())};
  loadFile();
  buildDiaryIndex(platform_, key);
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
  if (reason.empty()) {
    FileResult copied = copyCalendar(platform_, source, target);
    tell(copied);
    if (!copied) reason = "Kopieren is mislukt";
  }
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
void SettingsScreen::askDelete() {
  const std::string name = choiceName(selectedChoice());
  const bool refused = lowerAscii(name) == lowerAscii(calFile_) || file_.choices.size() < 2;
  const std::array<std::string, 6> question = {
      "                           ", "  Hierdoor wordt almanouk  ", "  " + padRight(name, 12) + " gewist !!!  ",
      "  En ook z'n dagboek !!!   ", "  Zeker weten ??? (j/n)    ", "                           "};
  ThemeColours theme(buffer_);
  buffer_.curFg = buffer_.theme().themeBarFg;
  buffer_.curBg = kBoxBackground;
  for (int i = 0; i < 6; ++i)
    buffer_.putTextEcho(kBoxRow + i, kBoxColumn,
                        refused ? kRefusalBox[static_cast<std::size_t>(i)] : question[static_cast<std::size_t>(i)]);
  for (int column = kBoxColumn + 1; column <= kBoxColumn + 27; ++column)
    buffer_.at(kBoxRow + 6, column).attribute = kShadowAttribute;
  for (int row = kBoxRow + 1; row <= kBoxRow + 5; ++row) buffer_.at(row, kBoxColumn + 27).attribute = kShadowAttribute;
  mode_ = Mode::Confirm;
}

void SettingsScreen::answerDelete(Key answer) {
  mode_ = Mode::Fields;
  const std::string name = choiceName(selectedChoice());
  const bool refused = lowerAscii(name) == lowerAscii(calFile_) || file_.choices.size() < 2;
  if (!refused && (answer.is('j') || answer.is('J')) && isCalendarFileName(name)) {
    FileResult deleted = deleteCalendar(platform_, name);
    tell(deleted);
    if (!deleted) return;  // the screen stays, saying why
    rebuildSettingsFile();
  }
  leaveForReload();
}

// A list that cannot be written leaves the old one, whose lines the next
// start passes over where their calendars are gone.
void SettingsScreen::rebuildSettingsFile() {
  file_.choices = calendarChoiceLines(platform_, calFile_);
  FileResult written = writeSettingsFile(platform_, file_);
  if (!written) notice_ = saveFailedMessage(written.error());
}

bool SettingsScreen::calendarPresent(const std::string& name) const {
  return isCalendarFileName(name) && platform_.fileExists(name);
}

// After a copy or a deletion the settings are read again and the screen
// opens anew on the same line.
void SettingsScreen::leaveForReload() { reloadRequested_ = true; }

}  // namespace almanouk
