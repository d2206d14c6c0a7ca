#pragma once

#include <string>

#include "screen/ScreenBuffer.h"

namespace almanouk {

// The user's settings as the program holds them while it runs. The colour
// theme codes (themeFg, themeBg, themeBarFg) come from the Theme the screen
// buffer paints with.
struct Settings : Theme {
  std::string calFile;        // the active calendar file
  std::string savedCalFile;   // the user's calendar while the all-calendars view is on
  std::string diaryId = "0";  // line 2 of the active calendar
  int popupMode = 1;          // 0 "uit", 1 "ntp" (Notepad page), 2 "msg" (message box)
  int speakerOn = 1;
  int soundOn = 1;
  std::string themeLine;      // line 7 of the settings file as read
  int textColour = 12;
  int diaryDayColour = 13;
  int daysAhead = 7;          // 1 to 30
  std::string description;    // the active calendar's description, at most 25 characters
  int chosenPosition = 0;     // 1-based position of the marked choice line; 0 none

  bool allCalendarsView() const { return !savedCalFile.empty(); }
};

}  // namespace almanouk
