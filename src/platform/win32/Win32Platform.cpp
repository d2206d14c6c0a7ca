#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Emblem.h"
#include "platform/KeyNames.h"
#include "platform/PicturePlacement.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "platform/WindowPlatform.h"
#include "platform/win32/Win32Notifier.h"
#include "platform/win32/Win32SoundPlayer.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Speaker.h"

namespace almanouk {
namespace {

constexpr wchar_t kWindowClass[] = L"Almanouk";
constexpr std::uint32_t kCursorColour = 0xC8C8C8;

// The keyboard's keys as the table of key names knows them.
KeySym symOf(unsigned virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return letterKey(static_cast<char>(virtualKey - 'A' + 'a'));
  if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
    return static_cast<KeySym>(static_cast<int>(KeySym::F1) + static_cast<int>(virtualKey - VK_F1));
  switch (virtualKey) {
    case VK_HOME: return KeySym::Home;
    case VK_END: return KeySym::End;
    case VK_UP: return KeySym::Up;
    case VK_DOWN: return KeySym::Down;
    case VK_LEFT: return KeySym::Left;
    case VK_RIGHT: return KeySym::Right;
    case VK_PRIOR: return KeySym::PageUp;
    case VK_NEXT: return KeySym::PageDown;
    case VK_INSERT: return KeySym::Insert;
    case VK_DELETE: return KeySym::Delete;
    case VK_RETURN: return KeySym::Enter;
    case VK_ESCAPE: return KeySym::Escape;
    case VK_BACK: return KeySym::Backspace;
    case VK_TAB: return KeySym::Tab;
    default: return KeySym::None;
  }
}

bool held(int virtualKey) { return GetKeyState(virtualKey) < 0; }

// The emblem as the window's and the task bar's icon.
HICON emblemIconOf(int size) {
  std::vector<std::uint32_t> pixels = emblemIcon(size);
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = size;
  header.bV5Height = -size;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour) return nullptr;
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* platform = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (platform && message != WM_NCCREATE) {
    LRESULT handled = platform->handleMessage(message, wParam, lParam);
    if (handled != -1) return handled;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The system's message boxes are dialogs: their class is "#32770".
BOOL CALLBACK closeBox(HWND window, LPARAM) {
  wchar_t name[16] = {};
  if (GetClassNameW(window, name, 16) && std::wstring_view(name) == L"#32770") PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// GCC takes the segment register read inside GetCurrentFiber for an array read out of bounds.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
[[gnu::noinline]] void* currentFiber() { return GetCurrentFiber(); }
#pragma GCC diagnostic pop

void CALLBACK messageFiberStart(void* platform) { static_cast<Win32Platform*>(platform)->runMessageFiber(); }

// What the system shows while the program saves at the session's end.
constexpr wchar_t kSavingReason[] = L"Almanouk bewaart uw wijzigingen";

}  // namespace

Win32Platform::Win32Platform(std::string startFolder)
    : Platform(std::move(startFolder)),
      sound_(std::make_unique<Win32SoundPlayer>(files())),
      speaker_(std::make_unique<Win32Speaker>()) {
  if (IsThreadAFiber()) {
    programFiber_ = currentFiber();
  } else {
    programFiber_ = ConvertThreadToFiber(nullptr);
    madeThreadAFiber_ = programFiber_ != nullptr;
  }
  if (programFiber_) messageFiber_ = CreateFiber(0, messageFiberStart, this);
  if (!messageFiber_) throw std::runtime_error("het venster kan zijn berichten niet ontvangen (fout " + std::to_string(GetLastError()) + ")");
}

Win32Platform::~Win32Platform() {
  speaker_.reset();
  notifier_.reset();
  if (window_) DestroyWindow(window_);
  // The messages' fiber may still stand inside a box or the session's end: what it holds goes with it.
  DeleteFiber(messageFiber_);
  if (madeThreadAFiber_) ConvertFiberToThread();
}

void Win32Platform::toMessages() {
  if (currentFiber() != messageFiber_) SwitchToFiber(messageFiber_);
}

void Win32Platform::runMessageFiber() {
  for (;;) {
    showAskedBox();
    dispatchMessages();
    SwitchToFiber(programFiber_);
  }
}

void Win32Platform::dispatchMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A box stays up on this fiber until it is answered; the session's end meanwhile lets the program go on.
void Win32Platform::showAskedBox() {
  if (boxShown_ == boxAsked_) return;
  const unsigned box = boxShown_ = boxAsked_;
  const std::wstring text = boxText_, caption = boxCaption_;
  MessageBoxW(window_, text.c_str(), caption.c_str(), MB_OK | MB_SETFOREGROUND);
  boxAnswered_ = std::max(boxAnswered_, box);
}

// The same close as a close request on Linux: the open screen is left as
// with Esc (an editor saves) and the program ends in order, all before this
// message is answered. Boxes asked for meanwhile still show.
void Win32Platform::endSession() {
  if (std::exchange(closing_, true)) return;
  keyQueue().push(keys::kClose);
  // Not on the messages' fiber (inside a call of the program's that takes
  // messages in itself), the program cannot go on before this returns: the
  // close key is all there is to do.
  if (currentFiber() != messageFiber_ || ended_) return;
  const bool blocking = window_ && ShutdownBlockReasonCreate(window_, kSavingReason);
  while (!ended_) {
    showAskedBox();
    dispatchMessages();
    SwitchToFiber(programFiber_);
  }
  // A box the program no longer waits for goes too.
  EnumThreadWindows(GetCurrentThreadId(), closeBox, 0);
  if (blocking) ShutdownBlockReasonDestroy(window_);
}

// The program's end is written: a session that ends may now hear back.
void Win32Platform::closeScreen() {
  ended_ = true;
  if (closing_) toMessages();
}

void Win32Platform::openScreen(int width, int height, int) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = emblemIconOf(48);
  windowClass.hIconSm = emblemIconOf(16);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  // As on Linux: the largest whole enlargement that fits in two thirds of the
  // screen's usable part, in the middle of it.
  RECT work{0, 0, width * 2, height * 2};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int scale = startScale(work.right - work.left, work.bottom - work.top);
  RECT frame{0, 0, width * scale, height * scale};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  const Rectangle at = centred({work.left, work.top, work.right - work.left, work.bottom - work.top},
                               frame.right - frame.left, frame.bottom - frame.top);
  window_ = CreateWindowExW(0, kWindowClass, win32::wide(windowTitle()).c_str(), WS_OVERLAPPEDWINDOW, at.x, at.y,
                            at.width, at.height, nullptr, nullptr, instance, this);
  if (!window_) throw std::runtime_error("het venster kan niet worden gemaakt (fout " + std::to_string(GetLastError()) + ")");
  notifier_ = std::make_unique<Win32Notifier>(window_, emblemIconOf(16));
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

DesktopNotifier* Win32Platform::notifier() { return notifier_.get(); }

// -1: the default handling.
long long Win32Platform::handleMessage(unsigned message, unsigned long long wParam, long long lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture covers everything
    case WM_SIZE:
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_GETMINMAXINFO: {
      RECT frame{0, 0, Surface::kWidth, Surface::kHeight};
      AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
      return 0;
    }
    case WM_CLOSE:
      keyQueue().push(keys::kClose);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) endSession();
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Alt+F4 closes the window, as everywhere on this system.
      if (message == WM_SYSKEYDOWN && wParam == VK_F4) return -1;
      // F11 is the window's own, as in every desktop program; the program's keys stop at F8.
      if (wParam == VK_F11 && message == WM_KEYDOWN && !held(VK_CONTROL)) {
        if (!(lParam & (1 << 30))) toggleFullScreen();  // not again while held
        skipCharacter_ = true;
        return 0;
      }
      keyDown(static_cast<unsigned>(wParam), (lParam & (1 << 29)) != 0);
      return 0;
    case Win32Notifier::kIconMessage:
      if (notifier_) notifier_->iconEvent(lParam);
      return 0;
    case WM_CHAR:
      typed(static_cast<wchar_t>(wParam));
      return 0;
    case WM_SYSCHAR:
      return 0;  // Alt with a letter types nothing, and rings no bell
    default:
      return -1;
  }
}

// Keys without a character, and Ctrl or Alt with a key, come from here; the
// characters typed come as WM_CHAR, which a key taken here does not type again.
void Win32Platform::keyDown(unsigned virtualKey, bool altHeld) {
  skipCharacter_ = false;
  // AltGr comes as Ctrl with right Alt: it types characters ("@", "€").
  const bool altGr = held(VK_RMENU);
  const bool alt = altHeld && !altGr;
  const bool ctrl = held(VK_CONTROL) && !altGr;
  const Modifier modifier = alt ? Modifier::Alt : ctrl ? Modifier::Ctrl : Modifier::None;
  if (std::optional<Key> key = keyFor(symOf(virtualKey), modifier, held(VK_SHIFT))) {
    keyQueue().push(*key);
    skipCharacter_ = true;
  } else if (modifier != Modifier::None) {
    skipCharacter_ = true;  // other Ctrl and Alt combinations type nothing
  }
}

void Win32Platform::typed(wchar_t unit) {
  if (unit >= 0xD800 && unit < 0xDC00) {
    highSurrogate_ = unit;
    return;
  }
  wchar_t text[2] = {highSurrogate_, unit};
  const bool pair = highSurrogate_ != 0 && unit >= 0xDC00 && unit < 0xE000;
  highSurrogate_ = 0;
  if (std::exchange(skipCharacter_, false) || unit < L' ') return;  // Enter, Esc, Tab, Backspace came as keys
  queueTypedText(win32::narrow(pair ? text : text + 1, pair ? 2 : 1));
}

// The picture as the SDL window shows it (placePicture): enlarged by the
// largest whole factor that fits, pixel for pixel, and past it smoothly to
// the window's 8:5 fit; centred on black.
void Win32Platform::paint() {
  PAINTSTRUCT painting;
  HDC target = BeginPaint(window_, &painting);
  RECT client;
  GetClientRect(window_, &client);
  const int width = client.right, height = client.bottom;
  const PicturePlace where = placePicture(width, height);
  const Rectangle& place = where.place;
  BITMAPINFO picture{};
  picture.bmiHeader.biSize = sizeof picture.bmiHeader;
  picture.bmiHeader.biWidth = Surface::kWidth;
  picture.bmiHeader.biHeight = -Surface::kHeight;  // rows from the top
  picture.bmiHeader.biPlanes = 1;
  picture.bmiHeader.biBitCount = 32;
  picture.bmiHeader.biCompression = BI_RGB;
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const int right = place.x + place.width, bottom = place.y + place.height;
  RECT bands[] = {{0, 0, width, place.y}, {0, bottom, width, height}, {0, place.y, place.x, bottom},
                  {right, place.y, width, bottom}};
  for (const RECT& band : bands) FillRect(target, &band, black);
  if (!where.smooth) {
    SetStretchBltMode(target, COLORONCOLOR);
    StretchDIBits(target, place.x, place.y, place.width, place.height, 0, 0, Surface::kWidth, Surface::kHeight,
                  surface().pixels(), &picture, DIB_RGB_COLORS, SRCCOPY);
  } else {
    // First pixel for pixel by the whole factor, so that the text stays sharp, then smoothly.
    const int sharpWidth = Surface::kWidth * where.whole, sharpHeight = Surface::kHeight * where.whole;
    sharp_.resize(static_cast<std::size_t>(sharpWidth) * static_cast<std::size_t>(sharpHeight));
    const std::uint32_t* pixels = surface().pixels();
    for (int y = 0; y < Surface::kHeight; ++y) {
      std::uint32_t* row = sharp_.data() + static_cast<std::size_t>(y) * where.whole * sharpWidth;
      for (int x = 0; x < Surface::kWidth; ++x)
        std::fill_n(row + x * where.whole, where.whole, pixels[y * Surface::kWidth + x]);
      for (int copy = 1; copy < where.whole; ++copy)
        std::memcpy(row + copy * sharpWidth, row, static_cast<std::size_t>(sharpWidth) * sizeof(std::uint32_t));
    }
    picture.bmiHeader.biWidth = sharpWidth;
    picture.bmiHeader.biHeight = -sharpHeight;
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchDIBits(target, place.x, place.y, place.width, place.height, 0, 0, sharpWidth, sharpHeight, sharp_.data(),
                  &picture, DIB_RGB_COLORS, SRCCOPY);
  }
  if (surface().cursorVisible() && surface().cursorRow() <= Surface::kRows) {
    // An underline cursor over the picture only: the surface stays as the program drew it.
    auto across = [&](int x) { return place.x + x * place.width / Surface::kWidth; };
    auto down = [&](int y) { return place.y + y * place.height / Surface::kHeight; };
    const int left = (surface().cursorColumn() - 1) * Surface::kCellWidth;
    const int top = surface().cursorRow() * Surface::kCellHeight - 2;
    RECT bar{across(left), down(top), across(left + Surface::kCellWidth), down(top + 2)};
    HBRUSH cursor = CreateSolidBrush(RGB(kCursorColour >> 16, (kCursorColour >> 8) & 0xFF, kCursorColour & 0xFF));
    FillRect(target, &bar, cursor);
    DeleteObject(cursor);
  }
  EndPaint(window_, &painting);
}

// The whole screen the window stands on, without its frame; back, as it stood
// before: maximised, or in its own size and place.
void Win32Platform::toggleFullScreen() {
  const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  if (beforeFullScreen_.empty()) {
    WINDOWPLACEMENT before{};
    before.length = sizeof before;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowPlacement(window_, &before) ||
        !GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor))
      return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&before);
    beforeFullScreen_.assign(bytes, bytes + sizeof before);
    SetWindowLongPtrW(window_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW));
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(window_, HWND_TOP, screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                 SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  } else {
    WINDOWPLACEMENT before{};
    std::memcpy(&before, beforeFullScreen_.data(), sizeof before);
    beforeFullScreen_.clear();
    SetWindowLongPtrW(window_, GWL_STYLE, style | WS_OVERLAPPEDWINDOW);
    SetWindowPlacement(window_, &before);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void Win32Platform::pumpEvents() {
  toMessages();
  if (window_ && surface().takeChanged()) {
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
  }
}

void Win32Platform::waitForMessages(int milliseconds) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds),
                            QS_ALLINPUT);
  pumpEvents();
}

