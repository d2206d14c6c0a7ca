#pragma once
// What the iCalendar export and import share: ownership of libical's
// components, dates as the calendar counts them, and the local time zone.

#include <libical/ical.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/System.h"

namespace almanouk::ical {

struct ComponentFree {
  void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// A text libical made for the caller.
struct TextFree {
  void operator()(char* text) const { icalmemory_free_buffer(text); }
};
using Text = std::unique_ptr<char, TextFree>;

using Date = std::chrono::year_month_day;

inline Date dateOf(const icaltimetype& time) {
  return Date{std::chrono::year{time.year}, std::chrono::month{static_cast<unsigned>(time.month)},
              std::chrono::day{static_cast<unsigned>(time.day)}};
}
inline int yearOf(const Date& date) { return static_cast<int>(date.year()); }
inline int monthOf(const Date& date) { return static_cast<int>(static_cast<unsigned>(date.month())); }
inline int dayOf(const Date& date) { return static_cast<int>(static_cast<unsigned>(date.day())); }
// 1 = Monday ... 7 = Sunday, as the calendar files count.
inline int weekdayOf(const Date& date) {
  return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{date}}.iso_encoding());
}
inline Date addDays(const Date& date, int days) {
  return Date{std::chrono::sys_days{date} + std::chrono::days{days}};
}
inline int daysBetween(const Date& from, const Date& to) {
  return static_cast<int>((std::chrono::sys_days{to} - std::chrono::sys_days{from}).count());
}

// The zone the zone database knows by the name ("Europe/Amsterdam"); none for
// an empty or unknown name. Where the program ships the database (Windows),
// libical is pointed there once: its own guess misses the program's folder.
inline icaltimezone* databaseZone(const std::string& name) {
  static const bool pointed = [] {
    const std::string folder = os::zoneDataFolder();
    if (!folder.empty()) set_zone_directory(folder.c_str());
    return true;
  }();
  (void)pointed;
  if (name.empty()) return nullptr;
  return icaltimezone_get_builtin_timezone(name.c_str());
}

// The zone the calendar's times are in; UTC when the database does not know the name.
inline icaltimezone* zoneNamed(const std::string& name) {
  icaltimezone* zone = databaseZone(name);
  return zone ? zone : icaltimezone_get_utc_timezone();
}

}  // namespace almanouk::ical
