// The list editor from the month view: F2, an entry added, and the month
// view, event list and alarms using it at once.

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/Harness.h"

using namespace almanouk;
using test::Harness;

TEST(ListEditorFlow, ANewEntryIsListedAndItsAlarmFires) {
  Harness h;
  h.writeData("Almanouk.ini", test::crlf(test::settingsLines({.popup = "PopUp=msg", .sound = "Sound=uit"})));
  h.writeData("ALMANOUK.AMN", test::calendarFile("Werk", {}, {}, {}, {}));
  auto result = h.run("2012-03-07 09:00:30", "F2 Home \"07 09:01 Koffie met Ans\" Esc wait:40");
  EXPECT_EQ(h.text(20, 5, 22), "07 09:01 Koffie met An");
  EXPECT_NE(std::find(result.events.begin(), result.events.end(), "msgbox Almanouk|        07 09:01 Koffie met Ans        "),
            result.events.end());
  EXPECT_EQ(h.text(5, 4, 4), "week");
}

TEST(ListEditorFlow, TheClipboardLastsFromOneOpeningToTheNext) {
  Harness h;
  h.run("2012-03-07 09:00:00", "F2 Home \"15 Gekopieerd\" Ctrl+K Esc F2 Home Down Ctrl+P Esc");
  std::vector<std::string> file = test::splitLines(test::readFile(h.data("ALMANOUK.AMN")));
  EXPECT_EQ(std::count(file.begin(), file.end(), "15 Gekopieerd"), 2);
}
