#include "platform/win32/Win32SoundPlayer.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cwchar>

#include "platform/FileLayer.h"
#include "platform/win32/Utf16.h"

namespace almanouk {
namespace {

std::wstring alias(int handle) { return L"almanouk" + std::to_wstring(handle); }

unsigned systemMci(const std::wstring& command, std::wstring& answer) {
  wchar_t text[128] = {};
  const MCIERROR error = mciSendStringW(command.c_str(), text, 128, nullptr);
  answer = text;
  return static_cast<unsigned>(error);
}

}  // namespace

Win32SoundPlayer::Win32SoundPlayer(FileLayer& files, Mci mci)
    : files_(files), mci_(mci ? std::move(mci) : Mci(systemMci)) {}

bool Win32SoundPlayer::init(int, int, int) {
  if (waveOutGetNumDevs() > 0) return true;
  std::fprintf(stderr, "almanouk: het geluid kan niet starten: geen geluidsapparaat\n");
  return false;
}

bool Win32SoundPlayer::send(const std::wstring& command, std::wstring* answer) {
  std::wstring text;
  if (mci_(command, text) != 0) return false;
  if (answer) *answer = text;
  return true;
}

std::uint32_t Win32SoundPlayer::number(int handle, const wchar_t* what) {
  std::wstring answer;
  if (handle <= 0 || !send(L"status " + alias(handle) + L" " + what, &answer)) return 0;
  return static_cast<std::uint32_t>(std::wcstoul(answer.c_str(), nullptr, 10));
}

// The player's own folder is not the program's: the name is looked up where the program keeps its files.
int Win32SoundPlayer::openStream(const std::string& path) {
  if (path.empty()) return 0;
  const std::string file = files_.resolve(path);
  const int handle = ++opened_;
  std::wstring answer;
  if (const unsigned error = mci_(L"open \"" + win32::wide(file) + L"\" type mpegvideo alias " + alias(handle), answer)) {
    wchar_t reason[256] = {};
    if (!mciGetErrorStringW(error, reason, 256)) reason[0] = L'\0';
    std::fprintf(stderr, "almanouk: %s is niet af te spelen: %s\n", file.c_str(), win32::narrow(reason).c_str());
    return 0;
  }
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
