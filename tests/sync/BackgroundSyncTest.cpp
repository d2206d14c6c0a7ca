// The running program and its linked calendars: a link it cannot read is
// told on the status line, not skipped in silence.

#include <gtest/gtest.h>

#include "e2e/Harness.h"

using almanouk::test::Harness;

TEST(BackgroundSync, ALinkThatCannotBeReadIsTold) {
  Harness h;
  h.run("2012-03-07 09:00:00", "");
  h.writeData("ALMANOUK.SYN", "not a link\n");
  h.run("2012-03-07 09:00:00", "");
  EXPECT_EQ(h.text(25, 2, 74), "Synchronisatie mislukt: ALMANOUK.AMN: koppeling onleesbaar, koppel opnieuw");
}
