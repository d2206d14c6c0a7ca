#pragma once
// Alarms as balloons of the notification area (Shell_NotifyIcon), which
// Windows 10 and 11 show as the desktop's notifications: no library beyond
// the shell's. A balloon has no buttons: a click on it answers "OK" and
// brings the window forward; closed, or gone when its time runs out, it
// answers "closed". "Sluimeren" is the window's box alone. One balloon at a
// time: a new one closes the one before. The icon stands in the notification
// area only while a balloon does.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/DesktopNotifier.h"

struct HWND__;
struct HICON__;

namespace almanouk {

// Which balloon an event of the icon answers, and how: the bookkeeping, apart
// from the shell.
class BalloonAnswers {
 public:
  enum class Event { Clicked, TimedOut, Hidden, Other };
  // A new balloon with its number; the one before, still up, is closed.
  std::uint32_t show();
  // The event of the balloon that stands; true when one stood and is gone with it.
  bool handle(Event event);
  bool showing() const { return shown_.has_value(); }
  std::vector<AnsweredNotification> take();

 private:
  std::uint32_t next_ = 1;
  std::optional<std::uint32_t> shown_;
  std::vector<AnsweredNotification> answers_;
};

class Win32Notifier : public DesktopNotifier {
 public:
  // The window's message for the icon's events (WM_APP + 1).
  static constexpr unsigned kIconMessage = 0x8001;
  // The icon is the notifier's from here on.
  Win32Notifier(HWND__* window, HICON__* icon);
  ~Win32Notifier() override;
  Win32Notifier(const Win32Notifier&) = delete;
  Win32Notifier& operator=(const Win32Notifier&) = delete;

  std::optional<std::uint32_t> notify(std::string_view summaryUtf8, std::string_view bodyUtf8, bool snoozable) override;
  std::vector<AnsweredNotification> takeAnswers() override;
  // The icon's message's lParam; a click brings the window forward.
  void iconEvent(long long lParam);

 private:
  void removeIcon();

  HWND__* window_;
  HICON__* icon_;
  bool iconShown_ = false;
  BalloonAnswers balloons_;
};

}  // namespace almanouk
