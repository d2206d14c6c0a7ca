#include "calendar/ICalImport.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "calendar/CalendarEntry.h"
#include "calendar/CalendarFile.h"
#include "calendar/Dates.h"
#include "calendar/ICal.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

using ical::Date;

constexpr int kWindowYears = 2;
// Components nest a few deep (calendar, event, alarm); far deeper is no calendar at all.
constexpr int kDeepestNesting = 16;
// A rule that needs more steps than this to cover its two years repeats too often for a calendar.
constexpr int kMostSteps = 5'000;
constexpr int kLongestEventDays = 366;
constexpr std::string_view kUntitled = "(zonder titel)";
// The longest description the settings screen shows.
constexpr std::size_t kLongestDescription = 25;

// One occurrence in the calendar's local time.
struct Moment {
  Date date;
  std::optional<int> minute;
};

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

bool validTime(const icaltimetype& time) {
  if (icaltime_is_null_time(time) || !ical::dateOf(time).ok()) return false;
  return time.is_date || (time.hour >= 0 && time.hour < 24 && time.minute >= 0 && time.minute < 60);
}

bool startsWithWord(std::string_view line, std::string_view word) {
  return line.size() >= word.size() && lowerAscii(line.substr(0, word.size())) == lowerAscii(word);
}

// The lines of the text one by one, as libical's parser asks for them (like fgets).
struct LineSource {
  std::string_view text;
  std::size_t next = 0;

  static char* nextLine(char* buffer, std::size_t size, void* data) {
    auto& source = *static_cast<LineSource*>(data);
    if (source.next >= source.text.size() || size < 2) return nullptr;
    // Only as far as the buffer reaches: a long line comes in pieces, each looked at once.
    std::string_view piece = source.text.substr(source.next, size - 1);
    std::size_t end = piece.find('\n');
    std::size_t count = end == std::string_view::npos ? piece.size() : end + 1;
    std::memcpy(buffer, source.text.data() + source.next, count);
    buffer[count] = '\0';
    source.next += count;
    return buffer;
  }
};

// Calls visit with each line of the text (without its line end) and where it begins.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line, start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

// Counts how deep BEGIN lines nest before libical builds (and later frees) the tree recursively.
int deepestNesting(std::string_view text) {
  int depth = 0, deepest = 0;
  forEachLine(text, [&](std::string_view line, std::size_t) {
    if (startsWithWord(line, "BEGIN:")) deepest = std::max(deepest, ++depth);
    if (startsWithWord(line, "END:")) depth = std::max(0, depth - 1);
  });
  return deepest;
}

// A text as one tree; a text cut short keeps what came before the cut.
ical::Component parse(std::string_view text) {
  icalparser* parser = icalparser_new();
  LineSource source{text};
  icalparser_set_gen_data(parser, &source);
  ical::Component root(icalparser_parse(parser, &LineSource::nextLine));
  // What a cut stopped stays the parser's own, and goes with it.
  icalcomponent* cut = icalparser_clean(parser);
  ical::Component rest(cut ? icalcomponent_new_clone(cut) : nullptr);
  icalparser_free(parser);
  if (!root) return rest;
  if (rest) icalcomponent_add_component(root.get(), rest.release());
  return root;
}

// The file as its events and the rest (the calendar's own properties and
// time zones), so that the events are read one at a time: what the import
// holds in memory is the file and the largest event, never the whole tree.
// An event begins with a line "BEGIN:VEVENT" (a folded line never starts so)
// and runs to its "END:VEVENT", or to the end of a file cut short.
struct Split {
  std::string rest;
  std::vector<std::string_view> events;
};

Split splitEvents(std::string_view text) {
  constexpr std::size_t kNone = std::string_view::npos;
  Split split;
  std::size_t eventStart = kNone;
  forEachLine(text, [&](std::string_view line, std::size_t at) {
    if (eventStart == kNone && lowerAscii(line) == "begin:vevent") {
      eventStart = at;
    } else if (eventStart != kNone && lowerAscii(line) == "end:vevent") {
      split.events.push_back(text.substr(eventStart, at + line.size() - eventStart));
      eventStart = kNone;
    } else if (eventStart == kNone) {
      split.rest.append(line).append("\r\n");
    }
  });
  if (eventStart != kNone) split.events.push_back(text.substr(eventStart));
  return split;
}

icalcomponent* firstCalendarOf(icalcomponent* root) {
  if (!root) return nullptr;
  return icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT
             ? root
             : icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
}

