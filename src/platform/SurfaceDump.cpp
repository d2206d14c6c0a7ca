#include "platform/SurfaceDump.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/Text.h"

namespace almanouk {

bool writePng(const std::uint32_t* pixels, int width, int height, bool withAlpha, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, out);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int channels = withAlpha ? 4 : 3;
    std::vector<png_byte> row(static_cast<std::size_t>(width * channels));
    for (int y = 0; y < height; ++y) {
      const std::uint32_t* line = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
      for (int x = 0; x < width; ++x) {
        png_byte* pixel = &row[static_cast<std::size_t>(x * channels)];
        pixel[0] = static_cast<png_byte>(line[x] >> 16);
        pixel[1] = static_cast<png_byte>(line[x] >> 8);
        pixel[2] = static_cast<png_byte>(line[x]);
        if (withAlpha) pixel[3] = static_cast<png_byte>(line[x] >> 24);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return std::fclose(out) == 0 && ok;
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
