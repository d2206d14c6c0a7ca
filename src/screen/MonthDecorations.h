#pragma once
// Pixel decorations of the month grid, drawn straight onto the surface after
// each render: raised three-colour grid lines, the bevelled box around the
// selected day and the program's emblem.

namespace almanouk {

class Platform;

void drawGridLines(Platform& platform);
// The box at the position the renderer recorded; one pixel thicker in the
// all-calendars view. The focus goes to the day's number in it.
void drawDayBox(Platform& platform, int dayBoxLeft, int dayBoxTop, bool allCalendarsView);
void drawLogo(Platform& platform);

}  // namespace almanouk
