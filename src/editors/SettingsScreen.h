#pragma once
// The settings screen (F4): the popup, PC-speaker and sound switches, and the
// calendars with their days ahead and descriptions; one is chosen as the
// active calendar, new ones are made and others copied or deleted here. The
// settings file is written when the screen is left.

#include <optional>
#include <string>

#include "screen/SubScreen.h"
#include "settings/SettingsFile.h"

namespace almanouk {

class Platform;
class ScreenBuffer;
struct Settings;

class SettingsScreen : public SubScreen {
 public:
  static constexpr int kMaxCalendars = 9;

  // remembered: the field to open on, kept from a copy or deletion to the reopening.
  SettingsScreen(Platform& platform, ScreenBuffer& buffer, Settings& settings, std::optional<int>& remembered)
      : platform_(platform), buffer_(buffer), settings_(settings), remembered_(remembered) {}

  // The result's next key is the key handed back: nothing, F2 (list editor)
  // or F5 (diary) after Esc, F2 or F5; F4 after a copy or a deletion, which
  // also ask for the settings to be read again.
  ScreenResult run() override;

 private:
  // A field is a switch (0 popup, 1 PC speaker, 2 sound) or calendar line field - 3.
  struct Field {
    int row, column, width;
  };
  Field fieldAt(int field) const;
  int calendarCount() const;
  bool onCalendar() const { return field_ >= 3; }
  std::string& selectedChoice() { return file_.choices[static_cast<std::size_t>(field_ - 3)]; }
  static int rowOfCalendar(int index) { return 2 * index + 5; }

  void open();
  void loadFile();
  void drawChoices();
  void drawPanelAndBars();
  void paintField(int attribute);
  bool handle(const std::string& key);
  void moveDown();
  void moveUp();
  void cycleSwitch();
  void chooseCalendar();
  void changeDaysAhead(int step);
  void editDescription();
  void newCalendar();
  std::optional<std::string> askName(int row);
  void copySelected();
  void deleteSelected();
  void leaveForReload();
  void rebuildSettingsFile();
  // A line's calendar can be read and written: a proper name whose file is there.
  bool calendarPresent(const std::string& name) const;

  Platform& platform_;
  ScreenBuffer& buffer_;
  Settings& settings_;
  std::optional<int>& remembered_;
  SettingsFileLines file_;
  int field_ = 0;
  std::string settingsKey_;
  bool reloadRequested_ = false;
};

}  // namespace almanouk
