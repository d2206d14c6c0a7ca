#pragma once

#include <optional>
#include <string>

#include "screen/ScreenBuffer.h"

namespace almanouk {

// How an alarm announces itself: "PopUp=uit", "PopUp=ntp" (a page in the text
// viewer) or "PopUp=msg" (a message box).
enum class PopupMode { Off, Notepad, Message };

// The calendar whose entries and diary the program shows.
struct ActiveCalendar {
  std::string calFile;
  std::string diaryId;
  int chosenPosition = 0;  // 1-based position of its choice line in the settings file
};

// What a screen changed in the settings, for the main loop to apply.
struct SettingsChange {
  std::optional<PopupMode> popupMode;
  std::optional<bool> speakerOn;
  std::optional<bool> soundOn;
  std::optional<ActiveCalendar> active;
  std::optional<int> daysAhead;
};

// The user's settings as the program holds them while it runs. The colour
// theme codes (themeFg, themeBg, themeBarFg) come from the Theme the screen
// buffer paints with.
struct Settings : Theme {
  std::string calFile;        // the active calendar file
  std::string savedCalFile;   // the user's calendar while the all-calendars view is on
  std::string diaryId = "0";  // line 2 of the active calendar
  PopupMode popupMode = PopupMode::Notepad;
  bool speakerOn = true;
  bool soundOn = true;
  std::string themeLine;      // line 7 of the settings file as read
  int textColour = 12;
  int diaryDayColour = 13;
  int daysAhead = 7;          // 1 to 30
  std::string description;    // the active calendar's description, at most 25 characters
  int chosenPosition = 0;     // 1-based position of the marked choice line; 0 none

  bool allCalendarsView() const { return !savedCalFile.empty(); }
  void apply(const SettingsChange& change);
};

}  // namespace almanouk
