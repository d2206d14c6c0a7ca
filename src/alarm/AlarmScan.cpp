#include "alarm/AlarmScan.h"

#include "alarm/AlarmSound.h"
#include "alarm/AlarmState.h"
#include "alarm/Popups.h"
#include "alarm/SpeakerTone.h"
#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"
#include "settings/Settings.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {
namespace {


}  // namespace

// One call of the scan: today, the current minute and the line being examined.
struct AlarmScanner::Scan {
  Scan(Platform& platform, const std::string& calFile) : reader(platform, calFile) {}

  CalendarReader reader;
  std::string scanLine;
  std::string minute;     // hh:mm
  std::string todayDay;   // two digits
  int day = 0, month = 0, year = 0;

  void readNext() { reader.next(scanLine); }
  int lineNumber() const { return reader.lineNumber(); }
};

AlarmScanner::AlarmScanner(Platform& platform, const Settings& settings, AlarmState& state, ScreenBuffer& buffer,
                           const std::string& soundFolder)
    : platform_(platform), settings_(settings), state_(state), buffer_(buffer), soundFolder_(soundFolder) {}

AlarmScanner::Inputs AlarmScanner::inputs(const std::string& date, const std::string& minute) {
  return {settings_.calFile,       platform_.files().version(settings_.calFile),
          minute,                  date,
          state_.alarmMinuteDone,  state_.commandArmed,
          state_.speakerEnabled,   state_.toneFrequency,
          state_.lastCommandLine};
}

// A scan is a function of the file, the minute and the state: when one
// changed nothing, the next with the same inputs would change nothing either.
void AlarmScanner::alarmScan() {
  const std::string date = platform_.currentDate();
  const std::string minute = left(platform_.currentTime(), 5);
  Inputs before = inputs(date, minute);
  if (unchanged_ && *unchanged_ == before) return;
  marksChanged_ = false;
  scanPasses(date, minute);
  Inputs after = inputs(date, minute);
  bool settled = before.version && before.version->settled;
  if (settled && after == before && !marksChanged_) {
    unchanged_ = before;
  } else {
    unchanged_.reset();
  }
}

void AlarmScanner::scanPasses(const std::string& date, const std::string& minute) {
  for (Pass pass : {Pass::Monthly, Pass::Weekly, Pass::Daily, Pass::Month}) {
    Scan scan(platform_, settings_.calFile);
    scan.minute = minute;
    scan.todayDay = mid(date, 4, 2);
    scan.day = intValue(scan.todayDay);
    scan.month = intValue(date);
    scan.year = intValue(right(date, 4));
    runPass(scan, pass);
  }
}

void AlarmScanner::runPass(Scan& scan, Pass pass) {
  std::string header;
  switch (pass) {
    case Pass::Monthly: header = "maandelijks"; break;
    case Pass::Weekly: header = "wekelijks"; break;
    case Pass::Daily: header = "dagelijks"; break;
    case Pass::Month: header = lowerAscii(monthSectionName(scan.month)); break;
  }
  if (header.empty() || !scan.reader.findSection(header, scan.scanLine)) return;
  const std::string weekday =
      lowerAscii(std::string(weekdayAbbreviation(weekdayOf(scan.day, scan.month, scan.year))) + " ");
  while (!scan.scanLine.empty()) {
    if (pass == Pass::Monthly || pass == Pass::Month) {
      entryStep(scan);
    } else if (pass == Pass::Weekly ? lowerAscii(left(scan.scanLine, 3)) == weekday
                                    : entry::startsWithTime(scan.scanLine)) {
      // Weekly and daily entries become entries of today's day.
      scan.scanLine = scan.todayDay + " " + scan.scanLine;
      dayRun(scan);
    } else {
      scan.readNext();
    }
  }
}

// A year written after the day restricts the entry to that year.
void AlarmScanner::entryStep(Scan& scan) {
  if (!scan.scanLine.empty() && scan.scanLine[0] == ' ') scan.scanLine.erase(0, 1);
  int year = entry::namedYear(scan.scanLine);
  if (year != 0 && year != scan.year) {
    scan.readNext();
  } else {
    dayRun(scan);
  }
}

