#pragma once
// What a sync does, decided without the network: which entries changed in
// the calendar since the last sync (a line diff against the lines as last
// synced: a changed line between unchanged neighbours is that event changed,
// not one deleted and one new), and what each event's local and remote
// changes together call for. Nothing is ever decided silently for one side:
// when both changed an event, both versions stay.

#include <cstddef>
#include <vector>

#include "sync/SyncState.h"

namespace almanouk {

enum class LocalChange {
  Unchanged,
  Modified,  // its one line is now another
  Deleted,
  Touched,  // lines of an event the server owns were changed or deleted: they come back
};

struct LocalDiff {
  std::vector<LocalChange> records;         // one per record
  std::vector<std::ptrdiff_t> lineOf;       // per record: the current line it is now (-1: none or several)
  std::vector<std::ptrdiff_t> ownerOf;      // per current line: its record (-1: a new line)
};

LocalDiff diffLocal(const std::vector<SyncRecord>& records, const std::vector<SyncLine>& current);

enum class RemoteChange { Unchanged, Changed, Deleted };

enum class Action {
  Nothing,
  TakeRemote,    // the calendar takes the server's version
  DeleteLocal,   // deleted on the server, unchanged here: deleted here too
  SendChange,    // changed here only: the server's event is patched
  DeleteRemote,  // deleted here, unchanged there
  KeepBoth,      // changed on both sides: the server's version as its own line, ours sent as a new event
  SendAsNew,     // changed here, deleted there: ours comes back as a new event
  RestoreLocal,  // deleted or touched here, changed there (or owned by the server): the server's lines come back
  Forget,        // gone on both sides
  Adopt,         // both sides changed it the same way
};

// `same`: the server's new version is exactly the calendar's lines now.
Action decide(LocalChange local, RemoteChange remote, bool same);

}  // namespace almanouk
