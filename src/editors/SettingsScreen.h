#pragma once
// The settings screen (F4): the popup, PC-speaker and sound switches, and the
// calendars with their days ahead and descriptions; one is chosen as the
// active calendar, new ones are made and others copied or deleted here. The
// settings file is written when the screen is left.

#include <optional>
#include <string>

#include "platform/FileResult.h"
#include "settings/SettingsFile.h"
#include "ui/Screen.h"

namespace almanouk {

class Platform;
class ScreenBuffer;
struct Settings;

class SettingsScreen : public Screen {
 public:
  static constexpr int kMaxCalendars = 9;

  // openOn: the field to open on, which an earlier opening handed back after a copy or deletion.
  SettingsScreen(Platform& platform, ScreenBuffer& buffer, const Settings& settings, std::optional<int> openOn)
      : platform_(platform), buffer_(buffer), settings_(settings), openOn_(openOn) {}

  void open() override;
  void draw() override;
  bool handle(Key key) override;
  // The settings changed; the key handed back (F2 on to the list editor, F5
  // on to the diary); after a copy or deletion, the settings to be read again
  // and the field to open on then.
  ScreenResult result() override;

 private:
  // What the keys do: move between the fields, or type into one of the three inputs.
  enum class Mode { Fields, Description, Name, Confirm };
  // A field is a switch (0 popup, 1 PC speaker, 2 sound) or calendar line field - 3.
  struct Field {
    int row, column, width;
  };
  Field fieldAt(int field) const;
  int calendarCount() const;
  bool onCalendar() const { return field_ >= 3; }
  std::string& selectedChoice() { return file_.choices[static_cast<std::size_t>(field_ - 3)]; }
  static int rowOfCalendar(int index);

  void loadFile();
  void drawChoices();
  void drawPanelAndBars();
  void paintField(int attribute);
  bool handleField(Key key);
  bool leave();
  void moveDown();
  void moveUp();
  void cycleSwitch();
  void chooseCalendar();
  void changeDaysAhead(int step);

  void startDescription();
  void typeDescription(Key key);
  void finishDescription(bool keep);

  void startName();
  void askNameAgain();
  void typeName(Key key);
  void newCalendar(const std::string& typed);

  void copySelected();
  void askDelete();
  void answerDelete(Key answer);
  void leaveForReload();
  void rebuildSettingsFile();
  // A line's calendar can be read and written: a proper name whose file is there.
  bool calendarPresent(const std::string& name) const;
  // Tells a failure on the bottom row until the next key.
  void tell(const FileResult& result);

  Platform& platform_;
  ScreenBuffer& buffer_;
  const Settings& settings_;
  std::optional<int> openOn_;
  SettingsFileLines file_;
  std::string calFile_;  // the active calendar as this screen leaves it
  std::string read_;     // the settings file as the screen read it
  SettingsChange change_;
  Mode mode_ = Mode::Fields;
  int field_ = 0;
  std::optional<Command> handBack_;  // the main loop's next command
  bool reloadRequested_ = false;
  bool saveFailed_ = false;  // the settings file could not be written: the next leave goes, the settings kept beside it
  int inputColumn_ = 0;      // the description's next cell (less 2)
  std::string typed_;        // the description or name typed so far
  std::string message_;      // told on the bottom row until the next key
  std::string notice_;       // told in the month view after the screen closed
};

}  // namespace almanouk
