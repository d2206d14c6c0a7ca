// A build without the session bus: every alarm keeps its message box.
#include "platform/DesktopNotifier.h"

namespace almanouk {
namespace {

class NoNotifier : public DesktopNotifier {
 public:
  std::optional<std::uint32_t> notify(std::string_view, std::string_view, bool) override { return std::nullopt; }
  std::vector<AnsweredNotification> takeAnswers() override { return {}; }
};

}  // namespace

std::unique_ptr<DesktopNotifier> makeDesktopNotifier() { return std::make_unique<NoNotifier>(); }

}  // namespace almanouk
