#include "search/SearchScreen.h"

#include <algorithm>
#include <array>

#include "calendar/CalendarCache.h"
#include "calendar/CalendarList.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

namespace almanouk {
namespace {

constexpr std::array<std::string_view, kSections> kSectionNames = {
    "Maandelijks", "Wekelijks", "Dagelijks", "Januari", "Februari", "Maart",    "April",    "Mei",
    "Juni",        "Juli",      "Augustus",  "September", "Oktober", "November", "December"};
// Result rows: the date (15), the section or "Dagboek" (12), in the
// all-calendars view the calendar (13), then the text.
constexpr int kDateWidth = 15;
constexpr int kKindWidth = 12;
constexpr int kCalendarWidth = 13;
constexpr int kFirstResultRow = ScreenBuffer::kTitleRow + 1;
constexpr std::string_view kPrompt = "  Zoeken: ";
constexpr int kKeysColumn = 50;  // the status bar's keys

constexpr std::uint32_t kText = 0xC8C8C8;
constexpr std::uint32_t kBackground = 0x000000;
constexpr std::uint32_t kChosenText = 0xFFFFFF;
constexpr std::uint32_t kChosenBackground = 0x1D1DE2;
constexpr std::uint32_t kMatchText = 0xFFFF55;

std::string dateText(const std::optional<CalendarDay>& date) {
  if (!date) return " --";
  return " " + std::string(weekdayAbbreviation(weekdayOf(date->day, date->month, date->year))) + " " + dayText(*date);
}

// The part of the text that fits the width and shows the whole match, or its
// start; a page line's indent is left out.
struct Excerpt {
  std::string_view before, match, after;
};
Excerpt excerpt(std::string_view text, const Query::Match& match, std::size_t width) {
  std::size_t start = std::min(match.start, text.find_first_not_of(' '));
  const std::size_t end = match.start + match.length;
  if (end > start + width)
    start = std::min(match.start, end - width + std::min<std::size_t>(8, width - std::min(width, match.length)));
  std::string_view shown = text.substr(start, width);
  const std::size_t at = match.start - start;
  return {shown.substr(0, at), shown.substr(std::min(at, shown.size()), match.length),
          shown.substr(std::min(at + match.length, shown.size()))};
}

}  // namespace

SearchScreen::SearchScreen(Platform& platform, ScreenBuffer& buffer, const Settings& settings,
                           const SelectedDate& date, CalendarCache& calendars, SearchState& state)
    : platform_(platform), buffer_(buffer), settings_(settings), date_(date), calendars_(calendars), state_(state) {
  result_.redrawMonthView = true;
}

// The last search shows again while it covers the same calendars; in the
// other view it is done again over what that view covers.
void SearchScreen::open() {
  platform_.setColours(kText, kBackground);
  platform_.clearScreen();
  if (state_.search) {
    std::vector<std::string> files;
    for (const SearchedCalendar& calendar : state_.search->calendars()) files.push_back(calendar.file);
    if (files != searchedFiles()) startSearch();
  }
  resultsChanged_ = true;
}

void SearchScreen::draw() {
  drawPrompt();
  const std::size_t hits = state_.search ? state_.search->hits().size() : 0;
  // Results only come at the end while the search reads on: only their rows are drawn.
  if (resultsChanged_ || hits < shownHits_) drawResults(0);
  else if (hits > shownHits_) drawResults(shownHits_);
  drawStatusLine();
  // On the chosen result once the word typed is the one searched; else where the word is typed.
  if (hits > 0 && state_.search->query().text() == Query(state_.typed).text()) {
    focusAt(platform_, kFirstResultRow + static_cast<int>(state_.selected - state_.top), 0);
  } else {
    focusAt(platform_, ScreenBuffer::kTitleRow, static_cast<int>(kPrompt.size() + state_.typed.size()));
  }
}

bool SearchScreen::handle(Key key) {
  if (key.is(keys::kEscape)) return false;
  if (key.is(keys::kEnter)) {
    // A word not searched yet is searched; Enter again goes to the chosen result.
    const Query typed(state_.typed);
    if (!state_.search || state_.search->query().text() != typed.text()) {
      if (!typed.empty()) startSearch();
      return true;
    }
    return !openChosen();
  }
  if (key.is(keys::kBackspace)) {
    if (!state_.typed.empty()) state_.typed.pop_back();
  } else if (key.isExtended()) {
    switch (key.code()) {
      case KeyCode::Up: move(-1); break;
      case KeyCode::Down: move(1); break;
      case KeyCode::PageUp: move(-kResultRows); break;
      case KeyCode::PageDown: move(kResultRows); break;
      default: break;
    }
  } else if (key.isCharacter() && static_cast<unsigned char>(key.character()) >= ' ' &&
             state_.typed.size() < kLongestQuery) {
    state_.typed += key.character();
  }
  return true;
}

bool SearchScreen::hasWork() const { return state_.search && !state_.search->done(); }

void SearchScreen::continueWork() {
  if (state_.search) state_.search->continueWork(platform_.files());
}

ScreenResult SearchScreen::result() { return result_; }

std::vector<std::string> SearchScreen::searchedFiles() const {
  if (settings_.allCalendarsView()) return calendarFileNames(platform_);
  return {settings_.calFile};
}

void SearchScreen::startSearch() {
  const Query query(state_.typed);
  state_.search = std::make_unique<Search>(platform_, searchedCalendars(searchedFiles(), calendars_), query,
                                           CalendarDay{date_.day, date_.month, date_.year});
  state_.selected = 0;
  state_.top = 0;
  resultsChanged_ = true;
}

// False when there is nothing to go to: the screen stays.
bool SearchScreen::openChosen() {
  const std::vector<SearchHit>& hits = state_.search->hits();
  if (state_.selected >= hits.size()) return false;
  const SearchHit& hit = hits[state_.selected];
  if (!hit.date || hit.date->year < kFirstYear || hit.date->year > kLastYear) return false;
  result_.date = hit.date;
  // A page opens in the diary of the active calendar; the all-calendars view has no diary.
  if (hit.kind == SearchHit::Kind::Page && !settings_.allCalendarsView()) {
    result_.next = Input{{}, Command::Diary};
    result_.diaryPosition = hit.pagePosition;
  }
  return true;
}

void SearchScreen::move(std::ptrdiff_t step) {
  const std::size_t count = state_.search ? state_.search->hits().size() : 0;
  if (count == 0) return;
  const auto target = static_cast<std::ptrdiff_t>(state_.selected) + step;
  state_.selected = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(target, 0, static_cast<std::ptrdiff_t>(count) - 1));
  if (state_.selected < state_.top) state_.top = state_.selected;
  if (state_.selected >= state_.top + kResultRows) state_.top = state_.selected - kResultRows + 1;
  resultsChanged_ = true;
}

