#include "editors/ListEditor.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "calendar/CalendarCache.h"
#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "calendar/Dates.h"
#include "platform/headless/HeadlessPlatform.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

using namespace almanouk;

namespace {

// The editor on its own over a calendar in a fresh folder, in March 2012.
struct ListEditorTest : ::testing::Test {
  test::TempFolder folder;
  std::unique_ptr<HeadlessPlatform> platform;
  Settings settings;
  std::unique_ptr<ScreenBuffer> buffer;
  SelectedDate date;
  std::string clipboard;
  std::unique_ptr<CalendarCache> calendars;
  std::unique_ptr<ListEditor> editor;
  ScreenResult result;

  ListEditorTest() {
    settings.calFile = "ALMANOUK.AMN";
    settings.themeFg = 7;
    setDate(date, 7, 3, 2012);
    test::writeFile(folder / "Almanouk.ini", test::crlf(test::settingsLines()));
  }

  void writeCalendar(const std::vector<std::string>& lines) { test::writeFile(folder / "ALMANOUK.AMN", test::crlf(lines)); }
  void useTemplate() {
    platform = std::make_unique<HeadlessPlatform>(test::headlessOptions(folder), KeyScript{});
    ASSERT_TRUE(writeCalendarTemplate(*platform, "ALMANOUK.AMN", "0"));
  }
  std::vector<std::string> calendar() { return test::splitLines(test::readFile(folder / "ALMANOUK.AMN")); }

  // Opens the editor, closes the help box with Home, runs the keys.
  void edit(const std::string& keys) {
    platform = std::make_unique<HeadlessPlatform>(test::headlessOptions(folder), *KeyScript::parse("Home " + keys));
    buffer = std::make_unique<ScreenBuffer>(*platform, settings);
    calendars = std::make_unique<CalendarCache>(platform->files());
    editor = std::make_unique<ListEditor>(*platform, *buffer, settings, date, *calendars, clipboard);
    stillOpen = false;
    try {
      result = runModal(*platform, *editor);
    } catch (const RunEnded&) {
      stillOpen = true;  // the keys ran out with the editor open
    }
  }
  bool stillOpen = false;
  std::string row(int r) {
    std::string text;
    for (int column = 0; column < 80; ++column) text += static_cast<char>(buffer->at(r, column).character);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }
  // A screen row as the window shows it (1-based).
  std::string shown(int r) {
    std::string text;
    for (int column = 1; column <= 80; ++column) text += static_cast<char>(platform->surface().charAt(r, column));
    return text;
  }
  // The index of a line in the list (the file from its line 4).
  static std::size_t lineIndex(const std::vector<std::string>& file, const std::string& text) {
    return static_cast<std::size_t>(std::find(file.begin(), file.end(), text) - file.begin()) - 3;
  }
};

std::string repeated(const std::string& key, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += key + " ";
  return out;
}

}  // namespace

TEST_F(ListEditorTest, OpensOnTheMonthAndLeavesAnUntouchedFileAsItWas) {
  useTemplate();
  const std::string before = test::readFile(folder / "ALMANOUK.AMN");
  edit("Esc");
  EXPECT_EQ(row(1), "   Maart");
  EXPECT_EQ(editor->lines()[static_cast<std::size_t>(editor->top())], "Maart");
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AM2"), before);  // the backup holds the file as it was at F2
  EXPECT_TRUE(result.redrawMonthView);
  EXPECT_FALSE(result.next);

  // The days ahead are read again from the settings file on leaving.
  settings.daysAhead = 30;
  test::writeFile(folder / "Almanouk.ini",
                  test::crlf(test::settingsLines({.choices = {"-> ALMANOUK.AMN = Omschrijving.               3"}})));
  edit("Esc");
  EXPECT_EQ(result.settings.daysAhead, 3);

  setDate(date, 1, 5, 2012);
  edit("Esc");
  EXPECT_EQ(row(1), "   Mei");
}

TEST_F(ListEditorTest, TypedTextIsSavedWithoutTrailingBlanks) {
  useTemplate();
  edit("\"07 Verjaardag   \" Esc");
  std::vector<std::string> file = calendar();
  EXPECT_EQ(file[lineIndex(file, "Maart") + 3 + 2], "07 Verjaardag");
  EXPECT_EQ(file[file.size() - 26], "Einde");
  EXPECT_EQ(file.size(), 109u);
}

