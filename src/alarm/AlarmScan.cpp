#include "alarm/AlarmScan.h"

#include "alarm/AlarmSound.h"
#include "alarm/AlarmState.h"
#include "alarm/Popups.h"
#include "alarm/SpeakerTone.h"
#include "calendar/CalendarCache.h"
#include "calendar/CalendarEntry.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "settings/Settings.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {

// One pass of a scan: today, the current minute, and the line being examined
// among the entries of the pass's section.
struct AlarmScanner::Scan {
  // How the line in hand relates to its entry: as written, with one leading
  // blank dropped by the entry step, or a weekly or daily line put on today's day.
  enum class Form { Written, Stepped, OnToday };

  std::string minute;    // hh:mm
  std::string todayDay;  // two digits
  int day = 0, month = 0, year = 0;

  std::span<const Entry> run;  // the section's lines up to the blank line that ends it
  std::size_t at = 0;          // run.size(): that blank line
  std::string_view line;       // the scan line; empty past the run
  Form form = Form::Written;
  std::string onToday;         // the line put on today's day

  void start(std::span<const Entry> entries) {
    run = entries;
    at = 0;
    line = run.empty() ? std::string_view() : run[0].line;
    form = Form::Written;
  }
  void readNext() {
    ++at;
    line = at < run.size() ? run[at].line : std::string_view();
    form = Form::Written;
  }
  const Entry& entry() const { return run[at]; }
  int lineNumber() const { return entry().lineNumber; }
  int leadingNumber() const { return form == Form::OnToday ? entry::leadingNumber(line) : entry().leadingNumber(); }
  int dueYear() const { return form == Form::Stepped ? entry().dueYear() : entry::dueYear(line); }
};

AlarmScanner::AlarmScanner(Platform& platform, const Settings& settings, AlarmState& state, ScreenBuffer& buffer,
                           const std::string& soundFolder, CalendarCache& calendars)
    : platform_(platform),
      settings_(settings),
      state_(state),
      buffer_(buffer),
      soundFolder_(soundFolder),
      calendars_(calendars) {}

AlarmScanner::Inputs AlarmScanner::inputs(const CalendarDay& today, const std::string& minute) {
  return {settings_.calFile,       platform_.files().version(settings_.calFile),
          minute,                  today,
          state_.alarmMinuteDone,  state_.commandArmed,
          state_.speakerEnabled,   state_.toneFrequency,
          state_.lastCommandLine};
}

// A scan is a function of the file, the minute and the state: when one
// changed nothing, the next with the same inputs would change nothing either.
void AlarmScanner::alarmScan(const LocalDateTime& now) {
  const CalendarDay today = calendarDay(now);
  const std::string minute = left(now.clockText(), 5);
  Inputs before = inputs(today, minute);
  if (unchanged_ && *unchanged_ == before) return;
  marksChanged_ = false;
  scanPasses(today, minute);
  Inputs after = inputs(today, minute);
  bool settled = before.version && before.version->settled;
  if (settled && after == before && !marksChanged_) {
    unchanged_ = before;
  } else {
    unchanged_.reset();
  }
}

void AlarmScanner::scanPasses(const CalendarDay& today, const std::string& minute) {
  std::shared_ptr<const CalendarModel> calendar = calendars_.get(settings_.calFile);
  Scan scan;
  scan.minute = minute;
  scan.todayDay = right("0" + toText(today.day), 2);
  scan.day = today.day;
  scan.month = today.month;
  scan.year = today.year;
  for (Section section : {Section::Monthly, Section::Weekly, Section::Daily})
    runPass(scan, *calendar, section);
  if (scan.month >= 1 && scan.month <= 12) runPass(scan, *calendar, monthSection(scan.month));
}

namespace {

// A weekly entry on today's weekday; one that names a year only in that year,
// as the event list and the export take it.
bool weeklyToday(const Entry& entry, int weekday, int year) {
  return entry.day == weekday && (!entry.year || *entry.year == year);
}

}  // namespace

void AlarmScanner::runPass(Scan& scan, const CalendarModel& calendar, Section section) {
  scan.start(calendar.entries(section));
  const int weekday = weekdayOf(scan.day, scan.month, scan.year);
  while (!scan.line.empty()) {
    if (section != Section::Weekly && section != Section::Daily) {
      entryStep(scan);
    } else if (section == Section::Weekly ? weeklyToday(scan.entry(), weekday, scan.year)
                                          : entry::startsWithTime(scan.line)) {
      // Weekly and daily entries become entries of today's day.
      scan.onToday = scan.todayDay + " " + std::string(scan.line);
      scan.line = scan.onToday;
      scan.form = Scan::Form::OnToday;
      dayRun(scan);
    } else {
      scan.readNext();
    }
  }
}

// A year written after the day restricts the entry to that year.
void AlarmScanner::entryStep(Scan& scan) {
  scan.line = entry::withoutLeadingBlank(scan.line);
  scan.form = Scan::Form::Stepped;
  int year = scan.entry().namedYear();
  if (year != 0 && year != scan.year) {
    scan.readNext();
  } else {
    dayRun(scan);
  }
}

