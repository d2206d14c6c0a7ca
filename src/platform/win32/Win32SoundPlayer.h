#pragma once

#include <functional>
#include <string>

#include "platform/SoundPlayer.h"

namespace almanouk {

class FileLayer;

// MP3 files through the system's own player (MCI): no library to ship.
// A stream that stopped, or never started, is at its end. Names are the
// program's: found in its working folder, as the file layer finds them.
class Win32SoundPlayer : public SoundPlayer {
 public:
  // One command string to MCI: its error number (0: done), and its answer.
  using Mci = std::function<unsigned(const std::wstring& command, std::wstring& answer)>;
  // Without mci: the system's own.
  explicit Win32SoundPlayer(FileLayer& files, Mci mci = {});

  // False without a device to play on.
  bool init(int, int, int) override;
  void setBufferSize(int) override {}
  int openStream(const std::string& path) override;
  void play(int handle) override;
  std::uint32_t position(int handle) override;
  std::uint32_t length(int handle) override;
  void stop(int handle) override;
  void closeStream(int handle) override;
  void close() override {}

 private:
  bool send(const std::wstring& command, std::wstring* answer = nullptr);
  std::uint32_t number(int handle, const wchar_t* what);

  FileLayer& files_;
  Mci mci_;
  int opened_ = 0;  // streams opened so far: each gets its own alias
};

}  // namespace almanouk
