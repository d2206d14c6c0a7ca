#pragma once
// The desktop's own notifications, for an alarm told while the program's
// window is not in front (or while there is no window at all). Each has the
// action "OK", an alarm also "Sluimeren 5 min"; what the user chose comes later.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace almanouk {

enum class NotificationAnswer { Ok, Snooze, Closed };

struct AnsweredNotification {
  std::uint32_t id;
  NotificationAnswer answer;
};

class DesktopNotifier {
 public:
  virtual ~DesktopNotifier() = default;
  // Shows a notification (UTF-8 texts) that stays until answered; its number,
  // or none when no notification service answers.
  virtual std::optional<std::uint32_t> notify(std::string_view summaryUtf8, std::string_view bodyUtf8,
                                              bool snoozable) = 0;
  // What was chosen or closed since the last call; never waits.
  virtual std::vector<AnsweredNotification> takeAnswers() = 0;
};

// This system's notifier: the freedesktop notification service on the
// session bus where the build has it, else one that never shows anything.
std::unique_ptr<DesktopNotifier> makeDesktopNotifier();

}  // namespace almanouk