TEST_F(ListEditorTest, TheWindowScrollsToBothEndsAndStops) {
  useTemplate();
  edit(repeated("PgUp", 5) + "Esc");
  EXPECT_EQ(editor->top(), 0);
  EXPECT_EQ(row(3), "   Maandelijks");
  edit(repeated("PgDn", 200) + "Esc");
  EXPECT_EQ(editor->top(), static_cast<int>(editor->lines().size()) - 23);
  EXPECT_EQ(editor->lines().size(), ListEditor::kMinLines);
  // Left and Right wrap within the window without scrolling.
  edit("Up Up Left Esc");
  EXPECT_EQ(editor->top(), static_cast<int>(lineIndex(calendar(), "Maart")));
  edit(repeated("Right", 73) + "\"x\" Esc");  // past column 75: column 3 of the next row
  EXPECT_EQ(row(4), "   x");
  EXPECT_EQ(editor->top(), static_cast<int>(lineIndex(calendar(), "Maart")));
}

// No key changes a section line or the two lines above "Maandelijks": one
// key there (Del on "Dagelijks") would leave a calendar the start refuses.
TEST_F(ListEditorTest, ProtectedRowsTakeNoKeyThatEdits) {
  useTemplate();
  const std::string before = test::readFile(folder / "ALMANOUK.AMN");
  const std::string edits = "\"x\" Tab Ctrl+D Enter Ctrl+P Bksp Ins Del ";
  edit(repeated("PgUp", 5) + edits + "Down " + edits + "Down " + edits + "Esc");
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
  edit(repeated("Up", 2) + edits + "Home " + edits + "End Del Esc");  // "Maart"
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
}

// The last defence: a second "Dagelijks" made on an entry row (typed from
// its second letter, so that no key lands on a section line) would make the
// start refuse the calendar, so the save is refused and says why.
TEST_F(ListEditorTest, ASaveTheStartWouldRefuseIsNotWritten) {
  useTemplate();
  const std::string before = test::readFile(folder / "ALMANOUK.AMN");
  const std::string second = repeated("PgUp", 5) + "Down Down Down Right \"agelijks\" Home \"D\" ";  // under "Maandelijks"
  edit(second + "Esc");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
  EXPECT_EQ(shown(25).substr(0, 70), " Opslaan mislukt (kopregels kloppen niet): ALMANOUK.AMN is niet gewijz");
  edit(second + "Esc F3 Esc");  // the changes thrown away: the editor can be left
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
}

TEST_F(ListEditorTest, LinesAreInsertedDeletedCopiedAndPasted) {
  useTemplate();
  // Ctrl+P before any Ctrl+K does nothing; then a copy of the "1 Een" line is pasted above "April".
  edit("\"10 Tien\" Ctrl+P Ctrl+K Down Ctrl+P Esc");
  std::vector<std::string> file = calendar();
  auto maart = std::find(file.begin(), file.end(), "Maart");
  EXPECT_EQ(std::vector<std::string>(maart, maart + 6), (std::vector<std::string>{"Maart", "", "10 Tien", "10 Tien", "", "April"}));
  ASSERT_TRUE(result.listClipboard);
  EXPECT_EQ(result.listClipboard->size(), 79u);

  edit("Ctrl+D Ctrl+D Ctrl+I \"nieuw\" Esc");
  file = calendar();
  maart = std::find(file.begin(), file.end(), "Maart");
  EXPECT_EQ(std::vector<std::string>(maart, maart + 5), (std::vector<std::string>{"Maart", "", "nieuw", "", "April"}));
}

TEST_F(ListEditorTest, EnterOpensALineAboveAtColumnThreeAndBelowElsewhere) {
  useTemplate();
  edit("\"12 a\" Home Enter \"11 b\" End Enter \"13 c\" Esc");
  std::vector<std::string> file = calendar();
  std::size_t maart = lineIndex(file, "Maart") + 3;
  EXPECT_EQ(file[maart + 2], "");
  EXPECT_EQ(file[maart + 3], "11 b");  // the cursor went down with "12 a" and typed over it
  EXPECT_EQ(file[maart + 4], "13 c");
}

TEST_F(ListEditorTest, ColumnSeventyFiveTakesTheLastCharacter) {
  useTemplate();
  // Column 75 is typed over again and again; Backspace right after blanks it.
  edit("\"" + std::string(72, 'a') + "xyz\" Bksp Esc");
  EXPECT_EQ(row(3), "   " + std::string(72, 'a'));
  edit("\"" + std::string(72, 'a') + "xyz\" Left Right Bksp Esc");
  EXPECT_EQ(row(3), "   " + std::string(71, 'a') + " z");
}

TEST_F(ListEditorTest, F3BringsBackTheFileAsItWasAtF2) {
  useTemplate();
  const std::string before = test::readFile(folder / "ALMANOUK.AMN");
  edit("\"weg\" Ctrl+D Ctrl+D F3 Esc");
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), before);
  EXPECT_EQ(row(1), "   Maart");
}

