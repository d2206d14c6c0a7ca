#include "shell/Program.h"

#include <utility>

#include "alarm/AlarmSound.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarList.h"
#include "diary/DiaryStore.h"
#include "editors/CalendarManagement.h"
#include "help/ReadmeText.h"
#include "platform/FatalError.h"
#include "platform/Keys.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/ProgramExit.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"
#include "settings/SettingsFile.h"
#include "shell/Conversion.h"

namespace almanouk {
namespace {

constexpr std::string_view kTitle = " Almanouk/Agenda/Dagboek/Alarm v1.45  F1+F6 = Help - ";

// Where the window stood when the program last ended, in the data folder.
constexpr std::string_view kWindowPlacementFile = "Almanouk.venster";

// "Almanouk is geinitialiseerd" with the Windows-1252 i-diaeresis, eight blanks each side.
const std::string kStartNoticeWindows1252 = "        Almanouk is ge\xEFnitialiseerd        ";

}  // namespace

Program::Program(Platform& platform, std::string soundFolder)
    : app_(platform, std::move(soundFolder)), mainLoop_(app_) {}

int Program::run() {
  try {
    startUp();
    initialise();
    for (;;) {
      reloadEntry();
      if (mainLoop_.run() == MainLoop::End::Quit) break;
      initialise();
    }
    programEnd();
    return 0;
  } catch (const ProgramExit& exit) {
    app_.platform.closeAllFiles();
    app_.guard.release();
    return exit.status;
  }
}

void Program::startUp() {
  Platform& platform = app_.platform;
  Settings& settings = app_.settings;
  app_.watch.begin(platform.now());
  settings.popupMode = PopupMode::Notepad;
  settings.speakerOn = true;
  settings.soundOn = true;
  settings.chosenPosition = 0;
  CalendarDay today = calendarDay(platform.now());
  setDate(app_.date, today.day, today.month, today.year);
  settings.textColour = 12;
  settings.diaryDayColour = 13;
  // Started from the desktop's menu the program runs in the home folder,
  // which the readme is not to litter: the data folder gets it all the same.
  // A start folder the user cannot write to just gets none.
  if (!platform.workingFolderIsHome()) static_cast<void>(writeReadme(platform));

  enterDataFolder();
  guardSingleInstance();
  app_.versions.pruneAll();
  platform.useWindowFiles({std::string(kWindowPlacementFile), std::string(kRaiseRequestFile)});

  platform.showMessageBox(windows1252ToUtf8(kStartNoticeWindows1252), "Almanouk");
  platform.openScreen(640, 400, 32);
  app_.tell(writeReadme(platform));
  settings.savedCalFile.clear();
  if (needsDefaultSound(platform.files().contents(kDefaultSoundFile))) app_.tell(writeDefaultSound(platform));
}

// Without its folder the program has nowhere to keep anything: it says so and
// ends before it opens its window.
void Program::enterDataFolder() {
  Platform& platform = app_.platform;
  const std::string dataFolder = platform.dataFolder();
  platform.makeFolder(dataFolder);
  if (platform.changeFolder(dataFolder)) return;
  const std::string reason(describe(platform.files().lastProblem()));
  platform.showMessageBox("Almanouk kan zijn map niet gebruiken (" + reason + "): " + dataFolder, "Almanouk");
  throw ProgramExit{1};
}

// A copy that runs holds the data folder's lock, whatever screen it shows; a
// second copy asks it to bring its window forward, as single-window desktop
// programs do, and ends silently. The system drops the lock of a copy that
// died, so a marker left behind blocks nothing. A folder that cannot be
// locked or written is told, and the start ends: to the user a program that
// does not open must say why.
void Program::guardSingleInstance() {
  switch (app_.guard.acquire()) {
    case InstanceGuard::Outcome::Held: return;
    case InstanceGuard::Outcome::HeldElsewhere:
      app_.guard.askRunningCopyToComeForward();
      throw ProgramExit{0};
    case InstanceGuard::Outcome::Refused:
      app_.platform.showMessageBox(app_.guard.reason(), "Almanouk");
      throw ProgramExit{1};
  }
}

void Program::initialise() {
  Platform& platform = app_.platform;
  LoopState& loop = app_.loop;
  app_.date.monthChanged = true;  // the first pass handles nothing and waits for nothing
  loop.recomputePending = false;
  app_.settings.diaryId = "0";
  app_.alarm.dayCommandStarted = false;
  app_.alarm.speakerEnabled = true;
  app_.buffer.clearBuffer();
  const int makerWidth = ScreenBuffer::kColumns - static_cast<int>(kTitle.size());
  app_.titleText = std::string(kTitle) + padRight(kMakerLine, makerWidth);
  removeLeftovers();
  // A file that could only be tidied is used as it is; one of an older layout
  // cannot be, and the start ends saying why (not that the file is broken).
  Conversion conversion = convertOlderData(platform);
  if (conversion.required) fatalFileError(platform, "  " + saveFailedMessage(conversion.written.error()));
  app_.tell(conversion.written);
  app_.tell(migratePopupValue(platform));
  moveTextCursor(platform, ScreenBuffer::kTitleRow, 0);
  ensureACalendarExists();
}

// What a run that was cut short left behind: its temporary files, and a
// calendar delete it had begun.
void Program::removeLeftovers() {
  for (std::string_view name : temporary::kAll) app_.platform.discardFile(name);
  app_.tell(finishInterruptedDelete(app_.platform));
}

// With no calendar file at all the default one is made, with fresh settings
// marking it. The files are counted, not probed through a list file, and
// never is a file written over: a calendar whose name merely looks odd is
// still a calendar.
void Program::ensureACalendarExists() {
  Platform& platform = app_.platform;
  if (!calendarFileNames(platform).empty() || platform.fileExists(kDefaultCalendarFile)) return;
  app_.settings.calFile = std::string(kDefaultCalendarFile);
  // Without a calendar the program cannot go on; the settings stay as they are.
  if (FileResult made = writeCalendarTemplate(platform, app_.settings.calFile, app_.settings.diaryId); !made)
    fatalFileError(platform, "  " + saveFailedMessage(made.error()));
  platform.discardFile(kSettingsFile);
}

void Program::reloadEntry() {
  Platform& platform = app_.platform;
  Settings& settings = app_.settings;
  if (settingsFileMissingOrEmpty(platform)) app_.tell(writeDefaultSettings(platform, settings));
  app_.tell(readSettings(platform, settings, app_.buffer));
  app_.buffer.useTheme();
  {
    InputFile calendar(platform, settings.calFile, 1);
    calendar.nextLine();
    if (calendar.isOpen()) settings.diaryId = calendar.nextLine();
  }
  // The index and the sentinel pages of the diary the calendar names.
  buildDiaryIndex(platform, settings.diaryId);
  app_.tell(ensureSentinelPages(platform, settings.diaryId));
  app_.date.weekday = weekdayOf(app_.date.day, app_.date.month, app_.date.year);
  const std::optional<Input>& next = app_.loop.next;
  if (!next || next->command != Command::Diary) app_.monthView.drawMonthFrame();
  MonthInfo info = monthInfo(app_.date.month, app_.date.year);
  app_.date.monthName = info.name;
  app_.date.monthNamePad = info.pad;
  app_.date.daysInMonth = info.days;
}

void Program::programEnd() {
  Platform& platform = app_.platform;
  // What passes from the last watched moment on is told at the next start; nothing to tell when this fails.
  static_cast<void>(app_.watch.keep());
  app_.buffer.clearBuffer();
  platform.discardFile(kDiaryIndexFile);
  app_.guard.release();
  platform.showCursor();
  platform.closeScreen();
}

}  // namespace almanouk
