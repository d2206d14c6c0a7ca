#include "sync/EventPatch.h"

#include <cstring>
#include <optional>
#include <vector>

#include "calendar/ICal.h"

namespace almanouk {
namespace {

ical::Component parsed(const std::string& text) { return ical::Component(icalparser_parse_string(text.c_str())); }

// The event itself, not one of its changed occurrences.
icalcomponent* mainEvent(icalcomponent* calendar) {
  if (!calendar) return nullptr;
  if (icalcomponent_isa(calendar) == ICAL_VEVENT_COMPONENT) return calendar;
  for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
       event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
    if (!icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) return event;
  return nullptr;
}

std::string propertyText(icalcomponent* event, icalproperty_kind kind) {
  icalproperty* property = icalcomponent_get_first_property(event, kind);
  if (!property) return {};
  const char* text = icalproperty_as_ical_string(property);
  return text ? text : "";
}

void removeAll(icalcomponent* event, icalproperty_kind kind) {
  while (icalproperty* property = icalcomponent_get_first_property(event, kind)) {
    icalcomponent_remove_property(event, property);
    icalproperty_free(property);
  }
}

void copyAll(icalcomponent* from, icalcomponent* to, icalproperty_kind kind) {
  for (icalproperty* property = icalcomponent_get_first_property(from, kind); property;
       property = icalcomponent_get_next_property(from, kind))
    icalcomponent_add_property(to, icalproperty_new_clone(property));
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The summary the line's text stands for: without the reminder and the
// location the calendar added to it when the event came in.
std::string summaryIn(std::string text, icalcomponent* server) {
  const std::size_t reminder = text.rfind(" (herinnering ");
  if (reminder != std::string::npos && endsWith(text, ")") && text.size() - reminder == 20) text.erase(reminder);
  if (icalproperty* location = icalcomponent_get_first_property(server, ICAL_LOCATION_PROPERTY)) {
    const char* where = icalproperty_get_location(location);
    if (where && *where && endsWith(text, std::string(" - ") + where)) text.erase(text.size() - std::strlen(where) - 3);
  }
  return text;
}

void moveTo(icalcomponent* server, icalcomponent* line) {
  icalproperty* oldStart = icalcomponent_get_first_property(server, ICAL_DTSTART_PROPERTY);
  icalproperty* oldEnd = icalcomponent_get_first_property(server, ICAL_DTEND_PROPERTY);
  icaltimetype start = icalcomponent_get_dtstart(line);
  std::optional<icaldurationtype> length;
  if (oldStart && oldEnd) {
    const icaltimetype from = icalproperty_get_dtstart(oldStart);
    const icaltimetype to = icalproperty_get_dtend(oldEnd);
    if (from.is_date == start.is_date) length = icaltime_subtract(to, from);
  }
  removeAll(server, ICAL_DTSTART_PROPERTY);
  removeAll(server, ICAL_DTEND_PROPERTY);
  removeAll(server, ICAL_DURATION_PROPERTY);
  removeAll(server, ICAL_RRULE_PROPERTY);
  removeAll(server, ICAL_RDATE_PROPERTY);
  removeAll(server, ICAL_EXDATE_PROPERTY);
  icalcomponent_add_property(server, icalproperty_new_dtstart(start));
  if (length) icalcomponent_add_property(server, icalproperty_new_dtend(icaltime_add(start, *length)));
  copyAll(line, server, ICAL_RRULE_PROPERTY);
}

// Occurrences changed on their own no longer belong to the moved event.
void dropChangedOccurrences(icalcomponent* calendar) {
  std::vector<icalcomponent*> gone;
  for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
       event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
    if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) gone.push_back(event);
  for (icalcomponent* event : gone) {
    icalcomponent_remove_component(calendar, event);
    icalcomponent_free(event);
  }
}

void markChanged(icalcomponent* server, icalcomponent* line) {
  icalproperty* sequence = icalcomponent_get_first_property(server, ICAL_SEQUENCE_PROPERTY);
  const int next = sequence ? icalproperty_get_sequence(sequence) + 1 : 1;
  removeAll(server, ICAL_SEQUENCE_PROPERTY);
  icalcomponent_add_property(server, icalproperty_new_sequence(next));
  removeAll(server, ICAL_DTSTAMP_PROPERTY);
  copyAll(line, server, ICAL_DTSTAMP_PROPERTY);
  removeAll(server, ICAL_LASTMODIFIED_PROPERTY);
  if (icalproperty* stamp = icalcomponent_get_first_property(line, ICAL_DTSTAMP_PROPERTY))
    icalcomponent_add_property(server, icalproperty_new_lastmodified(icalproperty_get_dtstamp(stamp)));
}

}  // namespace

std::string patchedEvent(const std::string& serverEvent, const std::string& before, const std::string& after) {
  ical::Component calendar = parsed(serverEvent), old = parsed(before), now = parsed(after);
  icalcomponent* server = mainEvent(calendar.get());
  icalcomponent* was = mainEvent(old.get());
  icalcomponent* is = mainEvent(now.get());
  if (!server || !was || !is) return serverEvent;
  if (propertyText(was, ICAL_SUMMARY_PROPERTY) != propertyText(is, ICAL_SUMMARY_PROPERTY)) {
    const char* summary = icalcomponent_get_summary(is);
    removeAll(server, ICAL_SUMMARY_PROPERTY);
    icalcomponent_add_property(server, icalproperty_new_summary(summaryIn(summary ? summary : "", server).c_str()));
  }
  if (propertyText(was, ICAL_DTSTART_PROPERTY) != propertyText(is, ICAL_DTSTART_PROPERTY) ||
      propertyText(was, ICAL_RRULE_PROPERTY) != propertyText(is, ICAL_RRULE_PROPERTY)) {
    moveTo(server, is);
    dropChangedOccurrences(calendar.get());
  }
  markChanged(server, is);
  ical::Text text(icalcomponent_as_ical_string_r(calendar.get()));
  return text ? std::string(text.get()) : serverEvent;
}

std::string uidOfEvent(const std::string& ics) {
  ical::Component calendar = parsed(ics);
  icalcomponent* event = mainEvent(calendar.get());
  const char* uid = event ? icalcomponent_get_uid(event) : nullptr;
  return uid ? uid : "";
}

}  // namespace almanouk
