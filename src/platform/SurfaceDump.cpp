#include "platform/SurfaceDump.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/Text.h"

namespace almanouk {

bool writePng(const Surface& surface, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, out);
    png_set_IHDR(png, info, Surface::kWidth, Surface::kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(Surface::kWidth * 3);
    for (int y = 0; y < Surface::kHeight; ++y) {
      const std::uint32_t* pixels = surface.pixels() + static_cast<std::size_t>(y) * Surface::kWidth;
      for (int x = 0; x < Surface::kWidth; ++x) {
        row[x * 3] = static_cast<png_byte>(pixels[x] >> 16);
        row[x * 3 + 1] = static_cast<png_byte>(pixels[x] >> 8);
        row[x * 3 + 2] = static_cast<png_byte>(pixels[x]);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return std::fclose(out) == 0 && ok;
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
