// What the Windows backend decides for itself: the alarm page as Notepad
// reads it, and which start folder is the user's home.

#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "alarm/Popups.h"
#include "platform/Text.h"
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

#endif