void SearchScreen::drawPrompt() {
  std::string text = std::string(kPrompt) + state_.typed + "_";
  buffer_.drawTitleBar(text, kRedBar);
}

// The rows of the results from the one numbered `from` on; from 0 every row, the empty ones too.
void SearchScreen::drawResults(std::size_t from) {
  const std::vector<SearchHit>* hits = state_.search ? &state_.search->hits() : nullptr;
  for (int row = 0; row < kResultRows; ++row) {
    const std::size_t index = state_.top + static_cast<std::size_t>(row);
    if (index < from || (from > 0 && (!hits || index >= hits->size()))) continue;
    if (hits && index < hits->size()) {
      drawResult(kFirstResultRow + row, (*hits)[index], index == state_.selected);
    } else {
      platform_.setColours(kText, kBackground);
      printAt(platform_, kFirstResultRow + row, 0, std::string(ScreenBuffer::kColumns, ' '));
    }
  }
  shownHits_ = hits ? hits->size() : 0;
  resultsChanged_ = false;
}

void SearchScreen::drawResult(int row, const SearchHit& hit, bool chosen) {
  const SearchedCalendar& calendar = state_.search->calendars()[hit.calendar];
  std::string lead = padRight(dateText(hit.date), kDateWidth);
  lead += padRight(hit.kind == SearchHit::Kind::Page ? "Dagboek" : kSectionNames[static_cast<std::size_t>(hit.section)],
                   kKindWidth);
  if (settings_.allCalendarsView()) lead += padRight(left(calendar.description(), kCalendarWidth - 1), kCalendarWidth);
  const auto width = static_cast<std::size_t>(ScreenBuffer::kColumns - 1) - lead.size();
  const Excerpt shown = excerpt(hit.text, hit.match, width);
  const std::uint32_t foreground = chosen ? kChosenText : kText;
  const std::uint32_t background = chosen ? kChosenBackground : kBackground;
  platform_.setColours(foreground, background);
  printAt(platform_, row, 0, lead + std::string(shown.before));
  platform_.setColours(kMatchText, background);
  platform_.printText(shown.match);
  platform_.setColours(foreground, background);
  const std::size_t used = lead.size() + shown.before.size() + shown.match.size();
  platform_.printText(padRight(shown.after, ScreenBuffer::kColumns - static_cast<int>(used)));
}

void SearchScreen::drawStatusLine() {
  std::string text;
  if (!state_.search) {
    text = "Typ een woord en druk op Enter";
  } else {
    const std::size_t count = state_.search->hits().size();
    text = count == 0 ? "Niets gevonden" : std::to_string(count) + (count == 1 ? " treffer" : " treffers");
    if (!state_.search->done()) text += ", het dagboek wordt nog doorzocht...";
  }
  buffer_.drawStatusBar(padRight("  " + text, kKeysColumn) + "Enter=Ga naar   Esc=Terug", kRedBar);
}

}  // namespace almanouk