std::string xProperty(icalcomponent* component, std::string_view name) {
  if (!component) return {};
  for (icalproperty* property = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); property;
       property = icalcomponent_get_next_property(component, ICAL_X_PROPERTY))
    if (lowerAscii(textOf(icalproperty_get_x_name(property))) == lowerAscii(name))
      return textOf(icalproperty_get_x(property));
  return {};
}

// The name the file gives its calendar (X-WR-CALNAME, as Google and Apple
// write it) as one short line of the code page.
std::string calendarNameOf(icalcomponent* calendar) {
  std::string name;
  for (char c : utf8ToCp437(xProperty(calendar, "X-WR-CALNAME"))) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
    if (c != ' ' || (!name.empty() && name.back() != ' ')) name += c;
  }
  name = name.substr(0, kLongestDescription);
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

icaltimezone* knownZone(const std::string& name) {
  return ical::databaseZone(name);
}

// A time zone the file defines under a name the zone database knows (its
// TZID, or the X-LIC-LOCATION beside it) is taken from the database: a
// definition cut short (only from 2018 on, say) would put earlier events an
// hour off.
void useKnownZones(icalcomponent* calendar) {
  if (!calendar) return;
  std::vector<icalcomponent*> defined;
  for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
       zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT))
    defined.push_back(zone);
  for (icalcomponent* zone : defined) {
    icalproperty* id = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
    const std::string tzid = id ? textOf(icalproperty_get_tzid(id)) : std::string();
    icaltimezone* known = knownZone(tzid);
    if (!known) known = knownZone(xProperty(zone, "X-LIC-LOCATION"));
    icalcomponent* database = known ? icaltimezone_get_component(known) : nullptr;
    if (!database || tzid.empty()) continue;
    icalcomponent* replacement = icalcomponent_new_clone(database);
    icalproperty* replacementId = icalcomponent_get_first_property(replacement, ICAL_TZID_PROPERTY);
    if (replacementId) icalproperty_set_tzid(replacementId, tzid.c_str());
    icalcomponent_remove_component(calendar, zone);
    icalcomponent_free(zone);
    icalcomponent_add_component(calendar, replacement);
  }
}

// Times without a zone in a calendar that names one (X-WR-TIMEZONE, as Google
// and feeds write it) are that zone's.
void placeFloatingTimes(icalcomponent* event, const std::string& zone) {
  if (zone.empty()) return;
  for (icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY,
                                 ICAL_RECURRENCEID_PROPERTY}) {
    for (icalproperty* property = icalcomponent_get_first_property(event, kind); property;
         property = icalcomponent_get_next_property(event, kind)) {
      if (icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) continue;
      icalvalue* value = icalproperty_get_value(property);
      if (!value || icalvalue_isa(value) != ICAL_DATETIME_VALUE) continue;
      const icaltimetype time = icalvalue_get_datetime(value);
      if (time.is_date || icaltime_is_utc(time)) continue;
      icalproperty_add_parameter(property, icalparameter_new_tzid(zone.c_str()));
    }
  }
}

// The summary, and the location after " - ", as one line of the code page:
// blanks for line ends, one blank between words, "nr." for "#", which at the
// wrong place would make the entry start a program.
std::string entryText(icalcomponent* event) {
  std::string text = textOf(icalcomponent_get_summary(event));
  std::string location = textOf(icalcomponent_get_location(event));
  if (!location.empty()) text += (text.empty() ? "" : " - ") + location;
  std::string converted;
  for (char c : utf8ToCp437(text)) {
    if (c == ' ' && (converted.empty() || converted.back() == ' ')) continue;
    if (c == '#')
      converted += "nr.";
    else
      converted += c;
  }
  while (!converted.empty() && converted.back() == ' ') converted.pop_back();
  return converted.empty() ? std::string(kUntitled) : converted;
}

std::string twoDigits(int value) { return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10); }

std::string clockText(int minute) { return twoDigits(minute / 60) + ":" + twoDigits(minute % 60); }

std::string dateText(const Date& date) {
  return std::to_string(ical::yearOf(date)) + "-" + twoDigits(ical::monthOf(date)) + "-" + twoDigits(ical::dayOf(date));
}

// What an entry must say: its day or weekday, year and time.
struct EntryShape {
  Section section;
  int day = 0;  // day of the month, or weekday 1-7 in "Wekelijks"
  std::optional<int> year;
  std::optional<int> minute;
};

