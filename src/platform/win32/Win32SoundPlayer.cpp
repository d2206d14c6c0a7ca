#include "platform/win32/Win32SoundPlayer.h"

#include <windows.h>
#include <mmsystem.h>

#include <cwchar>

#include "platform/win32/Utf16.h"

namespace almanouk {
namespace {

std::wstring alias(int handle) { return L"almanouk" + std::to_wstring(handle); }

// Sends an MCI command; its answer, or nothing when it failed.
bool send(const std::wstring& command, std::wstring* answer = nullptr) {
  wchar_t text[128] = {};
  if (mciSendStringW(command.c_str(), text, 128, nullptr) != 0) return false;
  if (answer) *answer = text;
  return true;
}

std::uint32_t number(int handle, const wchar_t* what) {
  std::wstring answer;
  if (handle <= 0 || !send(L"status " + alias(handle) + L" " + what, &answer)) return 0;
  return static_cast<std::uint32_t>(std::wcstoul(answer.c_str(), nullptr, 10));
}

}  // namespace

int Win32SoundPlayer::openStream(const std::string& path) {
  if (path.empty()) return 0;
  const int handle = ++opened_;
  if (!send(L"open \"" + win32::wide(path) + L"\" type mpegvideo alias " + alias(handle))) return 0;
  send(L"set " + alias(handle) + L" time format milliseconds");
  return handle;
}

void Win32SoundPlayer::play(int handle) {
  if (handle > 0) send(L"play " + alias(handle));
}

std::uint32_t Win32SoundPlayer::position(int handle) {
  std::wstring mode;
  // A stream that stopped (or that the player could not play) is over.
  if (handle <= 0 || !send(L"status " + alias(handle) + L" mode", &mode) || mode == L"stopped") return length(handle);
  return number(handle, L"position");
}

std::uint32_t Win32SoundPlayer::length(int handle) { return number(handle, L"length"); }

void Win32SoundPlayer::stop(int handle) {
  if (handle > 0) send(L"stop " + alias(handle));
}

void Win32SoundPlayer::closeStream(int handle) {
  if (handle > 0) send(L"close " + alias(handle));
}

}  // namespace almanouk
