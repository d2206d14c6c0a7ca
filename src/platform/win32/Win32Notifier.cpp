#include "platform/win32/Win32Notifier.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/win32/Utf16.h"

namespace almanouk {

std::uint32_t BalloonAnswers::show() {
  if (shown_) answers_.push_back({*shown_, NotificationAnswer::Closed});
  shown_ = next_++;
  return *shown_;
}

bool BalloonAnswers::handle(Event event) {
  if (!shown_ || event == Event::Other) return false;
  // Hidden: the icon went (a new balloon, the program's end); no answer of the user's.
  if (event != Event::Hidden)
    answers_.push_back({*shown_, event == Event::Clicked ? NotificationAnswer::Ok : NotificationAnswer::Closed});
  shown_.reset();
  return true;
}

std::vector<AnsweredNotification> BalloonAnswers::take() { return std::exchange(answers_, {}); }

namespace {

constexpr UINT kIconId = 1;

// The text into a fixed field of the shell's, cut to fit.
template <std::size_t N>
void copyInto(wchar_t (&field)[N], std::string_view utf8) {
  const std::wstring text = win32::wide(utf8);
  const std::size_t length = std::min(text.size(), N - 1);
  std::copy_n(text.data(), length, field);
  field[length] = L'\0';
}

NOTIFYICONDATAW iconData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  return data;
}

}  // namespace

Win32Notifier::Win32Notifier(HWND__* window, HICON__* icon) : window_(window), icon_(icon) {}

Win32Notifier::~Win32Notifier() {
  removeIcon();
  if (icon_) DestroyIcon(icon_);
}

std::optional<std::uint32_t> Win32Notifier::notify(std::string_view summaryUtf8, std::string_view bodyUtf8, bool) {
  if (!window_) return std::nullopt;
  NOTIFYICONDATAW data = iconData(window_);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  data.uCallbackMessage = kIconMessage;
  data.hIcon = icon_;
  copyInto(data.szTip, summaryUtf8);
  copyInto(data.szInfoTitle, summaryUtf8);
  copyInto(data.szInfo, bodyUtf8);
  data.dwInfoFlags = NIIF_INFO;
  if (!iconShown_) {
    if (!Shell_NotifyIconW(NIM_ADD, &data)) return std::nullopt;  // no notification area: the alarm gets its box
    iconShown_ = true;
    NOTIFYICONDATAW version = iconData(window_);
    version.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &version);
  } else if (!Shell_NotifyIconW(NIM_MODIFY, &data)) {
    return std::nullopt;
  }
  return balloons_.show();
}

std::vector<AnsweredNotification> Win32Notifier::takeAnswers() { return balloons_.take(); }

void Win32Notifier::iconEvent(long long lParam) {
  const unsigned event = LOWORD(static_cast<LPARAM>(lParam));
  const BalloonAnswers::Event what = event == NIN_BALLOONUSERCLICK ? BalloonAnswers::Event::Clicked
                                     : event == NIN_BALLOONTIMEOUT  ? BalloonAnswers::Event::TimedOut
                                     : event == NIN_BALLOONHIDE     ? BalloonAnswers::Event::Hidden
                                                                    : BalloonAnswers::Event::Other;
  if (!balloons_.handle(what)) return;
  removeIcon();
  if (what == BalloonAnswers::Event::Clicked) {
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
  }
}

void Win32Notifier::removeIcon() {
  if (!std::exchange(iconShown_, false)) return;
  NOTIFYICONDATAW data = iconData(window_);
  Shell_NotifyIconW(NIM_DELETE, &data);
}

}  // namespace almanouk
