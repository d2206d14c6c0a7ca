#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "platform/Emblem.h"
#include "platform/WindowMessageBox.h"
#include "platform/WindowPlatform.h"
#include "platform/KeyNames.h"
#include "platform/PicturePlacement.h"
#include "platform/NumberedFiles.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"
#include "platform/sdl/SdlSpeaker.h"
#include "platform/System.h"
#include "platform/sdl/SdlSoundPlayer.h"
#include "platform/sdl/X11Errors.h"

namespace almanouk {
namespace {

// A change is shown at most this often: uploading the whole surface costs
// about 2 ms, and a screen that changes every 3 ms must not burn a core.
constexpr std::uint32_t kPresentIntervalMs = 15;
constexpr int kRaiseRequestCheckMs = 1000;

// The keypad's keys with NumLock off, as the keys they stand for; with it on they type digits.
KeySym keypadSymOf(SDL_Keycode key) {
  switch (key) {
    case SDLK_KP_8: return KeySym::Up;
    case SDLK_KP_2: return KeySym::Down;
    case SDLK_KP_4: return KeySym::Left;
    case SDLK_KP_6: return KeySym::Right;
    case SDLK_KP_7: return KeySym::Home;
    case SDLK_KP_1: return KeySym::End;
    case SDLK_KP_9: return KeySym::PageUp;
    case SDLK_KP_3: return KeySym::PageDown;
    case SDLK_KP_0: return KeySym::Insert;
    case SDLK_KP_PERIOD: return KeySym::Delete;
    default: return KeySym::None;
  }
}

// The keyboard's keys as the table of key names knows them.
KeySym symOf(SDL_Keycode key, bool numLock) {
  if (!numLock && keypadSymOf(key) != KeySym::None) return keypadSymOf(key);
  if (key >= SDLK_a && key <= SDLK_z) return letterKey(static_cast<char>(key));
  if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<KeySym>(static_cast<int>(KeySym::F1) + (key - SDLK_F1));
  switch (key) {
    case SDLK_HOME: return KeySym::Home;
    case SDLK_END: return KeySym::End;
    case SDLK_UP: return KeySym::Up;
    case SDLK_DOWN: return KeySym::Down;
    case SDLK_LEFT: return KeySym::Left;
    case SDLK_RIGHT: return KeySym::Right;
    case SDLK_PAGEUP: return KeySym::PageUp;
    case SDLK_PAGEDOWN: return KeySym::PageDown;
    case SDLK_INSERT: return KeySym::Insert;
    case SDLK_DELETE: return KeySym::Delete;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KeySym::Enter;
    case SDLK_ESCAPE: return KeySym::Escape;
    case SDLK_BACKSPACE: return KeySym::Backspace;
    case SDLK_TAB: return KeySym::Tab;
    default: return KeySym::None;
  }
}

// The emblem, as the desktop's menu shows it; a window without it keeps the system's.
void setWindowIcon(SDL_Window* window) {
  constexpr int kIconSize = 64;
  std::vector<std::uint32_t> pixels = emblemIcon(kIconSize);
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kIconSize, kIconSize, 32, kIconSize * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
  if (!icon) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

// SDL falls back to drivers that show nothing when no display answers; a
// program nobody sees would ring its alarms unseen and hold its instance
// marker. They are used only when SDL_VIDEODRIVER asks for them by name.
bool showsNothing(std::string_view driver) {
  return driver == "offscreen" || driver == "dummy" || driver == "evdev";
}

}  // namespace

SdlPlatform::SdlPlatform(std::string startFolder)
    : Platform(std::move(startFolder)) {
  // The window's surface without a renderer behind it: no graphics driver is loaded.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  tolerateEventsToClosedWindows();
  constexpr const char* kNoDisplay = "geen beeldscherm om het venster op te openen (staat DISPLAY of WAYLAND_DISPLAY goed?)";
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) throw NoDisplay(std::string(kNoDisplay) + ": " + SDL_GetError());
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || (showsNothing(driver) && !SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
    SDL_Quit();
    throw NoDisplay(kNoDisplay);
  }
  // After SDL, whose own handlers turn an interrupt or a termination into the close key.
  os::treatHangupAsTermination();
  sound_ = std::make_unique<SdlSoundPlayer>(files());
  speaker_ = std::make_unique<SdlSpeaker>();
}

SdlPlatform::~SdlPlatform() {
  speaker_.reset();
  SDL_FreeSurface(sharp_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

// Where the window stood when the program last ended, when it still fits on
// a display: at least the picture's size, its top-left part on a display.
std::optional<SdlPlatform::Placement> SdlPlatform::savedPlacement() {
  if (windowFiles().placement.empty()) return std::nullopt;
  const std::optional<std::string> text = files().contents(windowFiles().placement);
  Placement saved;
  int maximised = 0;
  if (!text || std::sscanf(text->c_str(), "%d %d %d %d %d", &saved.x, &saved.y, &saved.width, &saved.height,
                           &maximised) != 5)
    return std::nullopt;
  saved.maximised = maximised == 1;
  if (saved.width < Surface::kWidth || saved.height < Surface::kHeight) return std::nullopt;
  constexpr int kVisibleCorner = 64;
  for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) continue;
    const SDL_Point corner{saved.x + kVisibleCorner, saved.y + kVisibleCorner};
    if (SDL_PointInRect(&corner, &bounds) && saved.width <= bounds.w && saved.height <= bounds.h) return saved;
  }
  return std::nullopt;
}

void SdlPlatform::openScreen(int width, int height, int) {
  // Where it stood last time; else the largest whole enlargement that fits
  // in two thirds of the display, in the middle.
  int scale = 2;
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0) scale = startScale(usable.w, usable.h);
  const std::optional<Placement> saved = savedPlacement();
  window_ = saved ? SDL_CreateWindow("Almanouk", saved->x, saved->y, saved->width, saved->height, SDL_WINDOW_RESIZABLE)
                  : SDL_CreateWindow("Almanouk", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * scale,
                                     height * scale, SDL_WINDOW_RESIZABLE);
  if (!window_) throw std::runtime_error(SDL_GetError());
  notePlacement();
  if (saved && saved->maximised) SDL_MaximizeWindow(window_);
  setWindowIcon(window_);
  showWindowTitle();
  SDL_SetWindowMinimumSize(window_, width, height);
  SDL_StartTextInput();
  surface().takeChanged();
  changePending_ = true;
  present(true);
}

