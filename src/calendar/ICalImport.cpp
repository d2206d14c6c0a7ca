#include "calendar/ICalImport.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

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

// One occurrence in the calendar's local time.
struct Moment {
  Date date;
  std::optional<int> minute;
};

bool validTime(const icaltimetype& time) {
  if (icaltime_is_null_time(time) || !ical::dateOf(time).ok()) return false;
  return time.is_date || (time.hour >= 0 && time.hour < 24 && time.minute >= 0 && time.minute < 60);
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

// Counts how deep BEGIN lines nest before libical builds (and later frees) the tree recursively.
int deepestNesting(std::string_view text) {
  int depth = 0, deepest = 0;
  auto startsWith = [](std::string_view line, std::string_view word) {
    return line.size() >= word.size() && lowerAscii(line.substr(0, word.size())) == lowerAscii(word);
  };
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (startsWith(line, "BEGIN:")) deepest = std::max(deepest, ++depth);
    if (startsWith(line, "END:")) depth = std::max(0, depth - 1);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return deepest;
}

// The whole text as one tree; a file cut short keeps what came before the cut.
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

void collectEvents(icalcomponent* component, std::vector<icalcomponent*>& events, bool& calendarFound) {
  icalcomponent_kind kind = icalcomponent_isa(component);
  if (kind == ICAL_VEVENT_COMPONENT) {
    events.push_back(component);
    calendarFound = true;
    return;
  }
  if (kind == ICAL_VCALENDAR_COMPONENT) calendarFound = true;
  if (kind != ICAL_VCALENDAR_COMPONENT && kind != ICAL_XROOT_COMPONENT) return;
  for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
       child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
    collectEvents(child, events, calendarFound);
}

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

// The longest description the settings screen shows.
constexpr std::size_t kLongestDescription = 25;

// The name the file gives its calendar (X-WR-CALNAME, as Google and Apple
// write it) as one short line of the code page.
std::string calendarNameOf(icalcomponent* root) {
  icalcomponent* calendar = icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT
                                ? root
                                : icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
  if (!calendar) return {};
  for (icalproperty* property = icalcomponent_get_first_property(calendar, ICAL_X_PROPERTY); property;
       property = icalcomponent_get_next_property(calendar, ICAL_X_PROPERTY)) {
    if (textOf(icalproperty_get_x_name(property)) != "X-WR-CALNAME") continue;
    std::string name;
    for (char c : cp437Text(textOf(icalproperty_get_x(property)))) {
      if (static_cast<unsigned char>(c) < 32) c = ' ';
      if (c != ' ' || (!name.empty() && name.back() != ' ')) name += c;
    }
    name = name.substr(0, kLongestDescription);
    return name.substr(0, name.find_last_not_of(' ') + 1);
  }
  return {};
}

// The summary, and the location after " - ", as one line of the code page:
// blanks for line ends, one blank between words, "nr." for "#", which at the
// wrong place would make the entry start a program.
std::string entryText(icalcomponent* event) {
  std::string text = textOf(icalcomponent_get_summary(event));
  std::string location = textOf(icalcomponent_get_location(event));
  if (!location.empty()) text += (text.empty() ? "" : " - ") + location;
  std::string converted;
  for (char c : cp437Text(text)) {
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

std::string lineFor(const EntryShape& shape, const std::string& text) {
  auto cut = [](std::string line) {
    if (line.size() > static_cast<std::size_t>(kLongestShownEntry)) line.resize(kLongestShownEntry);
    while (line.back() == ' ') line.pop_back();
    return line;
  };
  std::string line = cut(fieldsOf(shape) + text);
  return readsAs(line, shape) ? line : cut(fieldsOf(shape) + "- " + text);
}

int count(const short* values, int size) {
  int n = 0;
  while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return n;
}

class Importer {
 public:
  explicit Importer(const ImportClock& clock)
      : local_(ical::zoneNamed(clock.timeZone)),
        windowStart_(Date{std::chrono::year{clock.today.year}, std::chrono::month{static_cast<unsigned>(clock.today.month)},
                          std::chrono::day{static_cast<unsigned>(clock.today.day)}}),
        windowEnd_(ical::addDays(windowStart_, 365 * kWindowYears + 1)) {}

  void read(const std::vector<icalcomponent*>& events) {
    for (icalcomponent* event : events) noteOverride(event);
    for (std::size_t index = 0; index < events.size(); ++index) {
      icalcomponent* event = events[index];
      const std::size_t before = result_.entries.size();
      // Once the file has given more than any calendar holds, the rest is not worked out at all.
      const std::string tooMany = "te veel afspraken in één bestand";
      std::optional<std::string> whyNot = before < kMostImportedEntries ? add(event, index) : tooMany;
      if (!whyNot && result_.entries.size() > kMostImportedEntries) whyNot = tooMany;
      if (whyNot) {
        result_.entries.erase(result_.entries.begin() + static_cast<std::ptrdiff_t>(before), result_.entries.end());
        result_.skipped.push_back({textOf(icalcomponent_get_summary(event)), *whyNot});
      }
    }
  }

  ImportedEvents take() { return std::move(result_); }

 private:
  // A changed occurrence of a recurring event comes as an event of its own
  // with the same identity: the recurring one must leave that date out.
  void noteOverride(icalcomponent* event) {
    icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    const char* uid = icalcomponent_get_uid(event);
    if (id && uid) overridden_[uid].push_back(icalproperty_get_datetime_with_component(id, event));
  }

  std::optional<std::string> add(icalcomponent* event, std::size_t index) {
    if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return "afgezegd";
    icaltimetype start = icalcomponent_get_dtstart(event);
    if (!validTime(start)) return "geen geldige begintijd (DTSTART)";
    const int days = daysCovered(event, start);
    if (days > kLongestEventDays) return "langer dan een jaar";
    const std::string text = entryText(event);
    const bool alarmed = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT) != nullptr;
    const bool changedOccurrence = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
    icalproperty* rule = changedOccurrence ? nullptr : icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    if (!rule) return addOnce(localMoment(start), days, text, index);
    if (std::optional<EntryShape> shape = recurringShape(event, icalproperty_get_rrule(rule), start, days, alarmed)) {
      result_.entries.push_back({shape->section, lineFor(*shape, text), index, false});
      return std::nullopt;
    }
    return addWrittenOut(event, icalproperty_get_rrule(rule), start, days, text, index);
  }

  std::optional<std::string> addOnce(const Moment& moment, int days, const std::string& text, std::size_t index) {
    for (int day = 0; day < days; ++day)
      if (std::optional<std::string> whyNot = addDated(ical::addDays(moment.date, day),
                                                       day == 0 ? moment.minute : std::nullopt, text, index, days > 1))
        return whyNot;
    return std::nullopt;
  }

  std::optional<std::string> addDated(const Date& date, std::optional<int> minute, const std::string& text,
                                      std::size_t index, bool writtenOut) {
    int year = ical::yearOf(date);
    if (!entry::kWrittenYears.contains(year)) return "jaar " + std::to_string(year) + " valt buiten 1801-2099";
    EntryShape shape{monthSection(ical::monthOf(date)), ical::dayOf(date), year, minute};
    result_.entries.push_back({shape.section, lineFor(shape, text), index, writtenOut});
    return std::nullopt;
  }

  // The calendar days an event touches: an all-day event up to its end, a
  // timed one up to the day its end falls on (an end at midnight ends the day before).
  int daysCovered(icalcomponent* event, const icaltimetype& start) {
    icaltimetype end = icalcomponent_get_dtend(event);
    if (!validTime(end) || icaltime_compare(end, start) <= 0) return 1;
    if (start.is_date) return ical::daysBetween(ical::dateOf(start), ical::dateOf(end));
    if (start.zone && end.zone != start.zone) end = icaltime_convert_to_zone(end, const_cast<icaltimezone*>(start.zone));
    int days = ical::daysBetween(ical::dateOf(start), ical::dateOf(end)) + 1;
    if (end.hour == 0 && end.minute == 0 && end.second == 0) --days;
    return std::max(1, days);
  }

  Moment localMoment(icaltimetype time) const {
    if (time.is_date) return {ical::dateOf(time), std::nullopt};
    if (time.zone) time = icaltime_convert_to_zone(time, local_);
    return {ical::dateOf(time), time.hour * 60 + time.minute};
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
  // interval 1, no count, no exceptions, one day at a time, in the local clock.
  std::optional<EntryShape> recurringShape(icalcomponent* event, const icalrecurrencetype& rule,
                                           const icaltimetype& start, int days, bool alarmed) const {
    if (days > 1 || rule.interval != 1 || rule.count != 0 || rule.rscale || !keepsLocalTime(start)) return std::nullopt;
    if (icalcomponent_count_properties(event, ICAL_RRULE_PROPERTY) != 1 ||
        icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY) ||
        icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) || overridden_.contains(textOf(icalcomponent_get_uid(event))))
      return std::nullopt;
    if (count(rule.by_second, ICAL_BY_SECOND_SIZE) || count(rule.by_minute, ICAL_BY_MINUTE_SIZE) ||
        count(rule.by_hour, ICAL_BY_HOUR_SIZE) || count(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) ||
        count(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) || count(rule.by_set_pos, ICAL_BY_SETPOS_SIZE))
      return std::nullopt;
    const Date date = ical::dateOf(start);
    const std::optional<int> minute = start.is_date ? std::nullopt : std::optional<int>(start.hour * 60 + start.minute);
    const int day = ical::dayOf(date);
    const int months = count(rule.by_month, ICAL_BY_MONTH_SIZE);
    const int monthDays = count(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int weekdays = count(rule.by_day, ICAL_BY_DAY_SIZE);
    const bool onStartDay = monthDays == 0 || (monthDays == 1 && rule.by_month_day[0] == day);
    switch (rule.freq) {
      case ICAL_YEARLY_RECURRENCE:
        if (!icaltime_is_null_time(rule.until) || weekdays || !onStartDay ||
            !(months == 0 || (months == 1 && rule.by_month[0] == ical::monthOf(date))))
          return std::nullopt;
        return EntryShape{monthSection(ical::monthOf(date)), day, std::nullopt, minute};
      case ICAL_MONTHLY_RECURRENCE:
        if (months || weekdays || !onStartDay) return std::nullopt;
        return withinItsYear(EntryShape{Section::Monthly, day, std::nullopt, minute}, rule, date);
      case ICAL_WEEKLY_RECURRENCE: {
        const int weekday = ical::weekdayOf(date);
        if (months || monthDays || weekdays > 1) return std::nullopt;
        if (weekdays == 1 && (icalrecurrencetype_day_position(rule.by_day[0]) != 0 ||
                              (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[0])) + 5) % 7 + 1 != weekday))
          return std::nullopt;
        return withinItsYear(EntryShape{Section::Weekly, weekday, std::nullopt, minute}, rule, date);
      }
      case ICAL_DAILY_RECURRENCE:
        // "Dagelijks" only rings: an event without an alarm is listed on its days instead.
        if (months || monthDays || weekdays || !minute || !alarmed || !icaltime_is_null_time(rule.until))
          return std::nullopt;
        return EntryShape{Section::Daily, 0, std::nullopt, minute};
      default: return std::nullopt;
    }
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

  // Every occurrence in the next two years as an entry of its own.
  std::optional<std::string> addWrittenOut(icalcomponent* event, const icalrecurrencetype& rule,
                                           const icaltimetype& start, int days, const std::string& text,
                                           std::size_t index) {
    if (rule.freq != ICAL_YEARLY_RECURRENCE && rule.freq != ICAL_MONTHLY_RECURRENCE &&
        rule.freq != ICAL_WEEKLY_RECURRENCE && rule.freq != ICAL_DAILY_RECURRENCE)
      return "herhaalt vaker dan dagelijks";
    std::vector<icaltimetype> occurrences;
    if (!occurrencesOf(event, rule, start, days, occurrences)) return "herhaalt te vaak";
    if (occurrences.empty()) return "geen datum in de komende " + std::to_string(kWindowYears) + " jaar";
    for (const icaltimetype& occurrence : occurrences) {
      Moment moment = localMoment(occurrence);
      for (int day = 0; day < days; ++day) {
        Date date = ical::addDays(moment.date, day);
        if (date < windowStart_ || date >= windowEnd_) continue;
        if (std::optional<std::string> whyNot = addDated(date, day == 0 ? moment.minute : std::nullopt, text, index, true))
          return whyNot;
      }
    }
    return std::nullopt;
  }

  bool excluded(icalcomponent* event, const icaltimetype& occurrence) const {
    auto same = [&occurrence](const icaltimetype& other) {
      return other.is_date || occurrence.is_date ? ical::dateOf(other) == ical::dateOf(occurrence)
                                                 : icaltime_compare(other, occurrence) == 0;
    };
    for (icalproperty* date = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); date;
         date = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
      if (same(icalproperty_get_datetime_with_component(date, event))) return true;
    auto changed = overridden_.find(textOf(icalcomponent_get_uid(event)));
    return changed != overridden_.end() && std::any_of(changed->second.begin(), changed->second.end(), same);
  }

  // The occurrences whose days reach into the window, by the rule and the extra
  // dates, less the excluded ones; false when the rule needs too many steps.
  bool occurrencesOf(icalcomponent* event, const icalrecurrencetype& rule, const icaltimetype& start, int days,
                     std::vector<icaltimetype>& occurrences) const {
    icalrecur_iterator* steps = icalrecur_iterator_new(rule, start);
    bool bounded = true;
    if (steps) bounded = ruleOccurrences(event, steps, rule, start, days, occurrences);
    // Gathered first: libical walks a component's properties with one cursor, which excluded() moves.
    std::vector<icaltimetype> extras;
    for (icalproperty* extra = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); extra;
         extra = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
      extras.push_back(icalproperty_get_datetime_with_component(extra, event));
    for (const icaltimetype& date : extras)
      if (validTime(date) && ical::dateOf(date) < windowEnd_ && ical::addDays(ical::dateOf(date), days) > windowStart_ &&
          !excluded(event, date))
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
  Date windowStart_, windowEnd_;
  std::map<std::string, std::vector<icaltimetype>> overridden_;
  ImportedEvents result_;
};

}  // namespace

bool iCalendarAvailable() { return true; }

std::variant<ImportedEvents, std::string> readICalendar(std::string_view text, const ImportClock& clock) {
  icalerror_set_errors_are_fatal(0);
  if (deepestNesting(text) > kDeepestNesting) return std::string("geen agenda: onderdelen te diep in elkaar");
  ical::Component root = parse(text);
  std::vector<icalcomponent*> events;
  bool calendarFound = false;
  if (root) collectEvents(root.get(), events, calendarFound);
  if (!calendarFound) return std::string("geen iCalendar-gegevens (BEGIN:VCALENDAR ontbreekt)");
  Importer importer(clock);
  importer.read(events);
  ImportedEvents imported = importer.take();
  imported.calendarName = calendarNameOf(root.get());
  return imported;
}

}  // namespace almanouk