TEST_F(ListEditorTest, F4SavesAndHandsTheSettingsScreenOn) {
  useTemplate();
  edit("\"07 x\" F4");
  std::vector<std::string> file = calendar();
  EXPECT_EQ(file[lineIndex(file, "Maart") + 3 + 2], "07 x");
  ASSERT_TRUE(result.next);
  EXPECT_EQ(result.next->command, Command::Settings);
}

// A file that lost its end line (edited elsewhere) is saved with "Einde"
// after the last line kept, so the next start accepts it.
TEST_F(ListEditorTest, AFileThatLostItsEndLineIsSavedWithOne) {
  std::vector<std::string> lines = test::calendarLines("Kort", "0");
  lines.back() = "inde";
  writeCalendar(lines);
  setDate(date, 1, 12, 2012);
  edit("Tab Ctrl+D Esc");
  std::vector<std::string> file = calendar();
  ASSERT_GE(file.size(), 28u);
  EXPECT_EQ(file[file.size() - 28], "inde");
  EXPECT_EQ(file[file.size() - 27], "");
  EXPECT_EQ(file[file.size() - 26], "Einde");
  EXPECT_EQ(std::count(file.end() - 25, file.end(), ""), 25);
}

// No line the user did not delete is lost: a file far longer than 4000
// lines, and a line longer than the window shows.
TEST_F(ListEditorTest, LongFilesAndLongLinesKeepWhatWasNotChanged) {
  std::vector<std::string> lines = test::calendarLines("Lang", "0", {{}, {}, {}, {}, {}, {std::string(300, 'L'), "07 kort"}});
  lines.insert(lines.end() - 1, 10000, "in december");
  writeCalendar(lines);
  edit("Down \"x\" Esc");
  std::vector<std::string> file = calendar();
  EXPECT_EQ(std::count(file.begin(), file.end(), "in december"), 10000);
  EXPECT_EQ(file[lineIndex(file, "Maart") + 3 + 2], std::string(300, 'L'));
  EXPECT_EQ(file[lineIndex(file, "Maart") + 3 + 3], "x7 kort");

  edit("\"y\" Esc");  // the shown part of the long line changed: what is shown is what is kept
  file = calendar();
  EXPECT_EQ(file[lineIndex(file, "Maart") + 3 + 2], "y" + std::string(75, 'L'));

  // Inserting a line where the list is full grows it rather than pushing a line out.
  writeCalendar(lines);
  edit(repeated("PgDn", 600) + "Up Ctrl+I Esc");
  file = calendar();
  EXPECT_EQ(std::count(file.begin(), file.end(), "in december"), 10000);
  EXPECT_EQ(file[file.size() - 26], "Einde");
}

namespace {

struct ListEditorHostileTest : ListEditorTest, ::testing::WithParamInterface<std::string> {};

// The lines a save must keep: those before the first end line, but blank
// ones (the window drops trailing blanks; headers get blank lines around them).
std::vector<std::string> keptLines(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (std::size_t i = 3; i < lines.size() && !isEndLine(lines[i]); ++i) {
    std::string line = lines[i].substr(0, lines[i].find_last_not_of(' ') + 1);
    if (!line.empty()) kept.push_back(line);
  }
  return kept;
}

}  // namespace

TEST_P(ListEditorHostileTest, OpensAndSavesWithoutLosingBytes) {
  const std::string contents = test::hostileFile(GetParam());
  test::writeFile(folder / "ALMANOUK.AMN", contents);
  edit("Esc");  // nothing edited: nothing written
  EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), contents);

  edit("Tab Ctrl+D Esc");  // an edit that changes no line
  const std::vector<std::string> original = test::splitLines(contents);
  if (stillOpen) {  // a calendar the start would refuse is not written
    EXPECT_FALSE(passesCalendarCheck(original));
    EXPECT_EQ(test::readFile(folder / "ALMANOUK.AMN"), contents);
    return;
  }
  const std::vector<std::string> file = calendar();
  EXPECT_TRUE(keptLines(file) == keptLines(original));
  ASSERT_GE(file.size(), 29u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(file[i], i < original.size() ? original[i] : "");
  EXPECT_EQ(file[file.size() - 26], "Einde");
  EXPECT_EQ(std::count(file.end() - 25, file.end(), ""), 25);
}

INSTANTIATE_TEST_SUITE_P(Corpus, ListEditorHostileTest, ::testing::ValuesIn(test::hostileCorpus()), test::corpusTestName);
