#include "calendar/ICalExport.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <variant>

#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "calendar/ICal.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

using ical::Date;

constexpr const char* kProductId = "-//Almanouk//Almanouk 1.45//NL";

// When an entry's event happens: its first day and its rule ("" for once).
struct Recurrence {
  Date start;
  std::string rule;
};
// Why an entry has no event, in the words of the report.
using Occurrence = std::variant<Recurrence, std::string>;

Date dateOn(int year, int month, int day) {
  return Date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
              std::chrono::day{static_cast<unsigned>(day)}};
}

std::string untilEndOf(int year, bool timed) { return ";UNTIL=" + std::to_string(year) + (timed ? "1231T235959" : "1231"); }

// "Maandelijks": the first month of the year that has the day.
Occurrence monthly(const Entry& entry, int baseYear) {
  if (entry.day < 1 || entry.day > 31) return std::string("geen dag van de maand");
  int year = entry.year.value_or(baseYear);
  int month = 1;
  while (!dateOn(year, month, entry.day).ok()) ++month;
  std::string rule = "FREQ=MONTHLY;BYMONTHDAY=" + std::to_string(entry.day);
  if (entry.year) rule += untilEndOf(year, entry.time.has_value());
  return Recurrence{dateOn(year, month, entry.day), rule};
}

Occurrence weekly(const Entry& entry, int baseYear) {
  if (entry.day < 1) return std::string("geen weekdag (Ma, Di, Wo, Do, Vr, Za of Zo)");
  static constexpr const char* kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
  int year = entry.year.value_or(baseYear);
  Date first = dateOn(year, 1, 1);
  first = ical::addDays(first, (entry.day - ical::weekdayOf(first) + 7) % 7);
  std::string rule = std::string("FREQ=WEEKLY;BYDAY=") + kDays[entry.day - 1];
  if (entry.year) rule += untilEndOf(year, entry.time.has_value());
  return Recurrence{first, rule};
}

Occurrence daily(const Entry& entry, int baseYear) {
  if (!entry.time) return std::string("geen tijd (uu:mm) vooraan");
  return Recurrence{dateOn(baseYear, 1, 1), "FREQ=DAILY"};
}

// A month's entry: that date once in its year, or yearly from the first year
// on that has it (29 February: the next leap year).
Occurrence dated(const Entry& entry, int month, int baseYear) {
  std::string day = std::to_string(entry.day) + " " + lowerAscii(monthSectionName(month));
  if (entry.day < 1 || entry.day > 31) return std::string("geen dag van de maand");
  if (entry.year) {
    if (!dateOn(*entry.year, month, entry.day).ok()) return day + " " + std::to_string(*entry.year) + " bestaat niet";
    return Recurrence{dateOn(*entry.year, month, entry.day), ""};
  }
  for (int year = baseYear; year < baseYear + 8; ++year)
    if (dateOn(year, month, entry.day).ok()) return Recurrence{dateOn(year, month, entry.day), "FREQ=YEARLY"};
  return day + " bestaat niet";
}

Occurrence occurrenceOf(const Entry& entry, int baseYear) {
  switch (entry.section) {
    case Section::Monthly: return monthly(entry, baseYear);
    case Section::Weekly: return weekly(entry, baseYear);
    case Section::Daily: return daily(entry, baseYear);
    default: return dated(entry, static_cast<int>(entry.section) - static_cast<int>(Section::January) + 1, baseYear);
  }
}

// The command an entry starts: after "# " behind its fields, or the day
// command's text from two characters after its "#".
std::optional<std::string> commandOf(const Entry& line) {
  if (line.command) return std::string(*line.command);
  if (!line.time && line.isDayCommand()) return entry::commandText(line.aligned());
  return std::nullopt;
}

// The same entry exported twice gets the same identity; two equal lines in one section differ by their count.
std::string uidOf(const std::string& calendar, const Entry& entry, int repeat) {
  const std::uint64_t hash = textFingerprint(
      {calendar, sectionHeader(static_cast<int>(entry.section)), entry.line, std::to_string(repeat)});
  char text[40];
  std::snprintf(text, sizeof text, "%016llx@almanouk", static_cast<unsigned long long>(hash));
  return text;
}

icaltimetype startOf(const Date& date, std::optional<int> minute) {
  icaltimetype start = icaltime_null_time();
  start.year = ical::yearOf(date);
  start.month = ical::monthOf(date);
  start.day = ical::dayOf(date);
  start.is_date = minute ? 0 : 1;
  if (minute) {
    start.hour = *minute / 60;
    start.minute = *minute % 60;
  }
  return start;
}

icaltimetype stampOf(const ExportClock& clock) {
  icaltimetype local = icaltime_null_time();
  local.year = clock.now.year;
  local.month = clock.now.month;
  local.day = clock.now.day;
  local.hour = clock.now.hour;
  local.minute = clock.now.minute;
  local.second = clock.now.second;
  local.zone = ical::zoneNamed(clock.timeZone);
  return icaltime_convert_to_zone(local, icaltimezone_get_utc_timezone());
}

void addText(icalcomponent* event, icalproperty* property) { icalcomponent_add_property(event, property); }