// The window stays drawn and answers meanwhile; keys stay queued.
void Win32Platform::pause(int milliseconds) {
  const double end = os::monotonicSeconds() + std::max(milliseconds, 0) / 1000.0;
  pumpEvents();
  for (double left = end - os::monotonicSeconds(); left > 0; left = end - os::monotonicSeconds())
    waitForMessages(static_cast<int>(left * 1000) + 1);
}

void Win32Platform::awaitInput(int milliseconds) {
  const std::uint64_t arrivals = keyQueue().arrivals();
  const double end = os::monotonicSeconds() + std::max(milliseconds, 0) / 1000.0;
  pumpEvents();
  for (double left = end - os::monotonicSeconds(); left > 0 && keyQueue().arrivals() == arrivals;
       left = end - os::monotonicSeconds())
    waitForMessages(static_cast<int>(left * 1000) + 1);
}

// Sleeps on the window's messages until a key comes: an open screen costs nothing.
Key Win32Platform::waitForKey() {
  for (;;) {
    Key key = readKey();
    if (!key.empty()) return key;
    waitForMessages(-1);
  }
}

bool Win32Platform::isKeyDown(HeldKey key) {
  // The keyboard is the whole system's: a key held for another program does not count.
  return GetForegroundWindow() == window_ && GetAsyncKeyState(key == HeldKey::Alt ? VK_MENU : VK_F4) < 0;
}

