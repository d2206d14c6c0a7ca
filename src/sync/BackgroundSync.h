#pragma once
// The linked calendars synced while the program runs: at start, a few
// seconds after a calendar was saved, and every few minutes. The network is
// used on a thread of its own, so no key ever waits for it; what a sync
// brings is written by the program's own thread, and only into a calendar
// that did not change meanwhile (else the sync is simply done again).

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sync/CalendarSync.h"

namespace almanouk {

class Platform;

class BackgroundSync {
 public:
  explicit BackgroundSync(Platform& platform);
  ~BackgroundSync();
  BackgroundSync(const BackgroundSync&) = delete;
  BackgroundSync& operator=(const BackgroundSync&) = delete;

  struct News {
    std::string text;  // for the status line: "Gesynchroniseerd hh:mm", or the failure
    bool calendarChanged = false;
  };
  // The month view's look once a second: starts a sync that is due and takes
  // in one that finished.
  std::optional<News> look(std::int64_t nowMs);
  // A calendar was saved: a sync follows shortly.
  void saved(std::int64_t nowMs);

 private:
  struct Job {
    std::string calendarFile;
    std::string calendar;  // the bytes the sync started from
    SyncState state;
    SyncResult result;
    std::string whyNot;  // no login to be had
  };

  bool start(std::int64_t nowMs);
  void work();
  News finish(std::int64_t nowMs);

  Platform& platform_;
  std::vector<Job> jobs_;
  std::unique_ptr<HttpClient> http_;  // used by the sync's thread only, one sync at a time
  std::thread worker_;
  std::atomic<bool> finished_{false};
  std::atomic<bool> stop_{false};
  bool running_ = false;
  std::optional<std::int64_t> due_ = 0;  // at the first look: whether any calendar is linked
  SyncClock clock_;
};

}  // namespace almanouk