// A 640 x 400 picture needs no graphics pipeline: it is copied onto the
// window's own surface, which keeps the program's memory and threads few. It
// fills the window in its own 8:5 shape: enlarged by the largest whole factor
// that fits, pixel for pixel, and the rest of the way smoothly, so that the
// text stays sharp and no border is wider than the shape asks.
void SdlPlatform::present(bool force) {
  if (!window_) return;
  if (surface().takeChanged()) changePending_ = true;
  if (!changePending_ && !exposed_) return;
  std::uint32_t now = SDL_GetTicks();
  if (!force && !exposed_ && now - lastPresentTicks_ < kPresentIntervalMs) return;
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(surface().pixels()),
                                                            Surface::kWidth, Surface::kHeight, 32, Surface::kWidth * 4,
                                                            SDL_PIXELFORMAT_RGB888);
  if (!target || !picture) {
    SDL_FreeSurface(picture);
    return;
  }
  const PicturePlace where = placePicture(target->w, target->h);
  SDL_Rect place{where.place.x, where.place.y, where.place.width, where.place.height};
  SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
  if (!where.smooth) {
    SDL_BlitScaled(picture, nullptr, target, &place);
  } else {
    SDL_Surface* sharp = sharpPicture(picture, where.whole, target->format->format);
    if (sharp) SDL_SoftStretchLinear(sharp, nullptr, target, &place);
  }
  SDL_FreeSurface(picture);
  if (surface().cursorVisible() && surface().cursorRow() <= Surface::kRows) {
    // An underline cursor, drawn over the picture only: the surface stays as the program drew it.
    auto across = [&](int x) { return place.x + x * place.w / Surface::kWidth; };
    auto down = [&](int y) { return place.y + y * place.h / Surface::kHeight; };
    const int left = (surface().cursorColumn() - 1) * Surface::kCellWidth;
    const int top = surface().cursorRow() * Surface::kCellHeight - 2;
    SDL_Rect bar{across(left), down(top), across(left + Surface::kCellWidth) - across(left), down(top + 2) - down(top)};
    SDL_FillRect(target, &bar, SDL_MapRGB(target->format, 0xC8, 0xC8, 0xC8));
  }
  SDL_UpdateWindowSurface(window_);
  lastPresentTicks_ = now;
  changePending_ = false;
  exposed_ = false;
}

