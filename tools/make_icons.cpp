// Writes the desktop's icons of the program, made from its emblem, into a
// hicolor icon tree:
//   make_icons FOLDER SIZE...
// gives FOLDER/SIZExSIZE/apps/almanouk.png for each size and
// FOLDER/scalable/apps/almanouk.svg.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icons FOLDER SIZE...\n");
    return 2;
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
