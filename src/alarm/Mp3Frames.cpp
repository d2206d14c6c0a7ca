#include "alarm/Mp3Frames.h"

#include <array>
#include <cstdint>
#include <optional>

namespace almanouk {
namespace {

// Kilobits per second by bitrate index 1-14, for MPEG-1 layers I-III and MPEG-2/2.5 layers I and II/III.
constexpr std::array<std::array<int, 14>, 5> kBitrates = {{
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};
constexpr std::array<int, 3> kSampleRates = {44100, 48000, 32000};  // MPEG-1; halved for 2, quartered for 2.5

// The length of the frame whose header starts here, or nothing when there is none.
std::optional<std::size_t> frameLength(std::string_view bytes, std::size_t at) {
  if (at + 4 > bytes.size()) return std::nullopt;
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[at + i]); };
  if (byte(0) != 0xFF || (byte(1) & 0xE0) != 0xE0) return std::nullopt;
  int version = (byte(1) >> 3) & 3;  // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
  int layer = (byte(1) >> 1) & 3;    // 3 layer I, 2 layer II, 1 layer III
  int bitrateIndex = byte(2) >> 4;
  int rateIndex = (byte(2) >> 2) & 3;
  int padding = (byte(2) >> 1) & 1;
  if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;
  bool mpeg1 = version == 3;
  int table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
  int bitrate = kBitrates[static_cast<std::size_t>(table)][static_cast<std::size_t>(bitrateIndex - 1)] * 1000;
  int sampleRate = kSampleRates[static_cast<std::size_t>(rateIndex)] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  if (layer == 3) return static_cast<std::size_t>((12 * bitrate / sampleRate + padding) * 4);
  int samples = layer == 1 && !mpeg1 ? 72 : 144;
  return static_cast<std::size_t>(samples * bitrate / sampleRate + padding);
}

std::size_t afterId3Tag(std::string_view bytes) {
  if (bytes.size() < 10 || bytes.substr(0, 3) != "ID3") return 0;
  std::size_t size = 0;
  for (std::size_t i = 6; i < 10; ++i) size = size << 7 | (static_cast<std::uint8_t>(bytes[i]) & 0x7F);
  bool footer = (static_cast<std::uint8_t>(bytes[5]) & 0x10) != 0;
  return 10 + size + (footer ? 10 : 0);
}

}  // namespace

bool holdsWholeMp3Frames(std::string_view bytes) {
  std::size_t at = afterId3Tag(bytes);
  int frames = 0;
  while (std::optional<std::size_t> length = frameLength(bytes, at)) {
    if (*length < 4 || at + *length > bytes.size()) return false;  // cut short
    at += *length;
    ++frames;
  }
  return frames > 0;
}

}  // namespace almanouk