std::string fieldsOf(const EntryShape& shape) {
  if (shape.section == Section::Daily) return clockText(shape.minute.value_or(0)) + " ";
  std::string fields =
      shape.section == Section::Weekly ? std::string(weekdayAbbreviation(shape.day)) : twoDigits(shape.day);
  fields += " ";
  if (shape.year) fields += std::to_string(*shape.year) + " ";
  if (shape.minute) fields += clockText(*shape.minute) + " ";
  return fields;
}

// Whether every reader takes the line as meant: a text that begins like a year
// or a time would otherwise turn into one.
bool readsAs(const std::string& line, const EntryShape& shape) {
  Entry entry(shape.section, line, 0);
  if (entry.command || entry.isDayCommand() || entry.time != shape.minute) return false;
  int year = shape.year.value_or(0);
  if (entry.dueYear() != 0 && entry.dueYear() != year) return false;
  return shape.section == Section::Daily || (entry.day == shape.day && entry.listedYear() == year);
}

// The fields, the text and the reminder that goes with it, cut to what the
// list editor shows: the text gives way, never the reminder.
std::string lineFor(const EntryShape& shape, const std::string& text, const std::string& reminder) {
  auto cut = [&text, &reminder](const std::string& fields) {
    std::string line = fields + text;
    const std::size_t room = static_cast<std::size_t>(kLongestShownEntry) - reminder.size();
    if (line.size() > room) line.resize(room);
    while (line.back() == ' ') line.pop_back();
    return line + reminder;
  };
  std::string line = cut(fieldsOf(shape));
  return readsAs(line, shape) ? line : cut(fieldsOf(shape) + "- ");
}

int count(const short* values, int size) {
  int n = 0;
  while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return n;
}

// The first day on or after the date that the entry's line counts on.
Date nextPatternDay(const EntryShape& shape, Date date) {
  for (int step = 0; step < 366 * 4 + 1; ++step, date = ical::addDays(date, 1)) {
    const bool matches = shape.section == Section::Daily    ? true
                         : shape.section == Section::Weekly ? ical::weekdayOf(date) == shape.day
                         : shape.section == Section::Monthly
                             ? ical::dayOf(date) == shape.day
                             : ical::dayOf(date) == shape.day && monthSection(ical::monthOf(date)) == shape.section;
    if (matches) return date;
  }
  return date;
}

class Importer {
 public:
  Importer(const ImportClock& clock, std::string floatingZone)
      : local_(ical::zoneNamed(clock.timeZone)),
        floatingZone_(std::move(floatingZone)),
        windowStart_(Date{std::chrono::year{clock.today.year}, std::chrono::month{static_cast<unsigned>(clock.today.month)},
                          std::chrono::day{static_cast<unsigned>(clock.today.day)}}),
        windowEnd_(ical::addDays(windowStart_, 365 * kWindowYears + 1)) {}

  // A changed occurrence of a recurring event comes as an event of its own
  // with the same identity: the recurring one must leave that date out.
  void noteOverride(icalcomponent* event) {
    placeFloatingTimes(event, floatingZone_);
    icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    const char* uid = icalcomponent_get_uid(event);
    if (id && uid) overridden_[uid].push_back(icalproperty_get_datetime_with_component(id, event));
  }

  void skip(std::string summary, std::string why) { result_.skipped.push_back({std::move(summary), std::move(why)}); }

  void read(icalcomponent* event, std::size_t index) {
    placeFloatingTimes(event, floatingZone_);
    const std::size_t before = result_.entries.size();
    const std::size_t notesBefore = result_.notes.size();
    std::optional<std::string> whyNot = add(event, index);
    // An event that would take the file past what any calendar holds is not taken, nor any after it.
    if (!whyNot && result_.entries.size() > kMostImportedEntries) {
      full_ = true;
      whyNot = kTooManyEntries;
    }
    if (whyNot) {
      result_.entries.erase(result_.entries.begin() + static_cast<std::ptrdiff_t>(before), result_.entries.end());
      result_.notes.erase(result_.notes.begin() + static_cast<std::ptrdiff_t>(notesBefore), result_.notes.end());
      result_.skipped.push_back({textOf(icalcomponent_get_summary(event)), *whyNot});
    }
  }

  bool full() const { return full_; }
  // The events after the one that filled the calendar: counted, not read.
  void skipRest(std::size_t count) { result_.notRead = count; }

