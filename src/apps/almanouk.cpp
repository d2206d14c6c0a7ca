// The program users start: the real window, keyboard and sound.

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/sdl/SdlPlatform.h"
#include "shell/Program.h"

int main(int argc, char** argv) {
  // The sound folder is the whole command tail, so a name with blanks needs no quotes.
  std::string soundFolder;
  for (int i = 1; i < argc; ++i) soundFolder += (i > 1 ? " " : "") + std::string(argv[i]);
  try {
    almanouk::SdlPlatform platform(std::filesystem::current_path().string());
    almanouk::Program program(platform, soundFolder);
    return program.run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "almanouk: %s\n", error.what());
    return 1;
  }
}
