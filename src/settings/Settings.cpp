#include "settings/Settings.h"

namespace almanouk {

void Settings::apply(const SettingsChange& change) {
  if (change.popupMode) popupMode = *change.popupMode;
  if (change.speakerOn) speakerOn = *change.speakerOn;
  if (change.soundOn) soundOn = *change.soundOn;
  if (change.active) {
    calFile = change.active->calFile;
    diaryId = change.active->diaryId;
    chosenPosition = change.active->chosenPosition;
  }
  if (change.daysAhead) daysAhead = *change.daysAhead;
}

}  // namespace almanouk
