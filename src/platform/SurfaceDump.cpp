#include "platform/SurfaceDump.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

#include "platform/System.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

void appendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
}

// A chunk: length, type, data, and the CRC of type and data.
void appendChunk(std::string& out, const char* type, const std::string& data) {
  appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  appendBigEndian(out, static_cast<std::uint32_t>(
                           crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

}  // namespace

std::string pngOf(const std::uint32_t* pixels, int width, int height, bool withAlpha) {
  const std::size_t channels = withAlpha ? 4 : 3;
  const auto columns = static_cast<std::size_t>(width);
  // Each row: filter type 0 (none), then the pixels.
  std::string raw;
  raw.reserve((columns * channels + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw += '\0';
    const std::uint32_t* line = pixels + static_cast<std::size_t>(y) * columns;
    for (std::size_t x = 0; x < columns; ++x) {
      raw += static_cast<char>(line[x] >> 16);
      raw += static_cast<char>(line[x] >> 8);
      raw += static_cast<char>(line[x]);
      if (withAlpha) raw += static_cast<char>(line[x] >> 24);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
            static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION);  // cannot fail: the room is compressBound's
  packed.resize(packedSize);

  std::string header;
  appendBigEndian(header, static_cast<std::uint32_t>(width));
  appendBigEndian(header, static_cast<std::uint32_t>(height));
  header += std::string{8, static_cast<char>(withAlpha ? 6 : 2), 0, 0, 0};  // depth, colour type, methods
  std::string png = "\x89PNG\r\n\x1a\n";
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", packed);
  appendChunk(png, "IEND", "");
  return png;
}

bool writePng(const std::uint32_t* pixels, int width, int height, bool withAlpha, const std::string& path) {
  const std::string png = pngOf(pixels, width, height, withAlpha);
  std::FILE* out = os::openFile(path, "wb");
  if (!out) return false;
  bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
  return std::fclose(out) == 0 && written;
}

bool writePng(const Surface& surface, const std::string& path) {
  return writePng(surface.pixels(), Surface::kWidth, Surface::kHeight, false, path);
}

std::string screenText(const Surface& surface) {
  std::string text;
  for (int row = 1; row <= Surface::kRows; ++row) {
    for (int column = 1; column <= Surface::kColumns; ++column) text += cp437CharToUtf8(surface.charAt(row, column));
    text += '\n';
  }
  return text;
}

}  // namespace almanouk
