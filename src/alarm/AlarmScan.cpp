#include "alarm/AlarmScan.h"

#include "alarm/AlarmSound.h"
#include "alarm/AlarmState.h"
#include "alarm/DueAlarms.h"
#include "alarm/Popups.h"
#include "alarm/SpeakerTone.h"
#include "calendar/CalendarCache.h"
#include "calendar/CalendarEntry.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "settings/Settings.h"
#include "platform/Platform.h"
#include "platform/System.h"
#include "platform/Text.h"

namespace almanouk {

AlarmScanner::AlarmScanner(Platform& platform, const Settings& settings, AlarmState& state,
                           const std::string& soundFolder, CalendarCache& calendars)
    : platform_(platform),
      settings_(settings),
      state_(state),
      soundFolder_(soundFolder),
      calendars_(calendars) {}

bool AlarmScanner::alarmScan(const LocalDateTime& now) {
  bool toldAlarm = false;
  for (const DueAlarm& alarm : untold(now)) {
    perform(alarm);
    toldAlarm = toldAlarm || !alarm.command;
  }
  // A Space silences the tone of the next alarm only.
  if (toldAlarm) state_.speakerEnabled = true;
  return toldAlarm;
}

void AlarmScanner::toldElsewhere(const LocalDateTime& now) { untold(now); }

std::vector<DueAlarm> AlarmScanner::untold(const LocalDateTime& now) {
  const std::int64_t minute = now.toMilliseconds() / 60'000;
  const std::optional<FileVersion> version = platform_.files().version(settings_.calFile);
  if (minute == scannedMinute_ && settings_.calFile == scannedFile_ && version && scannedVersion_ &&
      version->settled && *version == *scannedVersion_)
    return {};
  if (minute != scannedMinute_) told_.clear();
  scannedMinute_ = minute;
  scannedFile_ = settings_.calFile;
  scannedVersion_ = version;
  std::vector<DueAlarm> due = alarmsDue(*calendars_.get(settings_.calFile), calendarDay(now), now.hour * 60 + now.minute);
  std::erase_if(due, [&](const DueAlarm& alarm) { return !told_.insert(alarm.told).second; });
  return due;
}

void AlarmScanner::perform(const DueAlarm& due) {
  if (due.command) {
    startTimeCommand(due.told);
  } else {
    tell(due.told, true);
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

// With a message box the sound comes first; with the page, the viewer is
// started first. A page the desktop's viewer cannot show (none there, or one
// that fails) is shown in the box instead. A window the user is not at asks
// for attention.
void AlarmScanner::tell(const std::string& line, bool withPopup) {
  const PopupMode popup = settings_.popupMode;
  if (withPopup && popup != PopupMode::Off && !platform_.windowInFront()) platform_.askForAttention();
  if (withPopup && popup == PopupMode::Message && settings_.soundOn) playSound();
  if (withPopup && popup == PopupMode::Message) showBox(line);
  if (withPopup && popup == PopupMode::Notepad &&
      !(writeAlarmPage(platform_, line) && platform_.showTextFile(kAlarmPageFile)))
    showBox(line);
  if (withPopup && popup == PopupMode::Notepad && settings_.soundOn) playSound();
  state_.toneFrequency = nextToneFrequency(state_.toneFrequency);
  if (state_.speakerEnabled && settings_.speakerOn) speakerTone(platform_, state_.toneFrequency, kToneMilliseconds);
}

// "Sluimeren" brings the alarm back in five minutes. Away from the window,
// the desktop's notification stands in for the box where there is one: it
// waits for its answer without holding up the program.
void AlarmScanner::showBox(const std::string& line) {
  if (!platform_.windowInFront() && platform_.notifier()) {
    if (std::optional<std::uint32_t> id = platform_.notifier()->notify("Almanouk", cp437ToUtf8(line), true)) {
      state_.notified[*id] = line;
      return;
    }
  }
  if (showAlarmBox(platform_, line) == AlarmAnswer::Snooze) snooze(line);
}

void AlarmScanner::snooze(const std::string& line) {
  state_.snoozed.push_back({platform_.now().toMilliseconds() + kSnoozeMs, line});
}

void AlarmScanner::takeNotificationAnswers() {
  if (state_.notified.empty() || !platform_.notifier()) return;
  for (const AnsweredNotification& answered : platform_.notifier()->takeAnswers()) {
    auto notified = state_.notified.find(answered.id);
    if (notified == state_.notified.end()) continue;
    if (answered.answer == NotificationAnswer::Snooze) snooze(notified->second);
    state_.notified.erase(notified);
  }
}

// A sound that cannot start takes nothing else with it: the alarm goes on
// without it, the status line says why once, and the next alarm tries again.
void AlarmScanner::playSound() {
  std::vector<std::string> sounds;
  listSoundFiles(platform_, soundFolder_, sounds);
  const std::string sound = sounds.empty() ? std::string() : sounds.front();
  const SoundOutcome outcome = playSoundFile(platform_, sound);
  if (outcome == SoundOutcome::Played) {
    state_.soundFailureTold = false;
  } else if (!std::exchange(state_.soundFailureTold, true)) {
    notice_ = outcome == SoundOutcome::NoPlayer
                  ? "Geen alarmgeluid: het geluid kan niet starten"
                  : "Geen alarmgeluid: " + utf8ToCp437(os::splitPath(sound).second) + " is niet af te spelen";
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
