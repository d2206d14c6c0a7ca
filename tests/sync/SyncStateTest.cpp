// The sync state beside a calendar: read back as written, and never used
// when it was cut short or is not ours.

#include <gtest/gtest.h>

#include "sync/SyncState.h"

using namespace almanouk;

TEST(SyncState, ReadsBackWhatItWroteWhateverTheTextHolds) {
  SyncState state;
  state.link = {"https://server/cal/", "anna", "pass show caldav"};
  state.token = "http://radicale.org/ns/sync/abc";
  state.records.push_back({"/cal/a.ics", "\"e1\"", "uid-1", true, {{Section::May, "05 tab\there \\n not a break"}},
                           "BEGIN:VCALENDAR\r\nSUMMARY:x\\, y\r\nEND:VCALENDAR\r\n", {7}});
  state.records.push_back({"/cal/b.ics", "", "", false,
                           {{Section::December, "24 2026 A [reeks]"}, {Section::Monthly, "01 B [reeks]"}}, "", {40, 2}});
  state.records.push_back({"/cal/c.ics", "W/\"3\"", "u", false, {}, "x", {}});
  const std::optional<SyncState> read = readSyncState(writeSyncState(state));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->link.url, state.link.url);
  EXPECT_EQ(read->link.user, state.link.user);
  EXPECT_EQ(read->link.passwordCommand, state.link.passwordCommand);
  EXPECT_EQ(read->token, state.token);
  ASSERT_EQ(read->records.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read->records[i].href, state.records[i].href);
    EXPECT_EQ(read->records[i].etag, state.records[i].etag);
    EXPECT_EQ(read->records[i].uid, state.records[i].uid);
    EXPECT_EQ(read->records[i].exact, state.records[i].exact);
    EXPECT_EQ(read->records[i].lines, state.records[i].lines);
    EXPECT_EQ(read->records[i].event, state.records[i].event);
    EXPECT_EQ(read->records[i].places, state.records[i].places);
  }
}

TEST(SyncState, AStateNotWhollyOursIsNotUsed) {
  SyncState state;
  state.link.url = "https://server/cal/";
  state.records.push_back({"/cal/a.ics", "\"e\"", "u", true, {{Section::May, "05 A"}}, "x", {}});
  const std::string whole = writeSyncState(state);
  const std::string cut = whole.substr(0, whole.find("einde"));
  const struct {
    const char* name;
    std::string text;
  } rows[] = {
      {"cut before its end", cut},
      {"another file", "Thuis\r\n0\r\n7\r\n"},
      {"a section past December", "Almanouk synchronisatie 1\nadres\tx\nafspraak\ta\tb\tc\tprecies\nregel\t15\tx\neinde\n"},
      {"a section that is no number", "Almanouk synchronisatie 1\nadres\tx\nafspraak\ta\tb\tc\tprecies\nregel\t1a\tx\neinde\n"},
      {"a line before any event", "Almanouk synchronisatie 1\nadres\tx\nregel\t1\tx\neinde\n"},
      {"no address", "Almanouk synchronisatie 1\neinde\n"},
      {"an unknown key", "Almanouk synchronisatie 1\nadres\tx\nwachtwoord\tgeheim\neinde\n"},
  };
  for (const auto& row : rows) EXPECT_FALSE(readSyncState(row.text)) << row.name;
  EXPECT_TRUE(readSyncState(whole));
}

TEST(SyncState, LivesBesideItsCalendar) {
  EXPECT_EQ(syncStateName("ALMANOUK.AMN"), "ALMANOUK.SYN");
  EXPECT_EQ(syncStateName("WERK.AMN"), "WERK.SYN");
}
