// A word and a calendar and diary page of any bytes: the search finds only
// what folds to the word, inside the text it shows, and the screen that
// shows it moves through the results and goes to one.

#include "FuzzSupport.h"
#include "calendar/CalendarCache.h"
#include "screen/ScreenBuffer.h"
#include "search/SearchScreen.h"
#include "settings/Settings.h"

using namespace almanouk;

namespace {

void checkMatch(const Query& query, std::string_view text, const Query::Match& match) {
  if (match.length == 0 || match.start + match.length > text.size()) __builtin_trap();
  // Folded, the match is the word with its blanks stretched over runs of blanks.
  std::string folded;
  for (char c : text.substr(match.start, match.length)) {
    char f = foldForSearch(c);
    if (f != ' ' || folded.empty() || folded.back() != ' ') folded += f;
  }
  std::string word;
  for (char c : query.text()) {
    char f = foldForSearch(c);
    if (f != ' ' || word.empty() || word.back() != ' ') word += f;
  }
  if (folded != word) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t wordLength = std::min<std::size_t>(data[0] % 16, size - 1);
  const std::string_view word(reinterpret_cast<const char*>(data) + 1, wordLength);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1 + wordLength, size - 1 - wordLength);
  const Query query(word);
  for (std::size_t from = 0; auto match = query.find(rest, from); from = match->start + 1) checkMatch(query, rest, *match);

  const auto& folder = fuzz::freshFolder();
  fuzz::writeFile(folder / "ALMANOUK.AMN", rest);
  fuzz::writeFile(folder / "20120306.D02", rest);
  HeadlessPlatform& platform = fuzz::platformFor(folder, "F8");
  CalendarCache cache(platform.files());
  Search search(platform, searchedCalendars({"ALMANOUK.AMN"}, cache), query, CalendarDay{7, 3, 2012});
  search.finish(platform.files());
  for (const SearchHit& hit : search.hits()) checkMatch(query, hit.text, hit.match);

  // The screen, typing the word again, through its results and to the last one.
  std::string keys = "Enter Down PgDn Up PgUp PgDn Enter";
  for (char c : word)
    if (c == ' ' || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) keys = "\"" + std::string(1, c) + "\" " + keys;
  platform.restartScript(*KeyScript::parse(keys));
  Settings settings;
  settings.calFile = "ALMANOUK.AMN";
  ScreenBuffer buffer(platform, settings);
  SelectedDate date;
  setDate(date, 7, 3, 2012);
  SearchState state;
  SearchScreen screen(platform, buffer, settings, date, cache, state);
  fuzz::survive([&] { runModal(platform, screen); });
  return 0;
}
