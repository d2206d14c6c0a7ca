// What the Windows backend decides for itself: the alarm page as Notepad
// reads it, which start folder is the user's home, and what a balloon's
// events answer.

#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "alarm/Popups.h"
#include "platform/Text.h"
#include "platform/win32/Win32Notifier.h"
#include "platform/win32/Win32Platform.h"

using namespace almanouk;

// Notepad takes a page without a byte-order mark for the system's code page:
// the accents of the calendar (code page 437) reach it as UTF-8 after the mark.
TEST(Win32Platform, TheAlarmPageIsUtf8WithAByteOrderMark) {
  test::TempFolder folder;
  Win32Platform platform(folder.str());
  ASSERT_TRUE(writeAlarmPage(platform, cp437("13 10:25 Café met Zoë")));
  const std::string page = test::readFile(folder / "alarm.txt");
  EXPECT_EQ(page.substr(0, 5), "\xEF\xBB\xBF\r\n");
  EXPECT_NE(page.find("13 10:25 Caf\xC3\xA9 met Zo\xC3\xAB\r\n"), std::string::npos);
}

// Started from the Start menu in the profile folder, the program leaves it
// without a readme: Windows sets no HOME, the profile folder is home.
TEST(Win32Platform, TheProfileFolderIsHome) {
  const char* profile = std::getenv("USERPROFILE");
  ASSERT_NE(profile, nullptr);
  EXPECT_TRUE(Win32Platform(profile).workingFolderIsHome());
  EXPECT_TRUE(Win32Platform(std::string(profile) + "\\").workingFolderIsHome());
  test::TempFolder elsewhere;
  EXPECT_FALSE(Win32Platform(elsewhere.str()).workingFolderIsHome());
}

namespace {

using Event = BalloonAnswers::Event;

struct BalloonRow {
  const char* what;
  int balloons;                // shown one after another
  std::vector<Event> events;   // then these, of the icon
  std::vector<AnsweredNotification> answers;
  bool showing;                // a balloon still stands
};

void PrintTo(const BalloonRow& row, std::ostream* out) { *out << row.what; }

}  // namespace

class Balloon : public ::testing::TestWithParam<BalloonRow> {};

TEST_P(Balloon, AnswersSo) {
  BalloonAnswers balloons;
  for (int i = 1; i <= GetParam().balloons; ++i) EXPECT_EQ(balloons.show(), static_cast<std::uint32_t>(i));
  for (Event event : GetParam().events) balloons.handle(event);
  const std::vector<AnsweredNotification> answers = balloons.take();
  ASSERT_EQ(answers.size(), GetParam().answers.size());
  for (std::size_t i = 0; i < answers.size(); ++i) {
    EXPECT_EQ(answers[i].id, GetParam().answers[i].id) << i;
    EXPECT_EQ(answers[i].answer, GetParam().answers[i].answer) << i;
  }
  EXPECT_EQ(balloons.showing(), GetParam().showing);
  EXPECT_TRUE(balloons.take().empty());  // taken once
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Balloon,
    ::testing::Values(
        BalloonRow{"shown, no event yet", 1, {}, {}, true},
        BalloonRow{"clicked: OK", 1, {Event::Clicked}, {{1, NotificationAnswer::Ok}}, false},
        BalloonRow{"its time ran out or closed", 1, {Event::TimedOut}, {{1, NotificationAnswer::Closed}}, false},
        BalloonRow{"hidden with its icon: no answer of the user's", 1, {Event::Hidden}, {}, false},
        BalloonRow{"other events of the icon (the mouse over it)", 1, {Event::Other}, {}, true},
        BalloonRow{"a second closes the first", 2, {}, {{1, NotificationAnswer::Closed}}, true},
        BalloonRow{"a click after the second answers the second", 2, {Event::Clicked},
                   {{1, NotificationAnswer::Closed}, {2, NotificationAnswer::Ok}}, false},
        BalloonRow{"a click with none standing", 0, {Event::Clicked}, {}, false},
        BalloonRow{"one answer each: a second event answers nothing", 1, {Event::Clicked, Event::TimedOut},
                   {{1, NotificationAnswer::Ok}}, false}));

#endif
