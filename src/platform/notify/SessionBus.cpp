// Notifications through the freedesktop notification service on the session
// bus, spoken with sd-bus: libsystemd is on every such desktop already, and
// unlike libnotify it needs no GLib main loop to hear the answers; the main
// loop asks for them once a second, without waiting.
#include <systemd/sd-bus.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "platform/DesktopNotifier.h"

namespace almanouk {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
// A service that does not answer in this time is taken for none: the alarm gets its box.
constexpr std::uint64_t kCallTimeoutUs = 3'000'000;
// Critical: the notification stays until the user answers it, as the box would.
constexpr std::uint8_t kUrgencyCritical = 2;

class SessionBusNotifier : public DesktopNotifier {
 public:
  ~SessionBusNotifier() override { disconnect(); }

  std::optional<std::uint32_t> notify(std::string_view summaryUtf8, std::string_view bodyUtf8,
                                      bool snoozable) override {
    if (!connected() && !connect()) return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    const std::string title(summaryUtf8), text(bodyUtf8);
    int result = sd_bus_message_new_method_call(bus_, &call, kService, kPath, kService, "Notify");
    if (result >= 0) result = sd_bus_message_append(call, "susss", "Almanouk", 0u, "almanouk", title.c_str(), text.c_str());
    if (result >= 0)
      result = snoozable ? sd_bus_message_append(call, "as", 4, "ok", "OK", "snooze", "Sluimeren 5 min")
                         : sd_bus_message_append(call, "as", 2, "ok", "OK");
    if (result >= 0)
      result = sd_bus_message_append(call, "a{sv}i", 2, "urgency", "y", kUrgencyCritical, "desktop-entry", "s",
                                     "almanouk", 0);  // never expires
    if (result >= 0) result = sd_bus_call(bus_, call, 0, &error, &reply);
    sd_bus_message_unref(call);
    std::uint32_t id = 0;
    if (result >= 0) result = sd_bus_message_read(reply, "u", &id);
    if (result < 0) {
      std::fprintf(stderr, "almanouk: geen melding op het bureaublad: %s\n",
                   error.message ? error.message : "de meldingendienst antwoordt niet");
      // Another try with the next alarm, on a fresh connection.
      disconnect();
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    if (result < 0) return std::nullopt;
    shown_.insert(id);
    return id;
  }

  std::vector<AnsweredNotification> takeAnswers() override {
    if (connected()) {
      int result;
      while ((result = sd_bus_process(bus_, nullptr)) > 0) {
      }
      if (result < 0) disconnect();
    }
    return std::exchange(answers_, {});
  }

 private:
  bool connected() const { return bus_ != nullptr; }

  bool connect() {
    if (sd_bus_open_user(&bus_) < 0) {
      bus_ = nullptr;
      return false;
    }
    sd_bus_set_method_call_timeout(bus_, kCallTimeoutUs);
    if (sd_bus_match_signal(bus_, &actionSlot_, nullptr, kPath, kService, "ActionInvoked", onAction, this) < 0 ||
        sd_bus_match_signal(bus_, &closedSlot_, nullptr, kPath, kService, "NotificationClosed", onClosed, this) < 0) {
      disconnect();
      return false;
    }
    return true;
  }

  void disconnect() {
    actionSlot_ = sd_bus_slot_unref(actionSlot_);
    closedSlot_ = sd_bus_slot_unref(closedSlot_);
    bus_ = sd_bus_flush_close_unref(bus_);
  }

  // Answers to notifications of another program, or a second answer to one of ours, are not ours to take.
  // Some services leave a notification up after its action: answered, it goes.
  void answered(std::uint32_t id, NotificationAnswer answer) {
    if (!shown_.erase(id)) return;
    answers_.push_back({id, answer});
    if (answer != NotificationAnswer::Closed)
      sd_bus_call_method_async(bus_, nullptr, kService, kPath, kService, "CloseNotification", nullptr, nullptr, "u", id);
  }

  static int onAction(sd_bus_message* message, void* self, sd_bus_error*) {
    std::uint32_t id = 0;
    const char* action = nullptr;
    if (sd_bus_message_read(message, "us", &id, &action) >= 0)
      static_cast<SessionBusNotifier*>(self)->answered(
          id, std::string_view(action) == "snooze" ? NotificationAnswer::Snooze : NotificationAnswer::Ok);
    return 0;
  }

  static int onClosed(sd_bus_message* message, void* self, sd_bus_error*) {
    std::uint32_t id = 0, reason = 0;
    if (sd_bus_message_read(message, "uu", &id, &reason) >= 0)
      static_cast<SessionBusNotifier*>(self)->answered(id, NotificationAnswer::Closed);
    return 0;
  }

  sd_bus* bus_ = nullptr;
  sd_bus_slot* actionSlot_ = nullptr;
  sd_bus_slot* closedSlot_ = nullptr;
  std::set<std::uint32_t> shown_;
  std::vector<AnsweredNotification> answers_;
};

}  // namespace

std::unique_ptr<DesktopNotifier> makeDesktopNotifier() { return std::make_unique<SessionBusNotifier>(); }

}  // namespace almanouk