// The picture enlarged pixel for pixel by a whole factor, in the window's format, kept for the next time.
SDL_Surface* SdlPlatform::sharpPicture(SDL_Surface* picture, int scale, std::uint32_t format) {
  if (!sharp_ || sharp_->w != Surface::kWidth * scale || sharp_->format->format != format) {
    SDL_FreeSurface(sharp_);
    sharp_ = SDL_CreateRGBSurfaceWithFormat(0, Surface::kWidth * scale, Surface::kHeight * scale, 32, format);
    if (!sharp_) return nullptr;
  }
  SDL_BlitScaled(picture, nullptr, sharp_, nullptr);
  return sharp_;
}

void SdlPlatform::showWindowTitle() {
  if (!window_) return;
  if (!setX11WindowTitle(window_, windowTitle())) SDL_SetWindowTitle(window_, windowTitle().c_str());
}

// Back from full screen the window stands as it did before: maximised, or in
// its own size and place.
void SdlPlatform::toggleFullScreen() {
  const Uint32 flags = SDL_GetWindowFlags(window_);
  if (!(flags & SDL_WINDOW_FULLSCREEN_DESKTOP)) {
    maximisedBeforeFull_ = flags & SDL_WINDOW_MAXIMIZED;
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    if (maximisedBeforeFull_) {
      SDL_MaximizeWindow(window_);
    } else {
      SDL_SetWindowSize(window_, placement_.width, placement_.height);
      SDL_SetWindowPosition(window_, placement_.x, placement_.y);
    }
  }
  exposed_ = true;
}

// The window's own size and place, whenever it stands in them.
void SdlPlatform::notePlacement() {
  const Uint32 flags = SDL_GetWindowFlags(window_);
  if (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MINIMIZED)) return;
  placement_.maximised = flags & SDL_WINDOW_MAXIMIZED;
  if (placement_.maximised) return;
  SDL_GetWindowPosition(window_, &placement_.x, &placement_.y);
  SDL_GetWindowSize(window_, &placement_.width, &placement_.height);
  // A window is placed by its frame: the place of the frame, so that it comes back where it was.
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(window_, &top, &left, nullptr, nullptr) == 0) {
    placement_.x -= left;
    placement_.y -= top;
  }
}

void SdlPlatform::closeScreen() {
  if (!window_ || windowFiles().placement.empty()) return;
  notePlacement();
  const bool maximised = placement_.maximised || ((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) &&
                                                  maximisedBeforeFull_);
  char text[64];
  std::snprintf(text, sizeof text, "%d %d %d %d %d", placement_.x, placement_.y, placement_.width, placement_.height,
                maximised ? 1 : 0);
  FileReplacement file(*this, windowFiles().placement, temporary::kWindowPlacement, 1);
  file.line(text);
  static_cast<void>(file.commit());  // a window that opens in the middle next time is no loss
}

void SdlPlatform::raiseWindow() {
  if (!window_) return;
  if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
  if (!activateX11Window(window_)) SDL_RaiseWindow(window_);
}

bool SdlPlatform::windowInFront() {
  if (!window_) return false;
  const std::uint32_t flags = SDL_GetWindowFlags(window_);
  return (flags & SDL_WINDOW_INPUT_FOCUS) && !(flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

// Until the user comes to the window: the task bar's entry blinks, the window manager marks it urgent.
void SdlPlatform::askForAttention() {
  if (window_) SDL_FlashWindow(window_, SDL_FLASH_UNTIL_FOCUSED);
}

int SdlPlatform::msUntilPresent() const {
  if (!changePending_ && !exposed_) return -1;
  std::uint32_t since = SDL_GetTicks() - lastPresentTicks_;
  return since >= kPresentIntervalMs ? 0 : static_cast<int>(kPresentIntervalMs - since);
}

void SdlPlatform::pumpEvents() {
  SDL_PumpEvents();
  handleQueuedEvents();
  present(false);
}

// Takes the events already queued without asking the display again for each one.
void SdlPlatform::handleQueuedEvents() {
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) handle(event);
}

// Just sleeps and then takes the events in: waiting on the display instead
// asks it for events many times over and costs more.
void SdlPlatform::pause(int milliseconds) {
  std::uint32_t deadline = SDL_GetTicks() + static_cast<std::uint32_t>(std::max(milliseconds, 0));
  for (;;) {
    present(false);
    std::int32_t left = static_cast<std::int32_t>(deadline - SDL_GetTicks());
    if (left <= 0) return;
    int untilPresent = msUntilPresent();
    SDL_Delay(static_cast<Uint32>(untilPresent >= 0 ? std::clamp(untilPresent, 1, static_cast<int>(left)) : left));
    SDL_PumpEvents();
    handleQueuedEvents();
  }
}

// Sleeps on the window's events until a key comes or the time is up; the
// window is refreshed meanwhile as changes ask.
void SdlPlatform::awaitInput(int milliseconds) {
  std::uint64_t arrivals = keyQueue().arrivals();
  std::uint32_t deadline = SDL_GetTicks() + static_cast<std::uint32_t>(std::max(milliseconds, 0));
  for (;;) {
    present(false);
    std::int32_t left = static_cast<std::int32_t>(deadline - SDL_GetTicks());
    if (keyQueue().arrivals() != arrivals || left <= 0) return;
    int wait = left;
    int untilPresent = msUntilPresent();
    if (untilPresent >= 0) wait = std::min(wait, std::max(untilPresent, 1));
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, wait)) {
      handle(event);
      handleQueuedEvents();
    }
  }
}