  ImportedEvents take() { return std::move(result_); }

 private:
  std::optional<std::string> add(icalcomponent* event, std::size_t index) {
    if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return "afgezegd";
    icaltimetype start = icalcomponent_get_dtstart(event);
    if (!validTime(start)) return "geen geldige begintijd (DTSTART)";
    const int days = daysCovered(event, start);
    if (days > kLongestEventDays) return "langer dan een jaar";
    const Moment first = localMoment(start);
    const std::string reminder = reminderOf(event, first, index);
    const std::string text = entryText(event);
    const bool changedOccurrence = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
    const std::vector<icalrecurrencetype> rules = changedOccurrence ? std::vector<icalrecurrencetype>() : rulesOf(event);
    const std::vector<icaltimetype> extra = changedOccurrence ? std::vector<icaltimetype>() : extraDatesOf(event);
    if (rules.empty() && extra.empty()) return addOnce(first, days, text, reminder, index);
    if (rules.empty()) return addExtraDates(event, start, extra, days, text, reminder, index);
    std::variant<EntryShape, std::string> shape = recurringShape(event, rules, start, days);
    if (const EntryShape* kept = std::get_if<EntryShape>(&shape)) {
      result_.entries.push_back({kept->section, lineFor(*kept, text, reminder), index, false});
      return std::nullopt;
    }
    return addWrittenOut(event, rules, start, days, text, reminder, index, std::get<std::string>(shape));
  }

  std::vector<icalrecurrencetype> rulesOf(icalcomponent* event) const {
    std::vector<icalrecurrencetype> rules;
    for (icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); rule;
         rule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
      rules.push_back(icalproperty_get_rrule(rule));
    return rules;
  }

  // The extra dates (RDATE) but those excluded; gathered first, as libical
  // walks a component's properties with one cursor, which excluded() moves.
  std::vector<icaltimetype> extraDatesOf(icalcomponent* event) const {
    std::vector<icaltimetype> dates;
    for (icalproperty* extra = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); extra;
         extra = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
      dates.push_back(icalproperty_get_datetime_with_component(extra, event));
    std::erase_if(dates, [&](const icaltimetype& date) { return !validTime(date) || excluded(event, date); });
    return dates;
  }

  std::optional<std::string> addOnce(const Moment& moment, int days, const std::string& text,
                                     const std::string& reminder, std::size_t index) {
    for (int day = 0; day < days; ++day)
      if (std::optional<std::string> whyNot =
              addDated(ical::addDays(moment.date, day), day == 0 ? moment.minute : std::nullopt, text,
                       day == 0 ? reminder : std::string(), index, days > 1))
        return whyNot;
    return std::nullopt;
  }

  // An event on its start and its extra dates, less those excluded: every
  // date, as a single event's, whatever the window.
  std::optional<std::string> addExtraDates(icalcomponent* event, const icaltimetype& start,
                                           const std::vector<icaltimetype>& extra, int days, const std::string& text,
                                           const std::string& reminder, std::size_t index) {
    std::vector<icaltimetype> dates = extra;
    if (!excluded(event, start)) dates.insert(dates.begin(), start);
    std::set<std::pair<int, int>> seen;  // by day and minute: a date given twice comes once
    for (const icaltimetype& date : dates) {
      const Moment moment = localMoment(date);
      const int at = static_cast<int>(std::chrono::sys_days{moment.date}.time_since_epoch().count());
      if (!seen.insert({at, moment.minute.value_or(-1)}).second) continue;
      if (std::optional<std::string> whyNot = addOnce(moment, days, text, reminder, index)) return whyNot;
    }
    return std::nullopt;
  }

  std::optional<std::string> addDated(const Date& date, std::optional<int> minute, const std::string& text,
                                      const std::string& reminder, std::size_t index, bool writtenOut) {
    int year = ical::yearOf(date);
    if (!entry::kWrittenYears.contains(year)) return "jaar " + std::to_string(year) + " valt buiten 1801-2099";
    EntryShape shape{monthSection(ical::monthOf(date)), ical::dayOf(date), year, minute};
    result_.entries.push_back({shape.section, lineFor(shape, text, minute ? reminder : std::string()), index, writtenOut});
    return std::nullopt;
  }

  // The calendar days an event touches in the local clock: an all-day event
  // up to its end, a timed one up to the day its end falls on (an end at
  // midnight ends the day before).
  int daysCovered(icalcomponent* event, const icaltimetype& start) {
    return daysFrom(start, icalcomponent_get_dtend(event));
  }

