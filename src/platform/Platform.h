#pragma once
// The one way the program reaches the outside world: the text screen on its
// pixel surface, the keyboard, the clock, numbered files and folders, the
// command interpreter, message boxes, the sound player and the speaker.
//
// The surface, the key queue and the file layer are shared by every backend;
// a backend supplies the window (or none), how time passes, and the side
// effects of commands, boxes, sound and speaker.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DesktopNotifier.h"
#include "platform/FileLayer.h"
#include "platform/KeyQueue.h"
#include "platform/Keys.h"
#include "platform/LocalTime.h"
#include "platform/SoundPlayer.h"
#include "platform/SpeakerPort.h"
#include "platform/Surface.h"

namespace almanouk {

class Platform {
 public:
  explicit Platform(std::string startFolder);
  virtual ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // Screen. The surface always exists; openScreen shows it in the backend's window.
  virtual void openScreen(int width, int height, int depth) = 0;
  // Files of the window's own in the working folder (the data folder): where
  // it stood when the program last ended, and a second start's request to
  // bring it forward (answered within a second, whatever screen is open).
  struct WindowFiles {
    std::string placement;
    std::string raiseRequest;
  };
  void useWindowFiles(WindowFiles files) { windowFiles_ = std::move(files); }
  // The program ends in order: a window notes where it stood, for the next start.
  virtual void closeScreen() {}
  // The window's title (UTF-8), kept for a window not open yet.
  void setWindowTitle(std::string_view titleUtf8);
  const std::string& windowTitle() const { return title_; }
  // Text cursor, 1-based as the original's: the screen layer converts its 0-based positions.
  void moveCursor(int row, int column, int visible = -1) { surface_.moveCursor(row, column, visible); }
  void showCursor() { surface_.moveCursor(0, 0, 1); }
  // Where the user's attention is (the selected day, the field, the caret),
  // 1-based; the window shows it in colour only, a terminal puts its cursor
  // there for screen readers and braille displays to follow.
  void showFocus(int row, int column) { surface_.setFocus(row, column); }
  void setColours(std::uint32_t foreground, std::uint32_t background) {
    surface_.setColours(foreground, background);
  }
  void printText(std::string_view textCp437, bool lineEnd = false) { surface_.printText(textCp437, lineEnd); }
  void clearScreen() { surface_.clearScreen(); }
  int cursorRow() const { return surface_.cursorRow(); }
  int cursorColumn() const { return surface_.cursorColumn(); }
  void putPixel(int x, int y, std::uint32_t colour) { surface_.putPixel(x, y, colour); }
  std::uint32_t pixelAt(int x, int y) const { return surface_.pixelAt(x, y); }
  void drawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) { surface_.drawLine(x1, y1, x2, y2, colour); }
  Surface& surface() { return surface_; }

  // Keyboard and time.
  // The oldest keystroke, or no key at once.
  Key readKey();
  // Sleeps until a keystroke comes and returns it. Nothing else runs meanwhile.
  virtual Key waitForKey();
  // A key read too early: the next readKey returns it again.
  void putBack(Key key) { keys_.putBack(key); }
  virtual bool isKeyDown(HeldKey key) = 0;
  // Waits that many milliseconds; keystrokes stay queued.
  virtual void pause(int milliseconds) = 0;
  // Waits at most that many milliseconds, less when a keystroke (or a held
  // key the program samples) arrives first. Never takes a keystroke. The
  // month view's key wait sleeps here between the moments something is due.
  virtual void awaitInput(int milliseconds) = 0;
  // Waits at most that many milliseconds, less when one of the names comes
  // into the working folder or goes from it. Watched from the first call on.
  virtual void awaitNames(const std::vector<std::string>& names, int milliseconds) {
    static_cast<void>(names);
    pause(milliseconds);
  }
  // The local date and time of day.
  LocalDateTime now() { return localNow(); }
  // The zone of that local time, as the zone database names it ("Europe/Amsterdam").
  virtual std::string timeZone();
  // Milliseconds until the local clock's next second.
  int msToNextSecond() { return 1000 - localNow().millisecond; }
  virtual double elapsedSeconds() = 0;
  // Gives up the processor for a moment (0 ms); a key press does not cut it short.
  virtual void yieldProcessor() = 0;