// An alarm at the event's start, as the program pops up at an entry's minute.
icalcomponent* alarmFor(const std::string& summary) {
  icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
  icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
  icaltriggertype trigger{};
  trigger.time = icaltime_null_time();
  trigger.duration = icaldurationtype_null_duration();
  icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
  icalcomponent_add_property(alarm, icalproperty_new_description(summary.c_str()));
  return alarm;
}

class Exporter {
 public:
  Exporter(const ExportClock& clock, ExportReport& report)
      : calendar_(icalcomponent_new(ICAL_VCALENDAR_COMPONENT)),
        baseYear_(clock.now.year),
        stamp_(stampOf(clock)),
        report_(report) {
    icalcomponent_add_property(calendar_.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar_.get(), icalproperty_new_prodid(kProductId));
  }

  void add(const ExportedCalendar& source, bool named) {
    const CalendarModel& calendar = source.calendar;
    const std::string description = calendar.lines().empty() ? std::string() : cp437ToUtf8(calendar.lines()[0]);
    if (named) {
      icalproperty* name = icalproperty_new_x(description.c_str());
      icalproperty_set_x_name(name, "X-WR-CALNAME");
      icalcomponent_add_property(calendar_.get(), name);
    }
    // The category list is separated by commas, which libical does not escape in it.
    std::string category = description;
    for (char& c : category)
      if (c == ',') c = ';';
    for (const DeadLine& dead : deadLines(calendar)) skip(source.name, dead.lineNumber, dead.line, dead.why);
    std::map<std::pair<Section, std::string_view>, int> seen;
    for (const Entry& entry : calendar.entries()) {
      if (!hasSectionShape(entry.section, entry.line)) continue;  // named with the dead lines
      Occurrence occurrence = occurrenceOf(entry, baseYear_);
      if (const std::string* whyNot = std::get_if<std::string>(&occurrence)) {
        skip(source.name, entry.lineNumber, entry.line, *whyNot);
        continue;
      }
      int repeat = seen[{entry.section, entry.line}]++;
      addEvent(entry, std::get<Recurrence>(occurrence), uidOf(source.name, entry, repeat),
               source.categorised ? &category : nullptr);
    }
  }

  // The one entry's event; why it has none otherwise.
  std::string addOne(const Entry& entry, const std::string& uid) {
    Occurrence occurrence = occurrenceOf(entry, baseYear_);
    if (const std::string* whyNot = std::get_if<std::string>(&occurrence)) return cp437ToUtf8(*whyNot);
    addEvent(entry, std::get<Recurrence>(occurrence), uid, nullptr);
    return {};
  }

  std::string text() {
    ical::Text text(icalcomponent_as_ical_string_r(calendar_.get()));
    return text ? std::string(text.get()) : std::string();
  }

 private:
  void addEvent(const Entry& entry, const Recurrence& recurrence, const std::string& uid,
                const std::string* category) {
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    const std::string summary = cp437ToUtf8(entry.text);
    addText(event, icalproperty_new_uid(uid.c_str()));
    addText(event, icalproperty_new_dtstamp(stamp_));
    addText(event, icalproperty_new_dtstart(startOf(recurrence.start, entry.time)));
    if (!recurrence.rule.empty())
      addText(event, icalproperty_new_rrule(icalrecurrencetype_from_string(recurrence.rule.c_str())));
    addText(event, icalproperty_new_summary(summary.c_str()));
    if (category) addText(event, icalproperty_new_categories(category->c_str()));
    std::optional<std::string> command = commandOf(entry);
    if (command) {
      const std::string text = cp437ToUtf8(*command);
      addText(event, icalproperty_new_description(text.c_str()));
      icalproperty* property = icalproperty_new_x(text.c_str());
      icalproperty_set_x_name(property, "X-ALMANOUK-COMMAND");
      addText(event, property);
    } else if (entry.time) {
      icalcomponent_add_component(event, alarmFor(summary));
    }
    icalcomponent_add_component(calendar_.get(), event);
    ++report_.events;
  }

  void skip(const std::string& calendar, int lineNumber, std::string_view line, const std::string& why) {
    report_.skipped.push_back(calendar + " regel " + std::to_string(lineNumber) + " (" + cp437ToUtf8(line) +
                              "): " + cp437ToUtf8(why));
  }

  ical::Component calendar_;
  int baseYear_;
  icaltimetype stamp_;
  ExportReport& report_;
};

}  // namespace

std::string exportICalendar(std::span<const ExportedCalendar> calendars, const ExportClock& clock,
                            ExportReport& report) {
  Exporter exporter(clock, report);
  for (const ExportedCalendar& calendar : calendars) exporter.add(calendar, calendars.size() == 1);
  return exporter.text();
}

EntryEvent exportEntry(const Entry& entry, const std::string& uid, const ExportClock& clock) {
  ExportReport report;
  Exporter exporter(clock, report);
  std::string whyNot = exporter.addOne(entry, uid);
  if (!whyNot.empty()) return {{}, std::move(whyNot)};
  return {exporter.text(), {}};
}

}  // namespace almanouk