  int daysFrom(const icaltimetype& start, const icaltimetype& end) const {
    if (!validTime(end) || icaltime_compare(end, start) <= 0) return 1;
    if (start.is_date) return ical::daysBetween(ical::dateOf(start), ical::dateOf(end));
    const icaltimetype localStart = inLocalClock(start), localEnd = inLocalClock(end);
    int days = ical::daysBetween(ical::dateOf(localStart), ical::dateOf(localEnd)) + 1;
    if (localEnd.hour == 0 && localEnd.minute == 0 && localEnd.second == 0) --days;
    return std::max(1, days);
  }

  // How long the event lasts, for its occurrences' ends; none when it has no end after its start.
  static icaldurationtype lengthOf(icalcomponent* event, const icaltimetype& start) {
    const icaltimetype end = icalcomponent_get_dtend(event);
    if (!validTime(end) || icaltime_compare(end, start) <= 0) return icaldurationtype_null_duration();
    return icaltime_subtract(end, start);
  }

  icaltimetype inLocalClock(icaltimetype time) const {
    if (!time.is_date && time.zone) time = icaltime_convert_to_zone(time, local_);
    return time;
  }

  Moment localMoment(icaltimetype time) const {
    if (time.is_date) return {ical::dateOf(time), std::nullopt};
    time = inLocalClock(time);
    return {ical::dateOf(time), time.hour * 60 + time.minute};
  }