// Sleeps on the window's events until a key comes, waking only to show a
// change: a help box or an editor left open costs nothing.
Key SdlPlatform::waitForKey() {
  for (;;) {
    Key key = readKey();
    if (!key.empty()) return key;
    // Another start's request to bring the window forward is looked for once a second.
    int wait = windowFiles().raiseRequest.empty() ? -1 : kRaiseRequestCheckMs;
    if (const int untilPresent = msUntilPresent(); untilPresent >= 0)
      wait = wait < 0 ? std::max(untilPresent, 1) : std::min(wait, std::max(untilPresent, 1));
    SDL_Event event;
    bool got = wait < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, wait);
    if (got) {
      handle(event);
      handleQueuedEvents();
    }
    present(false);
  }
}

void SdlPlatform::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      closeRequested();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        exposed_ = true;
      if (event.window.event == SDL_WINDOWEVENT_MOVED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
          event.window.event == SDL_WINDOWEVENT_MAXIMIZED || event.window.event == SDL_WINDOWEVENT_RESTORED)
        notePlacement();
      break;
    case SDL_KEYDOWN:
      handleKeyDown(event);
      break;
    case SDL_TEXTINPUT: {
      if (skipText_) {
        skipText_ = false;
        break;
      }
      queueTypedText(event.text.text);
      break;
    }
    default:
      break;
  }
}

// Keys without a character, and Ctrl or Alt with a key, come from here; the
// characters typed come as text, which a key taken here does not type again.
void SdlPlatform::handleKeyDown(const SDL_Event& event) {
  skipText_ = false;
  const Uint16 mods = event.key.keysym.mod;
  const bool ctrl = mods & KMOD_CTRL;
  const bool alt = mods & KMOD_LALT;  // right Alt is AltGr on many layouts and types characters
  const Modifier modifier = alt ? Modifier::Alt : ctrl ? Modifier::Ctrl : Modifier::None;
  // F11 is the window's own, as in every desktop program; the program's keys stop at F8.
  if (event.key.keysym.sym == SDLK_F11 && modifier == Modifier::None) {
    if (!event.key.repeat) toggleFullScreen();
    return;
  }
  if (std::optional<Key> key = keyFor(symOf(event.key.keysym.sym, mods & KMOD_NUM), modifier, mods & KMOD_SHIFT)) {
    keyQueue().push(*key);
    skipText_ = modifier != Modifier::None;
  } else if (modifier != Modifier::None) {
    skipText_ = true;  // other Ctrl and Alt combinations type nothing
  }
}

// The keyboard state follows the events that readKey and pause take in.
bool SdlPlatform::isKeyDown(HeldKey key) {
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  if (key == HeldKey::Alt) return state[SDL_SCANCODE_LALT] || state[SDL_SCANCODE_RALT];
  return state[SDL_SCANCODE_F4];
}

double SdlPlatform::elapsedSeconds() { return os::monotonicSeconds(); }

void SdlPlatform::yieldProcessor() { os::yieldProcessor(); }

void SdlPlatform::runCommand(const std::string& line) {
  os::runCommandLine(line, files().workingFolder());
}

void SdlPlatform::closeRequested() {
  keyQueue().push(keys::kClose);
  os::ignoreTerminationSignals();
}

