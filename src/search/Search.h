#pragma once
// A word looked for in the calendars' entries and their diary pages. The
// entries are searched at once; the pages, which may be tens of thousands of
// files, newest first in slices, so that the results show while the rest is
// still read. Searching only reads: no file is made, changed or deleted.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "search/Query.h"

namespace almanouk {

class CalendarCache;
class FileLayer;
class Platform;

// One calendar searched: its file, and its description and diary identifier (lines 1 and 2).
struct SearchedCalendar {
  std::string file;
  std::shared_ptr<const CalendarModel> model;
  std::string description() const { return lineOf(0); }
  std::string diaryId() const { return lineOf(1); }

 private:
  std::string lineOf(std::size_t index) const;
};

struct SearchHit {
  enum class Kind { Entry, Page };
  Kind kind = Kind::Entry;
  std::size_t calendar = 0;          // into the searched calendars
  std::optional<CalendarDay> date;   // an entry's next occurrence, a page's day
  Section section = Section::Monthly;  // an entry's
  std::string text;                  // the entry's line; the page from the match's line on
  Query::Match match;                // in text
  std::int64_t pagePosition = 0;     // a page's: the match's 1-based byte position
};

// A result's text on one line: the entry's line, or the page's line holding
// the match (with the next when the match goes on there), without the blanks at its ends.
std::string hitLine(const SearchHit& hit);

// The date an entry next comes on, from the given day on, as the month view
// lists it; a one-off day's own date, past or not ("when was the dentist?");
// nothing when it does not come again or has no day.
std::optional<CalendarDay> nextOccurrence(const Entry& entry, const CalendarDay& from);

class Search {
 public:
  // Pages read per slice of work.
  static constexpr std::size_t kPagesPerSlice = 400;

  // Searches the entries at once and lists the pages to read.
  Search(Platform& platform, std::vector<SearchedCalendar> calendars, Query query, const CalendarDay& from);

  const Query& query() const { return query_; }
  const std::vector<SearchedCalendar>& calendars() const { return calendars_; }
  const std::vector<SearchHit>& hits() const { return hits_; }
  bool done() const { return nextPage_ == pages_.size(); }
  // Reads the next slice of pages; false when none were left.
  bool continueWork(FileLayer& files);
  void finish(FileLayer& files) {
    while (continueWork(files)) {}
  }

 private:
  struct PageToRead {
    std::string name;
    CalendarDay day;
    std::size_t calendar;
  };

  void searchEntries(const CalendarDay& from);
  void listPages(Platform& platform);
  void searchPage(const PageToRead& page, std::string_view bytes);

  std::vector<SearchedCalendar> calendars_;
  Query query_;
  std::vector<SearchHit> hits_;
  std::vector<PageToRead> pages_;  // newest first
  std::size_t nextPage_ = 0;
  std::string room_;  // for the page being read, kept from page to page
};

// The calendar files to search, each as the cache holds its current version.
std::vector<SearchedCalendar> searchedCalendars(const std::vector<std::string>& files, CalendarCache& cache);

}  // namespace almanouk