  // A display or sound reminder before a timed event, on the same day: its
  // time in the text, where the alarm finds it too. Any other is noted.
  std::string reminderOf(icalcomponent* event, const Moment& start, std::size_t index) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
      icalproperty* action = icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY);
      icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
      if (!action || !trigger) continue;
      const icalproperty_action kind = icalproperty_get_action(action);
      if (kind != ICAL_ACTION_DISPLAY && kind != ICAL_ACTION_AUDIO) continue;
      const icaltriggertype when = icalproperty_get_trigger(trigger);
      icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
      // At a fixed moment, or counted from the event's end: no reminder of its start.
      if (!icaltime_is_null_time(when.time) || (related && icalparameter_get_related(related) == ICAL_RELATED_END)) {
        note(event, index, "herinnering niet overgenomen: niet voor het begin");
        return {};
      }
      const int before = -icaldurationtype_as_int(when.duration) / 60;
      if (before <= 0) continue;  // at the start: the entry's own alarm
      if (!start.minute || before > *start.minute) {
        note(event, index, "herinnering " + std::to_string(before) + " min ervoor niet overgenomen: valt op een andere dag");
        return {};
      }
      note(event, index, "herinnering om " + clockText(*start.minute - before) + " in de tekst");
      return " (herinnering " + clockText(*start.minute - before) + ")";
    }
    return {};
  }

  void note(icalcomponent* event, std::size_t index, std::string what) {
    result_.notes.push_back({index, textOf(icalcomponent_get_summary(event)), std::move(what)});
  }

  // A zone whose clock runs as the local one over the coming years, summer
  // time and all: its times can be written as they are.
  bool keepsLocalTime(const icaltimetype& start) const {
    if (start.is_date || !start.zone || start.zone == local_) return true;
    auto zone = const_cast<icaltimezone*>(start.zone);
    for (int month = 0; month <= 12 * kWindowYears; ++month) {
      icaltimetype probe = icaltime_null_time();
      probe.year = ical::yearOf(windowStart_) + month / 12;
      probe.month = month % 12 + 1;
      probe.day = 1;
      probe.hour = 12;
      int dst = 0;
      if (icaltimezone_get_utc_offset(zone, &probe, &dst) != icaltimezone_get_utc_offset(local_, &probe, &dst))
        return false;
    }
    return true;
  }

  // The entry a rule can be kept as, when the format holds it: one rule of
  // interval 1, no count, no exceptions, one day at a time, in the local
  // clock, that has begun by the import day (a line has no first date: it
  // would count on the days between). Otherwise why not.
  std::variant<EntryShape, std::string> recurringShape(icalcomponent* event, const std::vector<icalrecurrencetype>& rules,
                                                       const icaltimetype& start, int days) const {
    const icalrecurrencetype& rule = rules.front();
    if (rules.size() > 1) return "meer dan een herhaalregel";
    if (days > 1) return "duurt meer dan een dag";
    if (rule.interval != 1) return "herhaalt om de " + std::to_string(rule.interval) + " keer";
    if (rule.count != 0) return "herhaalt " + std::to_string(rule.count) + " keer";
    if (rule.rscale) return "een andere kalender";
    if (!keepsLocalTime(start)) return "de klok van een andere tijdzone";
    if (icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY) || overridden_.contains(textOf(icalcomponent_get_uid(event))))
      return "met uitzonderingen of verplaatste datums";
    if (icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY)) return "met extra datums";
    if (count(rule.by_second, ICAL_BY_SECOND_SIZE) || count(rule.by_minute, ICAL_BY_MINUTE_SIZE) ||
        count(rule.by_hour, ICAL_BY_HOUR_SIZE) || count(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) ||
        count(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) || count(rule.by_set_pos, ICAL_BY_SETPOS_SIZE))
      return "een herhaling die geen regel van de almanouk is";
    const Date date = ical::dateOf(start);
    const std::optional<int> minute = start.is_date ? std::nullopt : std::optional<int>(start.hour * 60 + start.minute);
    const int day = ical::dayOf(date);
    const int months = count(rule.by_month, ICAL_BY_MONTH_SIZE);
    const int monthDays = count(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int weekdays = count(rule.by_day, ICAL_BY_DAY_SIZE);
    const bool onStartDay = monthDays == 0 || (monthDays == 1 && rule.by_month_day[0] == day);
    std::optional<EntryShape> shape;
    switch (rule.freq) {
      case ICAL_YEARLY_RECURRENCE:
        if (icaltime_is_null_time(rule.until) && !weekdays && onStartDay &&
            (months == 0 || (months == 1 && rule.by_month[0] == ical::monthOf(date))))
          shape = EntryShape{monthSection(ical::monthOf(date)), day, std::nullopt, minute};
        break;
      case ICAL_MONTHLY_RECURRENCE:
        if (!months && !weekdays && onStartDay)
          shape = withinItsYear(EntryShape{Section::Monthly, day, std::nullopt, minute}, rule, date);
        break;
      case ICAL_WEEKLY_RECURRENCE: {
        const int weekday = ical::weekdayOf(date);
        if (months || monthDays || weekdays > 1) break;
        if (weekdays == 1 && (icalrecurrencetype_day_position(rule.by_day[0]) != 0 ||
                              (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[0])) + 5) % 7 + 1 != weekday))
          break;
        shape = withinItsYear(EntryShape{Section::Weekly, weekday, std::nullopt, minute}, rule, date);
        break;
      }
      case ICAL_DAILY_RECURRENCE:
        // "Dagelijks" only rings: an event without an alarm is listed on its days instead.
        if (!months && !monthDays && !weekdays && minute &&
            icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT) && icaltime_is_null_time(rule.until))
          shape = EntryShape{Section::Daily, 0, std::nullopt, minute};
        break;
      default: break;
    }
    if (!shape) return "een herhaling die geen regel van de almanouk is";
    // A line without a year counts from the import day on; a year's line only in its year, from its start.
    if (!shape->year && nextPatternDay(*shape, windowStart_) < date) return "begint pas op " + dateText(date);
    return *shape;
  }

  // A monthly or weekly rule that ends: kept as an entry with a year when it
  // covers exactly the days of the entry's pattern in its start's year.
  std::optional<EntryShape> withinItsYear(EntryShape shape, const icalrecurrencetype& rule, const Date& start) const {
    if (icaltime_is_null_time(rule.until)) return shape;
    const int year = ical::yearOf(start);
    if (!validTime(rule.until) || rule.until.year != year || !entry::kWrittenYears.contains(year)) return std::nullopt;
    auto matches = [&](const Date& date) {
      return shape.section == Section::Weekly ? ical::weekdayOf(date) == shape.day : ical::dayOf(date) == shape.day;
    };
    Date first{std::chrono::year{year}, std::chrono::January, std::chrono::day{1}};
    while (!matches(first)) first = ical::addDays(first, 1);
    Date last{std::chrono::year{year}, std::chrono::December, std::chrono::day{31}};
    while (!matches(last)) last = ical::addDays(last, -1);
    if (start != first || ical::dateOf(rule.until) < last) return std::nullopt;
    shape.year = year;
    return shape;
  }

  // Every occurrence in the next two years as an entry of its own: those of
  // every rule and the extra dates, less the excluded ones; noted with why.
  std::optional<std::string> addWrittenOut(icalcomponent* event, const std::vector<icalrecurrencetype>& rules,
                                           const icaltimetype& start, int days, const std::string& text,
                                           const std::string& reminder, std::size_t index, const std::string& why) {
    for (const icalrecurrencetype& rule : rules)
      if (rule.freq != ICAL_YEARLY_RECURRENCE && rule.freq != ICAL_MONTHLY_RECURRENCE &&
          rule.freq != ICAL_WEEKLY_RECURRENCE && rule.freq != ICAL_DAILY_RECURRENCE)
        return "herhaalt vaker dan dagelijks";
    std::vector<icaltimetype> occurrences;
    if (!occurrencesOf(event, rules, start, days + 1, occurrences)) return "herhaalt te vaak";
    std::sort(occurrences.begin(), occurrences.end(),
              [](const icaltimetype& a, const icaltimetype& b) { return icaltime_compare(a, b) < 0; });
    std::set<std::pair<int, int>> seen;  // by day and minute: two rules that meet give one entry
    bool any = false;
    const icaldurationtype length = lengthOf(event, start);
    for (const icaltimetype& occurrence : occurrences) {
      const Moment moment = localMoment(occurrence);
      // Each occurrence by its own clock: across a change of summer time it may reach into the next day.
      const int covered =
          icaldurationtype_is_null_duration(length) ? 1 : daysFrom(occurrence, icaltime_add(occurrence, length));
      for (int day = 0; day < covered; ++day) {
        const Date date = ical::addDays(moment.date, day);
        if (date < windowStart_ || date >= windowEnd_) continue;
        const int at = static_cast<int>(std::chrono::sys_days{date}.time_since_epoch().count());
        const std::optional<int> minute = day == 0 ? moment.minute : std::nullopt;
        if (!seen.insert({at, minute.value_or(-1)}).second) continue;
        if (std::optional<std::string> whyNot =
                addDated(date, minute, text, day == 0 ? reminder : std::string(), index, true))
          return whyNot;
        any = true;
      }
    }
    if (!any) return "geen datum in de komende " + std::to_string(kWindowYears) + " jaar";
    note(event, index, "uitgeschreven tot " + dateText(ical::addDays(windowEnd_, -1)) + ": " + why);
    return std::nullopt;
  }

  bool excluded(icalcomponent* event, const icaltimetype& occurrence) const {
    auto same = [&occurrence](const icaltimetype& other) {
      return other.is_date || occurrence.is_date ? ical::dateOf(other) == ical::dateOf(occurrence)
                                                 : icaltime_compare(other, occurrence) == 0;
    };
    std::vector<icaltimetype> exceptions;
    for (icalproperty* date = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); date;
         date = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
      exceptions.push_back(icalproperty_get_datetime_with_component(date, event));
    if (std::any_of(exceptions.begin(), exceptions.end(), same)) return true;
    auto changed = overridden_.find(textOf(icalcomponent_get_uid(event)));
    return changed != overridden_.end() && std::any_of(changed->second.begin(), changed->second.end(), same);
  }

  // The occurrences whose days reach into the window, by the start, the rules
  // and the extra dates, less the excluded ones; false when a rule needs too many steps.
  bool occurrencesOf(icalcomponent* event, const std::vector<icalrecurrencetype>& rules, const icaltimetype& start,
                     int days, std::vector<icaltimetype>& occurrences) const {
    bool bounded = true;
    for (const icalrecurrencetype& rule : rules)
      if (icalrecur_iterator* steps = icalrecur_iterator_new(rule, start))
        bounded = ruleOccurrences(event, steps, rule, start, days, occurrences) && bounded;
    // The start is the first occurrence, also where it does not fit the rule.
    if (ical::dateOf(start) < windowEnd_ && ical::addDays(ical::dateOf(start), days) > windowStart_ &&
        !excluded(event, start))
      occurrences.push_back(start);
    for (const icaltimetype& date : extraDatesOf(event))
      if (ical::dateOf(date) < windowEnd_ && ical::addDays(ical::dateOf(date), days) > windowStart_)
        occurrences.push_back(date);
    return bounded;
  }

  // The rule's part of those; takes the iterator and frees it.
  bool ruleOccurrences(icalcomponent* event, icalrecur_iterator* steps, const icalrecurrencetype& rule,
                       const icaltimetype& start, int days, std::vector<icaltimetype>& occurrences) const {
    if (rule.count == 0) {
      // Straight to the window: a rule that began long ago need not be walked from its start.
      icaltimetype from = start;
      Date early = ical::addDays(windowStart_, -days - 1);
      if (ical::dateOf(start) < early) {
        from.year = ical::yearOf(early), from.month = ical::monthOf(early), from.day = ical::dayOf(early);
        icalrecur_iterator_set_start(steps, from);
      }
    }
    bool bounded = true;
    int taken = 0;
    for (icaltimetype next = icalrecur_iterator_next(steps); validTime(next); next = icalrecur_iterator_next(steps)) {
      if (++taken > kMostSteps) {
        bounded = false;
        break;
      }
      if (ical::dateOf(next) >= windowEnd_) break;
      if (ical::addDays(ical::dateOf(next), days) > windowStart_ && !excluded(event, next)) occurrences.push_back(next);
    }
    icalrecur_iterator_free(steps);
    return bounded;
  }

  icaltimezone* local_;
  std::string floatingZone_;
  Date windowStart_, windowEnd_;
  std::map<std::string, std::vector<icaltimetype>> overridden_;
  ImportedEvents result_;
  bool full_ = false;
};