double Win32Platform::elapsedSeconds() { return os::monotonicSeconds(); }

void Win32Platform::yieldProcessor() { os::yieldProcessor(); }

void Win32Platform::runCommand(const std::string& line) { os::runCommandLine(line, files().workingFolder()); }

bool Win32Platform::showTextFile(std::string_view name) {
  return os::openInTextViewer(std::string(name), files().workingFolder());
}

SpeakerPort& Win32Platform::speakerPort() { return *speaker_; }

// A box of the system for a message; one with a choice of buttons is drawn
// in the window, which the system's boxes cannot label, with the window
// brought forward so that an alarm is seen.
int Win32Platform::messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                              const std::vector<std::string>& buttons) {
  if (buttons.size() > 1 && window_) {
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
    FLASHWINFO flash{sizeof flash, window_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
    pumpEvents();
    return showMessageInWindow(messageUtf8, captionUtf8, buttons);
  }
  boxText_ = win32::wide(messageUtf8);
  boxCaption_ = win32::wide(captionUtf8);
  const unsigned box = ++boxAsked_;
  const bool askedBeforeTheEnd = !closing_;
  // Shown on the messages' fiber; a session that ends meanwhile answers it for the user.
  while (boxAnswered_ < box && !(askedBeforeTheEnd && closing_)) toMessages();
  pumpEvents();
  return 0;
}

void Win32Platform::showWindowTitle() {
  if (window_) SetWindowTextW(window_, win32::wide(windowTitle()).c_str());
}

LocalDateTime Win32Platform::localNow() { return os::localNow(); }

std::string Win32Platform::rawEnvironmentValue(const std::string& name) { return os::environmentValue(name); }

std::string Win32Platform::homeFolder() {
  wchar_t* profile = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &profile))) folder = win32::narrow(profile);
  CoTaskMemFree(profile);
  return folder.empty() ? os::environmentValue("USERPROFILE") : folder;
}

std::unique_ptr<Platform> makeWindowPlatform(std::string startFolder) {
  return std::make_unique<Win32Platform>(std::move(startFolder));
}

std::unique_ptr<SoundPlayer> makeSoundPlayer(FileLayer& files) { return std::make_unique<Win32SoundPlayer>(files); }

bool Win32Platform::windowInFront() { return window_ && GetForegroundWindow() == window_ && !IsIconic(window_); }

// The task bar's button blinks until the user comes to the window.
void Win32Platform::askForAttention() {
  if (!window_) return;
  FLASHWINFO flash{sizeof(FLASHWINFO), window_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
}

}  // namespace almanouk
