#include "search/Search.h"

#include <algorithm>
#include <chrono>

#include "calendar/CalendarCache.h"
#include "diary/DiaryStore.h"
#include "platform/FileLayer.h"
#include "platform/Platform.h"

namespace almanouk {
namespace {

// How far a page's text is shown from the start of the match's line: that
// line and the next, where a phrase may go on.
constexpr std::size_t kPageExcerpt = 160;
constexpr auto kLineLength = static_cast<std::size_t>(kPageLineLength);
// A month day that comes again (the 29th of February) does so within eight years.
constexpr int kYearsToLookAhead = 8;

int serial(const CalendarDay& day) { return day.year * 10000 + day.month * 100 + day.day; }

int daysIn(int month, int year) { return monthInfo(month, year).days; }

// The first month from the given day on that has this day, within the year when one is given.
std::optional<CalendarDay> nextMonthly(int day, std::optional<int> year, const CalendarDay& from) {
  CalendarDay at{day, from.month, from.year};
  if (day < from.day) at.month += 1;
  for (int months = 0; months <= 12 * kYearsToLookAhead; ++months, ++at.month) {
    if (at.month > 12) at = {day, 1, at.year + 1};
    if (at.year > kLastYear || (year && at.year > *year)) return std::nullopt;
    if (day <= daysIn(at.month, at.year) && (!year || at.year == *year)) return at;
  }
  return std::nullopt;
}

// The first day from the given one on (or from the 1st of January of a later year given) with this weekday.
std::optional<CalendarDay> nextWeekly(int weekday, std::optional<int> year, const CalendarDay& from) {
  using namespace std::chrono;
  sys_days start{year_month_day{std::chrono::year{from.year}, month{static_cast<unsigned>(from.month)},
                                day{static_cast<unsigned>(from.day)}}};
  if (year && *year > from.year) start = sys_days{std::chrono::year{*year} / January / 1};
  const year_month_day at{start + days{(weekday - static_cast<int>(std::chrono::weekday{start}.iso_encoding()) + 7) % 7}};
  const int atYear = static_cast<int>(at.year());
  if (atYear > kLastYear || (year && atYear != *year)) return std::nullopt;
  return CalendarDay{static_cast<int>(static_cast<unsigned>(at.day())), static_cast<int>(static_cast<unsigned>(at.month())),
                     atYear};
}

std::optional<CalendarDay> nextYearly(int day, int month, std::optional<int> year, const CalendarDay& from) {
  if (year) {
    CalendarDay at{day, month, *year};
    if (*year < kFirstYear || *year > kLastYear || day > daysIn(month, *year)) return std::nullopt;
    return at;
  }
  for (int y = from.year; y <= std::min(from.year + kYearsToLookAhead, kLastYear); ++y) {
    CalendarDay at{day, month, y};
    if (day <= daysIn(month, y) && serial(at) >= serial(from)) return at;
  }
  return std::nullopt;
}

// The character at the position as the page shows it: an unwritten byte is a blank.
char shown(char c) { return c == '\0' ? ' ' : c; }

}  // namespace

std::string SearchedCalendar::lineOf(std::size_t index) const {
  if (!model || model->lines().size() <= index) return {};
  return std::string(model->lines()[index]);
}

std::string hitLine(const SearchHit& hit) {
  std::string_view text = hit.text;
  if (hit.kind == SearchHit::Kind::Page) text = text.substr(0, std::max(kLineLength, hit.match.start + hit.match.length));
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::optional<CalendarDay> nextOccurrence(const Entry& entry, const CalendarDay& from) {
  switch (entry.section) {
    case Section::Daily: return from;  // an alarm of every day
    case Section::Weekly:
      if (entry.day < 1 || entry.day > 7) return std::nullopt;
      return nextWeekly(entry.day, entry.year, from);
    case Section::Monthly:
      if (entry.day < 1 || entry.day > 31) return std::nullopt;
      return nextMonthly(entry.day, entry.year, from);
    default:
      if (entry.day < 1 || entry.day > 31) return std::nullopt;
      return nextYearly(entry.day, static_cast<int>(entry.section) - static_cast<int>(Section::January) + 1,
                        entry.year, from);
  }
}

Search::Search(Platform& platform, std::vector<SearchedCalendar> calendars, Query query, const CalendarDay& from)
    : calendars_(std::move(calendars)), query_(std::move(query)) {
  if (query_.empty()) return;
  searchEntries(from);
  listPages(platform);
}

// The entries by the date they come next, the soonest first; those that do not come again last.
void Search::searchEntries(const CalendarDay& from) {
  for (std::size_t c = 0; c < calendars_.size(); ++c) {
    const CalendarModel& model = *calendars_[c].model;
    for (const Entry& entry : model.entries()) {
      std::optional<Query::Match> match = query_.find(entry.line);
      if (!match) continue;
      hits_.push_back({SearchHit::Kind::Entry, c, nextOccurrence(entry, from), entry.section,
                       std::string(entry.line), *match, 0});
    }
  }
  std::stable_sort(hits_.begin(), hits_.end(), [](const SearchHit& a, const SearchHit& b) {
    if (!a.date || !b.date) return a.date.has_value() && !b.date.has_value();
    return serial(*a.date) < serial(*b.date);
  });
}

// Each diary once, under the first calendar that names it, without its two sentinel pages.
void Search::listPages(Platform& platform) {
  std::vector<std::string> seen;
  for (std::size_t c = 0; c < calendars_.size(); ++c) {
    const std::string id = calendars_[c].diaryId();
    if (id.empty() || std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    seen.push_back(id);
    const std::string first = startSentinelName(id), last = endSentinelName(id);
    for (std::string& name : pageNames(platform, id)) {
      std::optional<CalendarDay> day = pageDay(name);
      if (day && name != first && name != last) pages_.push_back({std::move(name), *day, c});
    }
  }
  // One diary's names come in date order: newest first is then their reverse, with no sort.
  const auto older = [](const PageToRead& a, const PageToRead& b) { return serial(a.day) < serial(b.day); };
  if (std::is_sorted(pages_.begin(), pages_.end(), older)) {
    std::reverse(pages_.begin(), pages_.end());
  } else {
    std::stable_sort(pages_.begin(), pages_.end(), [&](const PageToRead& a, const PageToRead& b) { return older(b, a); });
  }
}

bool Search::continueWork(FileLayer& files) {
  if (done()) return false;
  const std::size_t end = std::min(pages_.size(), nextPage_ + kPagesPerSlice);
  for (; nextPage_ < end; ++nextPage_)
    if (std::optional<std::string_view> bytes = files.readInto(pages_[nextPage_].name, room_))
      searchPage(pages_[nextPage_], *bytes);
  if (done()) {
    // The results stay until the next search; what read them need not.
    pages_ = {};
    nextPage_ = 0;
    room_ = {};
  }
  return true;
}

// One result per page: its first match.
void Search::searchPage(const PageToRead& page, std::string_view bytes) {
  std::optional<Query::Match> match = query_.find(bytes);
  if (!match) return;
  const std::size_t lineStart = match->start / kLineLength * kLineLength;
  std::string text(bytes.substr(lineStart, std::max(kPageExcerpt, match->start + match->length - lineStart)));
  std::transform(text.begin(), text.end(), text.begin(), shown);
  hits_.push_back({SearchHit::Kind::Page, page.calendar, page.day, Section::Monthly, std::move(text),
                   {match->start - lineStart, match->length}, static_cast<std::int64_t>(match->start) + 1});
}

std::vector<SearchedCalendar> searchedCalendars(const std::vector<std::string>& files, CalendarCache& cache) {
  std::vector<SearchedCalendar> calendars;
  for (const std::string& file : files) calendars.push_back({file, cache.get(file)});
  return calendars;
}

}  // namespace almanouk
