// Writes the program's icons, made from its emblem. For the Linux desktop, a
// hicolor icon tree:
//   make_icons FOLDER SIZE...
// gives FOLDER/SIZExSIZE/apps/almanouk.png for each size and
// FOLDER/scalable/apps/almanouk.svg. For Windows, one icon file with every size:
//   make_icons --ico FILE.ico SIZE...

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Emblem.h"
#include "platform/SurfaceDump.h"

namespace {

constexpr const char* kIconName = "almanouk";

std::filesystem::path appsFolder(const std::filesystem::path& root, const std::string& theme) {
  std::filesystem::path folder = root / theme / "apps";
  std::filesystem::create_directories(folder);
  return folder;
}

bool writeSizedIcon(const std::filesystem::path& root, int size) {
  const std::string side = std::to_string(size);
  const std::filesystem::path file = appsFolder(root, side + "x" + side) / (std::string(kIconName) + ".png");
  return almanouk::writePng(almanouk::emblemIcon(size).data(), size, size, true, file.string());
}

bool writeScalableIcon(const std::filesystem::path& root) {
  std::ofstream svg(appsFolder(root, "scalable") / (std::string(kIconName) + ".svg"), std::ios::binary);
  svg << almanouk::emblemSvg();
  return static_cast<bool>(svg.flush());
}

void appendLittleEndian(std::string& out, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// An icon file whose images are PNG, as Windows reads them since Vista.
bool writeIconFile(const std::string& path, const std::vector<int>& sizes) {
  std::vector<std::string> images;
  for (int size : sizes) images.push_back(almanouk::pngOf(almanouk::emblemIcon(size).data(), size, size, true));
  std::string icon;
  appendLittleEndian(icon, 0, 2);
  appendLittleEndian(icon, 1, 2);  // an icon, not a cursor
  appendLittleEndian(icon, static_cast<unsigned>(sizes.size()), 2);
  auto offset = static_cast<unsigned>(6 + 16 * sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    icon += static_cast<char>(sizes[i] >= 256 ? 0 : sizes[i]);  // 0 stands for 256
    icon += static_cast<char>(sizes[i] >= 256 ? 0 : sizes[i]);
    appendLittleEndian(icon, 0, 2);   // no palette
    appendLittleEndian(icon, 1, 2);   // planes
    appendLittleEndian(icon, 32, 2);  // bits per pixel
    appendLittleEndian(icon, static_cast<unsigned>(images[i].size()), 4);
    appendLittleEndian(icon, offset, 4);
    offset += static_cast<unsigned>(images[i].size());
  }
  for (const std::string& image : images) icon += image;
  std::ofstream out(path, std::ios::binary);
  out << icon;
  return static_cast<bool>(out.flush());
}

std::vector<int> sizesOf(int argc, char** argv, int first) {
  std::vector<int> sizes;
  for (int i = first; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icons FOLDER SIZE... | make_icons --ico FILE.ico SIZE...\n");
    return 2;
  }
  if (std::string(argv[1]) == "--ico") {
    std::vector<int> sizes = sizesOf(argc, argv, 3);
    if (sizes.empty() || std::count_if(sizes.begin(), sizes.end(), [](int size) { return size <= 0 || size > 256; }) ||
        !writeIconFile(argv[2], sizes)) {
      std::fprintf(stderr, "make_icons: cannot write the icon file\n");
      return 1;
    }
    return 0;
  }
  const std::filesystem::path root = argv[1];
  for (int i = 2; i < argc; ++i) {
    int size = std::atoi(argv[i]);
    if (size <= 0 || !writeSizedIcon(root, size)) {
      std::fprintf(stderr, "make_icons: cannot write the %s pixel icon\n", argv[i]);
      return 1;
    }
  }
  if (!writeScalableIcon(root)) {
    std::fprintf(stderr, "make_icons: cannot write the scalable icon\n");
    return 1;
  }
  return 0;
}
