#pragma once
// Text between the program's UTF-8 and the UTF-16 of the Windows API.

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace almanouk::win32 {

inline std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

// A length of -1 reads up to the terminating zero, which is left out.
inline std::string narrow(const wchar_t* utf16, int length = -1) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, utf16, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16, length, text.data(), size, nullptr, nullptr);
  if (length < 0) text.pop_back();
  return text;
}

}  // namespace almanouk::win32
