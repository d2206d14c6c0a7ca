#pragma once
// F8: a word or phrase looked for in the entries and the diary pages. A
// prompt line at the top, the results below it one to a row, their count on
// the status line. Enter searches; on a result it goes there: a diary page
// opens with the cursor at the match, an entry shows the day it next comes on.
// The last search stays for the next F8.

#include <cstddef>
#include <memory>
#include <string>

#include "search/Search.h"
#include "ui/Screen.h"

namespace almanouk {

class CalendarCache;
class Platform;
class ScreenBuffer;
struct SelectedDate;
struct Settings;

// What the program keeps of the last search between visits. The screen works
// on it in place rather than handing it back in its result: a search may still
// be running through the diary when the screen closes, and the contract of
// every screen (ui/) stands below search and cannot carry one. No one else
// reads or writes it.
struct SearchState {
  std::string typed;               // the prompt's text, code page 437
  std::unique_ptr<Search> search;  // the last search and its results
  std::size_t selected = 0;        // the chosen result
  std::size_t top = 0;             // the first result shown
};

class SearchScreen : public Screen {
 public:
  static constexpr int kResultRows = 23;  // the rows between the title and the status bar
  static constexpr std::size_t kLongestQuery = 60;

  SearchScreen(Platform& platform, ScreenBuffer& buffer, const Settings& settings, const SelectedDate& date,
               CalendarCache& calendars, SearchState& state);

  void open() override;
  void draw() override;
  bool handle(Key key) override;
  bool hasWork() const override;
  void continueWork() override;
  ScreenResult result() override;

 private:
  std::vector<std::string> searchedFiles() const;
  void startSearch();
  bool openChosen();
  void move(std::ptrdiff_t step);
  void drawPrompt();
  void drawResults(std::size_t from);
  void drawResult(int row, const SearchHit& hit, bool chosen);
  void drawStatusLine();

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  const SelectedDate& date_;
  CalendarCache& calendars_;
  SearchState& state_;
  ScreenResult result_;
  std::size_t shownHits_ = 0;  // results drawn by the last draw, to draw only when more came
  bool resultsChanged_ = true;
};

}  // namespace almanouk