void AlarmScanner::dayRun(Scan& scan) {
  do {
    const std::string& line = scan.scanLine;
    bool minuteInLine = entry::mentionsMinute(line, scan.minute);
    if (line == state_.lastCommandLine && !minuteInLine) {
      state_.lastCommandLine.clear();
      state_.commandArmed = 1;
    }
    int year = entry::dueYear(line);
    bool forToday = entry::leadingNumber(line) == scan.day && (year == 0 || year == scan.year);
    if (forToday) {
      if (minuteInLine && state_.alarmMinuteDone == 0) {
        fire(scan);
        state_.alarmMinuteDone = 1;
      } else {
        cleanUp(scan);
      }
    }
    scan.readNext();
  } while (!scan.scanLine.empty() && entry::leadingNumber(scan.scanLine) == scan.day);
}

// Marks exist for the first 4000 lines; later lines fire without one.
int* AlarmScanner::mark(const Scan& scan) {
  int number = scan.lineNumber();
  return number >= 0 && number < AlarmState::kMarkedLines ? &state_.firedMarks[static_cast<std::size_t>(number)]
                                                          : nullptr;
}

void AlarmScanner::cleanUp(Scan& scan) {
  int* fired = mark(scan);
  if (!fired || *fired != 1) return;
  state_.speakerEnabled = 1;
  state_.commandArmed = 1;
  buffer_.at(2, 63) = buffer_.blankCell();
  *fired = 0;
  marksChanged_ = true;
}

void AlarmScanner::fire(Scan& scan) {
  if (entry::isTimeCommand(scan.scanLine)) {
    if (state_.commandArmed == 0) return;
    state_.commandArmed = 0;
    state_.lastCommandLine = scan.scanLine;
    startTimeCommand(scan.scanLine);
  } else {
    announce(scan);
  }
}

void AlarmScanner::startTimeCommand(const std::string& line) {
  std::string command = entry::commandText(line);
  if (mid(command, 2, 2) == ":\\") {
    platform_.runCommand("start " + left(command, 3) + "\"" + mid(command, 4) + "\"");
  } else if (left(command, 1) == "\\") {
    platform_.runCommand("start \\\"" + mid(command, 2) + "\"");
  } else {
    platform_.runCommand("start " + command);
  }
}

// With a message box the sound comes first; with the page, the viewer is started first.
void AlarmScanner::announce(Scan& scan) {
  int* fired = mark(scan);
  bool fresh = !fired || *fired == 0;
  const PopupMode popup = settings_.popupMode;
  if (fresh && popup == PopupMode::Message && settings_.soundOn) playAlarmSound(platform_, soundFolder_);
  if (fresh && popup == PopupMode::Message) showAlarmBox(platform_, scan.scanLine);
  if (fresh && popup == PopupMode::Notepad) {
    // A page that cannot be written would show nothing, or an older alarm: the box shows this one.
    if (writeAlarmPage(platform_, scan.scanLine)) {
      platform_.runCommand("start notepad alarm.txt");
    } else {
      showAlarmBox(platform_, scan.scanLine);
    }
  }
  if (fresh && popup == PopupMode::Notepad && settings_.soundOn) playAlarmSound(platform_, soundFolder_);
  if (fired) *fired = 1;
  marksChanged_ = true;
  state_.toneFrequency = nextToneFrequency(state_.toneFrequency);
  if (state_.speakerEnabled == 1 && settings_.speakerOn) speakerTone(platform_, state_.toneFrequency, kToneMilliseconds);
}

bool AlarmScanner::launchDayCommand(const std::string& line) {
  if (settings_.popupMode == PopupMode::Off) return false;
  bool started = false;
  if (state_.dayCommandMarker.empty()) {
    platform_.runCommand("\"" + entry::commandText(line) + "\"");
    started = true;
  }
  state_.dayCommandMarker = "stop";
  return started;
}

}  // namespace almanouk
