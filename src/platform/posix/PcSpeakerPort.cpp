#include "platform/posix/PcSpeakerPort.h"

#include <fcntl.h>
#include <glob.h>
#include <linux/input.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace almanouk {
namespace {

// The device a signal handler must silence; one speaker per process.
std::atomic<int> gSpeakerDevice{-1};

void writeTone(int device, int frequency) {
  input_event event{};
  event.type = EV_SND;
  event.code = SND_TONE;
  event.value = frequency;
  [[maybe_unused]] auto written = ::write(device, &event, sizeof event);
}

void silenceAndReraise(int signal) {
  int device = gSpeakerDevice.load();
  if (device >= 0) writeTone(device, 0);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

int openSpeakerDevice() {
  glob_t found{};
  int device = -1;
  if (::glob("/dev/input/by-path/*-event-spkr", 0, nullptr, &found) == 0) {
    for (std::size_t i = 0; i < found.gl_pathc && device < 0; ++i)
      device = ::open(found.gl_pathv[i], O_WRONLY | O_CLOEXEC);
  }
  ::globfree(&found);
  return device;
}

}  // namespace

PcSpeakerPort::PcSpeakerPort() : device_(openSpeakerDevice()) {
  if (device_ < 0) return;
  gSpeakerDevice.store(device_);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    if (current.sa_handler == SIG_DFL) ::signal(signal, silenceAndReraise);
  }
}

PcSpeakerPort::~PcSpeakerPort() {
  if (device_ < 0) return;
  writeTone(device_, 0);
  gSpeakerDevice.store(-1);
  ::close(device_);
}

void PcSpeakerPort::writePort(std::uint16_t port, std::uint8_t value) {
  if (state_.write(port, value)) sound(state_.audibleFrequency());
}

void PcSpeakerPort::sound(int frequency) {
  if (device_ >= 0) writeTone(device_, frequency);
}

}  // namespace almanouk