// Reads each event of the split file into a calendar that holds the file's
// time zones, then lets it go again; an event nested past reason is told.
// Visit says whether to go on; the number of events visited is returned.
template <typename Visit, typename Refuse>
std::size_t forEachEvent(icalcomponent* calendar, const std::vector<std::string_view>& events, Visit visit,
                         Refuse refuse) {
  for (std::size_t index = 0; index < events.size(); ++index) {
    if (deepestNesting(events[index]) > kDeepestNesting) {
      refuse("onderdelen te diep in elkaar");
      continue;
    }
    ical::Component parsed = parse(events[index]);
    icalcomponent* event = parsed ? icalcomponent_isa(parsed.get()) == ICAL_VEVENT_COMPONENT
                                        ? parsed.get()
                                        : icalcomponent_get_first_component(parsed.get(), ICAL_VEVENT_COMPONENT)
                                  : nullptr;
    if (!event) continue;
    if (event == parsed.get()) {
      icalcomponent_add_component(calendar, parsed.release());
    } else {
      icalcomponent_remove_component(parsed.get(), event);
      icalcomponent_add_component(calendar, event);
    }
    const bool goOn = visit(event, index);
    icalcomponent_remove_component(calendar, event);
    icalcomponent_free(event);
    if (!goOn) return index + 1;
  }
  return events.size();
}

}  // namespace