// Goes on with the lines after it while their number is today's, taking
// them as written: such a line skips the entry step and its year.
void AlarmScanner::dayRun(Scan& scan) {
  do {
    const std::string_view line = scan.line;
    const bool lastCommand = line == state_.lastCommandLine;
    int year = scan.dueYear();
    bool forToday = scan.leadingNumber() == scan.day && (year == 0 || year == scan.year);
    // The minute is looked for only where the answer counts: lines can be long.
    bool minuteInLine = (lastCommand || forToday) && entry::mentionsMinute(line, scan.minute);
    if (lastCommand && !minuteInLine) {
      state_.lastCommandLine.clear();
      state_.commandArmed = true;
    }
    if (forToday) {
      if (minuteInLine && !state_.alarmMinuteDone) {
        fire(scan);
        state_.alarmMinuteDone = true;
      } else {
        cleanUp(scan);
      }
    }
    scan.readNext();
  } while (!scan.line.empty() && scan.leadingNumber() == scan.day);
}

// Marks exist for the first 4000 lines; later lines fire without one.
bool* AlarmScanner::mark(const Scan& scan) {
  int number = scan.lineNumber();
  return number >= 0 && number < AlarmState::kMarkedLines ? &state_.firedMarks[static_cast<std::size_t>(number)]
                                                          : nullptr;
}

void AlarmScanner::cleanUp(Scan& scan) {
  bool* fired = mark(scan);
  if (!fired || *fired != 1) return;
  state_.speakerEnabled = true;
  state_.commandArmed = true;
  buffer_.at(2, 63) = buffer_.blankCell();
  *fired = 0;
  marksChanged_ = true;
}

void AlarmScanner::fire(Scan& scan) {
  if (entry::isTimeCommand(scan.line)) {
    if (!state_.commandArmed) return;
    state_.commandArmed = false;
    state_.lastCommandLine = scan.line;
    startTimeCommand(state_.lastCommandLine);
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

void AlarmScanner::announce(Scan& scan) {
  bool* fired = mark(scan);
  tell(std::string(scan.line), !fired || !*fired);
  if (fired) *fired = true;
  marksChanged_ = true;
}

// With a message box the sound comes first; with the page, the viewer is
// started first. A page the desktop's viewer cannot show (none there, or one
// that fails) is shown in the box instead.
void AlarmScanner::tell(const std::string& line, bool withPopup) {
  const PopupMode popup = settings_.popupMode;
  if (withPopup && popup == PopupMode::Message && settings_.soundOn) playSound();
  if (withPopup && popup == PopupMode::Message) showBox(line);
  if (withPopup && popup == PopupMode::Notepad &&
      !(writeAlarmPage(platform_, line) && platform_.showTextFile(kAlarmPageFile)))
    showBox(line);
  if (withPopup && popup == PopupMode::Notepad && settings_.soundOn) playSound();
  state_.toneFrequency = nextToneFrequency(state_.toneFrequency);
  if (state_.speakerEnabled && settings_.speakerOn) speakerTone(platform_, state_.toneFrequency, kToneMilliseconds);
}

// "Sluimeren" brings the alarm back in five minutes.
void AlarmScanner::showBox(const std::string& line) {
  if (showAlarmBox(platform_, line) == AlarmAnswer::Snooze)
    state_.snoozed.push_back({platform_.now().toMilliseconds() + kSnoozeMs, line});
}

// A sound that cannot start takes nothing else with it: the alarm goes on
// without it, the status line says why once, and the next alarm tries again.
void AlarmScanner::playSound() {
  if (playAlarmSound(platform_, soundFolder_)) {
    state_.soundFailureTold = false;
  } else if (!std::exchange(state_.soundFailureTold, true)) {
    notice_ = "Geen alarmgeluid: het geluid kan niet starten";
  }
}

void AlarmScanner::tellLate(const std::vector<MissedAlarm>& missed) {
  for (const MissedAlarm& alarm : missed) tell(lateAlarmText(alarm), true);
}

void AlarmScanner::tellSnoozed(const LocalDateTime& now) {
  std::vector<AlarmState::Snoozed> due;
  std::erase_if(state_.snoozed, [&](const AlarmState::Snoozed& snoozed) {
    if (snoozed.dueMs > now.toMilliseconds()) return false;
    due.push_back(snoozed);
    return true;
  });
  for (const AlarmState::Snoozed& snoozed : due) tell(snoozed.line, true);
}

std::string AlarmScanner::takeNotice() { return std::exchange(notice_, std::string()); }

bool AlarmScanner::launchDayCommand(const std::string& line) {
  if (settings_.popupMode == PopupMode::Off) return false;
  bool started = false;
  if (!state_.dayCommandStarted) {
    platform_.runCommand("\"" + entry::commandText(line) + "\"");
    started = true;
  }
  state_.dayCommandStarted = true;
  return started;
}

}  // namespace almanouk
