#include "alarm/DueAlarms.h"

#include <algorithm>

#include "calendar/CalendarEntry.h"
#include "calendar/CalendarModel.h"

namespace almanouk {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string twoDigits(int value) { return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10); }

// The sections in the order the scan goes through them on the day.
std::vector<Section> scanOrder(const CalendarDay& day) {
  std::vector<Section> order = {Section::Monthly, Section::Weekly, Section::Daily};
  if (day.month >= 1 && day.month <= 12) order.push_back(monthSection(day.month));
  return order;
}

DueAlarm dueAlarm(const Entry& entry, const CalendarDay& day, int minute) {
  const bool putOnDay = entry.section == Section::Weekly || entry.section == Section::Daily;
  std::string told = putOnDay ? twoDigits(day.day % 100) + " " + std::string(entry.line) : std::string(entry.line);
  return {&entry, minute, std::move(told), entry::isTimeCommand(entry.line)};
}

}  // namespace

bool alarmCountsOn(const Entry& entry, const CalendarDay& day) {
  const bool inYear = entry.listedYear() == 0 || entry.listedYear() == day.year;
  switch (entry.section) {
    case Section::Daily: return entry::startsWithTime(entry.line);
    case Section::Weekly: return inYear && entry.day == weekdayOf(day.day, day.month, day.year);
    case Section::Monthly: return inYear && entry.day == day.day;
    default: return inYear && entry.day == day.day && entry.section == monthSection(day.month);
  }
}

std::vector<int> minutesNamedIn(std::string_view line) {
  std::vector<int> minutes;
  for (std::size_t colon = line.find(':', 2); colon != std::string_view::npos && colon + 2 < line.size();
       colon = line.find(':', colon + 1)) {
    const char h1 = line[colon - 2], h2 = line[colon - 1], m1 = line[colon + 1], m2 = line[colon + 2];
    if (!isDigit(h1) || !isDigit(h2) || !isDigit(m1) || !isDigit(m2)) continue;
    const int hour = (h1 - '0') * 10 + (h2 - '0'), minute = (m1 - '0') * 10 + (m2 - '0');
    if (hour < 24 && minute < 60 && std::find(minutes.begin(), minutes.end(), hour * 60 + minute) == minutes.end())
      minutes.push_back(hour * 60 + minute);
  }
  return minutes;
}

std::vector<DueAlarm> alarmsDue(const CalendarModel& calendar, const CalendarDay& day, int minute) {
  std::vector<DueAlarm> due;
  for (const DueAlarm& alarm : alarmsDueOn(calendar, day))
    if (alarm.minute == minute) due.push_back(alarm);
  return due;
}

std::vector<DueAlarm> alarmsDueOn(const CalendarModel& calendar, const CalendarDay& day) {
  std::vector<DueAlarm> due;
  for (Section section : scanOrder(day))
    for (const Entry& entry : calendar.entries(section)) {
      if (!alarmCountsOn(entry, day)) continue;
      for (int minute : minutesNamedIn(entry.line)) due.push_back(dueAlarm(entry, day, minute));
    }
  std::stable_sort(due.begin(), due.end(), [](const DueAlarm& a, const DueAlarm& b) { return a.minute < b.minute; });
  // The same line twice in a file is one alarm, not two boxes.
  std::vector<DueAlarm> once;
  for (DueAlarm& alarm : due) {
    bool told = false;
    for (auto earlier = once.rbegin(); !told && earlier != once.rend() && earlier->minute == alarm.minute; ++earlier)
      told = earlier->told == alarm.told;
    if (!told) once.push_back(std::move(alarm));
  }
  return once;
}

}  // namespace almanouk
