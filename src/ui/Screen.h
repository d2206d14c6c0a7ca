#pragma once
// The one shape of every screen that opens over the month view (help box,
// readme viewer, diary, list editor, settings screen, the notes and the
// event-list scroll): a class built with what it needs to read, that draws
// itself when it opens and takes one key at a time. One runner, runModal,
// feeds it keys while the clock and the alarms stand still, and hands what it
// returns to the main loop, which applies it in one place. A screen never
// changes the settings, the selected date or the main loop itself.

#include <cstdint>
#include <optional>
#include <string>

#include "calendar/Dates.h"
#include "platform/Keys.h"
#include "settings/Settings.h"

namespace almanouk {

class Platform;

// What the program tells itself to do next, apart from the keys the user presses.
enum class Command {
  Diary,       // open the diary on the selected date
  Settings,    // open the settings screen
  ListEditor,  // open the calendar editor
  Today,       // go to today (after midnight)
  Midnight,    // the date changed while the month view waited: a day on, then Today
  Quit,        // end the program
  Redraw,      // the calendar changed behind the month view (a sync brought news): draw it again
};

// What one pass of the main loop handles: a key the user pressed, or a command.
struct Input {
  Key key;
  std::optional<Command> command;
};

struct ScreenResult {
  // Handled by the main loop's next pass without waiting for a key.
  std::optional<Input> next;
  // The selected date jumps here ...
  std::optional<CalendarDay> date;
  // ... or moves a day back (-1) or on (+1), into the next month as a day move does.
  int dayStep = 0;
  SettingsChange settings;
  // The diary that opens next starts with the cursor at this 1-based position of its page.
  std::optional<std::int64_t> diaryPosition;
  // The list editor's copied line, for its next opening.
  std::optional<std::string> listClipboard;
  // The settings screen's line to open on next (after a copy or deletion, which reload the settings).
  std::optional<int> settingsLine;
  bool redrawMonthView = false;  // clear the screen buffer and draw the month frame
  std::string message;           // a failure to tell on the month view's status line
};

class Screen {
 public:
  virtual ~Screen() = default;
  // Draws the screen as it opens.
  virtual void open() = 0;
  // Draws what shows the state before the next key is read: a cursor, a status line.
  virtual void draw() {}
  // Takes one key; false when the screen is done.
  virtual bool handle(Key key) = 0;
  // What the main loop is to do once the screen is done.
  virtual ScreenResult result() { return {}; }
  // The key that leaves the screen as the user would, saving what it saves.
  virtual Key leaveKey() const { return keys::kEscape; }
  // Work the screen does in slices while no key waits (a long search), so
  // that it shows what it has and takes each key as it comes.
  virtual bool hasWork() const { return false; }
  virtual void continueWork() {}
};

// Opens the screen and feeds it keys until it is done; sleeps while no key
// comes and the screen has no work left. A request to close the program (the window's close button, the
// desktop ending the session) leaves the screen as its own leave key does,
// and then ends the program.
ScreenResult runModal(Platform& platform, Screen& screen);

}  // namespace almanouk