// A box that cannot have a window of its own (the display refuses one) is
// drawn in the main window instead, so that no alarm goes unseen.
int SdlPlatform::messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                            const std::vector<std::string>& buttons) {
  present(true);
  if (const int chosen = boxWindow(messageUtf8, captionUtf8, buttons); chosen >= 0) return chosen;
  std::fprintf(stderr, "almanouk: het berichtvenster kan niet verschijnen: %s\n", SDL_GetError());
  if (!window_) {
    std::fprintf(stderr, "almanouk: nog geen venster; niet getoond: %.*s\n", static_cast<int>(messageUtf8.size()),
                 messageUtf8.data());
    return 0;
  }
  return showMessageInWindow(messageUtf8, captionUtf8, buttons);
}

namespace {

// The button a key chooses: Enter, Esc and Space the first, a button's first letter that one; -1 for none.
int buttonFor(const SDL_Keysym& key, const std::vector<std::string>& buttons) {
  if (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER || key.sym == SDLK_ESCAPE || key.sym == SDLK_SPACE) return 0;
  for (std::size_t i = 1; i < buttons.size(); ++i)
    if (!buttons[i].empty() && key.sym == SDL_GetKeyFromName(buttons[i].substr(0, 1).c_str())) return static_cast<int>(i);
  return -1;
}

}  // namespace

int SdlPlatform::boxWindow(std::string_view messageUtf8, std::string_view captionUtf8,
                           const std::vector<std::string>& buttons) {
  Surface picture;
  const BoxCells cells = drawWindowMessageBox(picture, messageUtf8, captionUtf8, buttons, CellPosition{1, 1});
  const int width = cells.columns * Surface::kCellWidth, height = cells.rows * Surface::kCellHeight;
  const std::string title(captionUtf8);
  SDL_Window* box = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
  if (!box) return -1;
  setX11WindowTitle(box, title);
  setWindowIcon(box);
  const Uint32 boxId = SDL_GetWindowID(box);
  auto show = [&] {
    SDL_Surface* target = SDL_GetWindowSurface(box);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(picture.pixels()), Surface::kWidth,
                                                             Surface::kHeight, 32, Surface::kWidth * 4,
                                                             SDL_PIXELFORMAT_RGB888);
    if (target && source) {
      SDL_Rect area{0, 0, width, height};
      SDL_BlitSurface(source, &area, target, nullptr);
      SDL_UpdateWindowSurface(box);
    }
    SDL_FreeSurface(source);
  };
  show();
  if (!activateX11Window(box)) SDL_RaiseWindow(box);
  // A key answers when it is let go, pressed and let go in the box: the Enter
  // that closed the box before, still held or repeating, answers nothing here.
  int keys = 0;
  SDL_GetKeyboardState(&keys);
  std::vector<bool> pressedHere(static_cast<std::size_t>(keys), false);
  auto inBox = [&](const SDL_KeyboardEvent& key) { return key.windowID == boxId && key.keysym.scancode < keys; };
  int chosen = -1;
  SDL_Event event;
  while (chosen < 0 && SDL_WaitEvent(&event)) {
    if (event.type == SDL_QUIT) {
      closeRequested();
      chosen = 0;
    } else if (event.type == SDL_KEYDOWN && inBox(event.key)) {
      pressedHere[static_cast<std::size_t>(event.key.keysym.scancode)] = true;
    } else if (event.type == SDL_KEYUP && inBox(event.key) &&
               pressedHere[static_cast<std::size_t>(event.key.keysym.scancode)]) {
      chosen = buttonFor(event.key.keysym, buttons);
    } else if (event.type == SDL_WINDOWEVENT && event.window.windowID == boxId) {
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) chosen = 0;
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED) show();
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      exposed_ = true;
    }
  }
  SDL_DestroyWindow(box);
  // The key that closed the box types nothing in the main window.
  SDL_FlushEvent(SDL_TEXTINPUT);
  exposed_ = true;
  present(true);
  return std::max(chosen, 0);
}

bool SdlPlatform::showTextFile(std::string_view name) {
  return os::openInTextViewer(std::string(name), files().workingFolder());
}

SoundPlayer& SdlPlatform::soundPlayer() { return *sound_; }

SpeakerPort& SdlPlatform::speakerPort() { return *speaker_; }

LocalDateTime SdlPlatform::localNow() { return os::localNow(); }

std::string SdlPlatform::rawEnvironmentValue(const std::string& name) { return os::environmentValue(name); }

std::unique_ptr<Platform> makeWindowPlatform(std::string startFolder) {
  return std::make_unique<SdlPlatform>(std::move(startFolder));
}

std::unique_ptr<SoundPlayer> makeSoundPlayer(FileLayer& files) { return std::make_unique<SdlSoundPlayer>(files); }

}  // namespace almanouk