  // Files and folders, relative to the working folder.
  // On the way out: whatever the open files hold no longer matters.
  void closeAllFiles() { static_cast<void>(files_.closeFile(0)); }
  FileResult deleteFile(std::string_view name) { return files_.deleteFile(name); }
  void discardFile(std::string_view name) { files_.discardFile(name); }
  bool fileExists(std::string_view name) { return files_.fileExists(name); }
  void makeFolder(std::string_view path) { files_.makeFolder(path); }
  bool changeFolder(std::string_view path) { return files_.changeFolder(path); }
  std::string findFirst(std::string_view pattern) { return files_.findFirst(pattern); }
  std::string findNext() { return files_.findNext(); }
  FileLayer& files() { return files_; }

  // "appdata" names the per-user application-data folder (APPDATA, appdata,
  // then the XDG data folder); other names are plain environment variables.
  std::string environmentValue(std::string_view name);
  // The program's data folder: "Almanouk" in the per-user application-data folder.
  std::string dataFolder();
  // Whether the working folder is the user's home ($HOME, on Windows the
  // profile folder), as it is when the desktop's menu starts the program.
  bool workingFolderIsHome();
  // Runs a line through the command interpreter in the working folder. A line
  // starting with "start " runs detached; "notepad" opens the desktop's text viewer.
  virtual void runCommand(const std::string& line) = 0;

  // Blocks until the user closes the box and returns the button chosen: 0 for
  // the first (OK, the only one when none are given), also when no box could
  // be shown. Texts are UTF-8; a line end starts a new line.
  int showMessageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                     const std::vector<std::string>& buttons = {});
  // The same box drawn on the surface, for when the system cannot show one:
  // Enter, Esc or Space choose the first button, a button's first letter that
  // one (the key is taken); a close request closes it as the first and stays
  // queued. What the box covered is put back.
  int showMessageInWindow(std::string_view messageUtf8, std::string_view captionUtf8,
                          const std::vector<std::string>& buttons);
  // Shows a text file in the desktop's text viewer, on its own; false when the
  // viewer could not be started or ended with a failure at once.
  virtual bool showTextFile(std::string_view name) = 0;
  // The alarm page as the desktop's text viewer reads it (code page 437 in):
  // UTF-8, after the mark the viewer needs to know it as such (none: it
  // takes UTF-8 as it is).
  std::string forTextViewer(std::string_view textCp437) const;
  virtual std::string_view textViewerMark() const { return {}; }
  virtual SoundPlayer& soundPlayer() = 0;
  virtual SpeakerPort& speakerPort() = 0;
  // Whether the user has the window in front, with the keyboard's focus.
  virtual bool windowInFront() { return true; }
  // Asks the desktop to draw the user to the window (the window manager's urgency).
  virtual void askForAttention() {}
  // The desktop's notifications; none where the backend has none.
  virtual DesktopNotifier* notifier() { return nullptr; }

 protected:
  // Moves keystrokes that arrived into the queue; called by readKey.
  virtual void pumpEvents() = 0;
  // Told after every readKey whether it returned a keystroke.
  virtual void afterReadKey(bool) {}
  virtual LocalDateTime localNow() = 0;
  virtual int messageBox(std::string_view messageUtf8, std::string_view captionUtf8,
                         const std::vector<std::string>& buttons) = 0;
  virtual std::string rawEnvironmentValue(const std::string& name) = 0;
  // The user's home folder; empty when there is none.
  virtual std::string homeFolder() { return environmentValue("HOME"); }
  // The title changed; a backend with a window shows it.
  virtual void showWindowTitle() {}
  // Brings the window forward, onto the current workspace and out of the task bar.
  virtual void raiseWindow() {}
  const WindowFiles& windowFiles() const { return windowFiles_; }

  KeyQueue& keyQueue() { return keys_; }
  // Characters typed (UTF-8) as keys: what the code page lacks is spelled
  // with what it has ("€" types "EUR", "’" an apostrophe), never dropped.
  void queueTypedText(std::string_view utf8);

 private:
  Surface surface_;
  KeyQueue keys_;
  FileLayer files_;
  std::string title_ = "Almanouk";
  WindowFiles windowFiles_;
  double nextRaiseCheck_ = 0;

  void answerRaiseRequest();
};

}  // namespace almanouk
