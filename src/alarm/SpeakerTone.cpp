#include "alarm/SpeakerTone.h"

#include <array>

#include "platform/Platform.h"

namespace almanouk {
namespace {

constexpr std::array<int, 10> kScale = {456, 500, 558, 626, 706, 800, 910, 1038, 1186, 1356};
constexpr std::uint8_t kSquareWaveChannel2 = 0xB6;  // channel 2, low then high byte, mode 3, binary
constexpr std::uint8_t kGateAndSpeaker = 0x03;
// Rounding of the seconds counter must not add another pass of the wait.
constexpr double kToleranceMs = 1e-6;

}  // namespace

int nextToneFrequency(int frequency) {
  for (std::size_t i = 0; i + 1 < kScale.size(); ++i)
    if (kScale[i] == frequency) return kScale[i + 1];
  return kScale.front();
}

int toneDivisor(int frequency) { return frequency > 0 ? (SpeakerPort::kTimerClock / frequency) & 0xFFFF : 0; }

void speakerTone(Platform& platform, int frequency, int milliseconds) {
  SpeakerPort& port = platform.speakerPort();
  int divisor = toneDivisor(frequency);
  port.writePort(SpeakerPort::kControl, port.readPort(SpeakerPort::kControl) | kGateAndSpeaker);
  port.writePort(SpeakerPort::kTimerMode, kSquareWaveChannel2);
  port.writePort(SpeakerPort::kTimerData, static_cast<std::uint8_t>(divisor & 0xFF));
  port.writePort(SpeakerPort::kTimerData, static_cast<std::uint8_t>(divisor >> 8));
  double start = platform.elapsedSeconds();
  while ((platform.elapsedSeconds() - start) * 1000 < milliseconds - kToleranceMs) platform.yieldProcessor();
  port.writePort(SpeakerPort::kControl, port.readPort(SpeakerPort::kControl) & ~kGateAndSpeaker & 0xFF);
}

}  // namespace almanouk
