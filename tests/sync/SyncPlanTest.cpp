// What a sync decides: which entries changed here since the last sync, and
// what each pair of local and remote changes calls for.

#include <gtest/gtest.h>

#include "sync/SyncPlan.h"

using namespace almanouk;

namespace {

SyncLine line(const char* text, Section section = Section::May) { return {section, text}; }

SyncRecord record(std::vector<SyncLine> lines, bool exact = true) {
  static int count = 0;
  return {"/cal/" + std::to_string(++count) + ".ics", "\"1\"", "uid", exact, std::move(lines), "", {}};
}

SyncRecord placed(SyncRecord record, std::vector<std::size_t> places) {
  record.places = std::move(places);
  return record;
}

struct DecideRow {
  LocalChange local;
  RemoteChange remote;
  bool same;
  Action expected;
};

TEST(SyncPlan, EachPairOfChangesHasItsAction) {
  using L = LocalChange;
  using R = RemoteChange;
  const DecideRow rows[] = {
      {L::Unchanged, R::Unchanged, false, Action::Nothing},
      {L::Unchanged, R::Changed, false, Action::TakeRemote},
      {L::Unchanged, R::Deleted, false, Action::DeleteLocal},
      {L::Modified, R::Unchanged, false, Action::SendChange},
      {L::Modified, R::Changed, false, Action::KeepBoth},
      {L::Modified, R::Changed, true, Action::Adopt},
      {L::Modified, R::Deleted, false, Action::SendAsNew},
      {L::Deleted, R::Unchanged, false, Action::DeleteRemote},
      {L::Deleted, R::Changed, false, Action::RestoreLocal},
      {L::Deleted, R::Deleted, false, Action::Forget},
      {L::Touched, R::Unchanged, false, Action::RestoreLocal},
      {L::Touched, R::Changed, false, Action::RestoreLocal},
      {L::Touched, R::Deleted, false, Action::DeleteLocal},
  };
  for (const DecideRow& row : rows)
    EXPECT_EQ(decide(row.local, row.remote, row.same), row.expected)
        << static_cast<int>(row.local) << " " << static_cast<int>(row.remote) << " " << row.same;
}

struct DiffRow {
  const char* name;
  std::vector<SyncRecord> records;
  std::vector<SyncLine> current;
  std::vector<LocalChange> changes;
  std::vector<std::ptrdiff_t> owners;  // per current line
};

TEST(SyncPlan, ALineDiffTellsChangesFromNewAndDeletedEntries) {
  using L = LocalChange;
  const DiffRow rows[] = {
      {"nothing changed", {record({line("01 A")}), record({line("02 B")})}, {line("01 A"), line("02 B")},
       {L::Unchanged, L::Unchanged}, {0, 1}},
      {"a changed line between unchanged ones is that entry changed",
       {record({line("01 A")}), record({line("02 B")}), record({line("03 C")})},
       {line("01 A"), line("02 B and more"), line("03 C")},
       {L::Unchanged, L::Modified, L::Unchanged}, {0, 1, 2}},
      {"the first and the last line changed",
       {record({line("01 A")}), record({line("02 B")})}, {line("01 X"), line("02 Y")},
       {L::Modified, L::Modified}, {0, 1}},
      {"a deleted line", {record({line("01 A")}), record({line("02 B")})}, {line("02 B")},
       {L::Deleted, L::Unchanged}, {1}},
      {"a new line belongs to no entry", {record({line("01 A")})}, {line("01 A"), line("09 New")},
       {L::Unchanged}, {0, -1}},
      {"a line in another section is no change of this one",
       {record({line("01 A")})}, {line("01 A2", Section::June)},
       {L::Deleted}, {-1}},
      {"two equal lines: one deleted", {record({line("01 A")}), record({line("01 A")})}, {line("01 A")},
       {L::Unchanged, L::Deleted}, {0}},
      {"more new lines than changed ones: the rest are new",
       {record({line("01 A")}), record({line("05 E")})}, {line("01 X"), line("02 Y"), line("05 E")},
       {L::Modified, L::Unchanged}, {0, -1, 1}},
      {"a line of a server's series changed: touched, its new text is the user's own",
       {record({line("01 S [reeks]"), line("08 S [reeks]")}, false)},
       {line("01 S [reeks]"), line("08 S moved")},
       {L::Touched}, {0, -1}},
      {"a line of a server's series deleted", {record({line("01 S [reeks]"), line("08 S [reeks]")}, false)},
       {line("08 S [reeks]")}, {L::Touched}, {0}},
      {"nothing synced yet: every line is new", {}, {line("01 A"), line("02 B")}, {}, {-1, -1}},
      {"an event's lines stand apart, another's between them",
       {placed(record({line("03 S [reeks]", Section::January), line("20 S [reeks]")}, false), {0, 2}),
        placed(record({line("05 B")}), {1})},
       {line("03 S changed", Section::January), line("05 B"), line("20 S [reeks]")},
       {L::Touched, L::Unchanged}, {-1, 1, 0}},
  };
  for (const DiffRow& row : rows) {
    const LocalDiff diff = diffLocal(row.records, row.current);
    EXPECT_EQ(diff.records, row.changes) << row.name;
    EXPECT_EQ(diff.ownerOf, row.owners) << row.name;
  }
}

TEST(SyncPlan, AChangedEntryKnowsItsLineNow) {
  const std::vector<SyncRecord> records = {record({line("01 A")}), record({line("02 B")})};
  const LocalDiff diff = diffLocal(records, {line("00 new"), line("01 A"), line("02 B!")});
  EXPECT_EQ(diff.lineOf, (std::vector<std::ptrdiff_t>{1, 2}));
}

TEST(SyncPlan, ALargeCalendarWithOneChangeIsDiffedExactly) {
  std::vector<SyncRecord> records;
  std::vector<SyncLine> current;
  for (int i = 0; i < 6000; ++i) {
    records.push_back(record({line(("entry " + std::to_string(i)).c_str())}));
    current.push_back(line(("entry " + std::to_string(i)).c_str()));
  }
  current[3000].text = "entry 3000 changed";
  current.erase(current.begin() + 10);
  const LocalDiff diff = diffLocal(records, current);
  EXPECT_EQ(diff.records[3000], LocalChange::Modified);
  EXPECT_EQ(diff.records[10], LocalChange::Deleted);
  EXPECT_EQ(std::count(diff.records.begin(), diff.records.end(), LocalChange::Unchanged), 5998);
}

}  // namespace