bool iCalendarAvailable() { return true; }

std::variant<ImportedEvents, std::string> readICalendar(std::string_view text, const ImportClock& clock) {
  icalerror_set_errors_are_fatal(0);
  const Split split = splitEvents(text);
  if (deepestNesting(split.rest) > kDeepestNesting) return std::string("geen agenda: onderdelen te diep in elkaar");
  ical::Component root = parse(split.rest);
  icalcomponent* calendar = firstCalendarOf(root.get());
  if (!calendar && split.events.empty()) return std::string("geen iCalendar-gegevens (BEGIN:VCALENDAR ontbreekt)");
  // Events outside a calendar (a bare VEVENT) are read in one made for them.
  ical::Component made;
  if (!calendar) {
    made.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    calendar = made.get();
  }
  useKnownZones(calendar);
  const std::string floatingZone = xProperty(calendar, "X-WR-TIMEZONE");
  Importer importer(clock, knownZone(floatingZone) ? floatingZone : std::string());
  // Only an event that names a recurrence (RECURRENCE-ID) can move one: the others are not read twice.
  std::vector<std::string_view> moving;
  for (std::string_view event : split.events)
    if (lowerAscii(event).find("recurrence-id") != std::string::npos) moving.push_back(event);
  forEachEvent(
      calendar, moving,
      [&](icalcomponent* event, std::size_t) {
        importer.noteOverride(event);
        return true;
      },
      [](const char*) {});
  // The events after the one that filled the calendar are counted, not read.
  const std::size_t read = forEachEvent(
      calendar, split.events,
      [&](icalcomponent* event, std::size_t index) {
        importer.read(event, index);
        return !importer.full();
      },
      [&](const char* why) { importer.skip(std::string(), why); });
  importer.skipRest(split.events.size() - read);
  ImportedEvents imported = importer.take();
  imported.calendarName = calendarNameOf(calendar);
  return imported;
}

}  // namespace almanouk
