// The interface between the window layer and a backend (headless, SDL, later a terminal).
//
// The window layer owns the parts, the event queue and the focus; a backend only
//  - takes input when the queue is empty and turns it into queued events (helpers in
//    events.h: postKeyInput, postMouseInput), keys to the focus holder, mouse to the
//    topmost visible part under the pointer;
//  - shows top-level parts and redraws parts on request;
//  - gives the clipboard, the tone, the clock and text metrics;
//  - answers or shows message boxes.
// Everything is called on the one GUI thread.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window.h"

namespace xb {

// A message box about to be shown (MsgBox, ConfirmBox, Alert).
struct MessageBoxInfo {
  enum Kind { msgBox, confirmBox, alert } kind = msgBox;
  std::string title;              // CP850
  std::string text;               // CP850, as given
  std::vector<std::string> lines; // the text broken into lines
  std::vector<std::string> buttons;  // captions, CP850
  std::vector<int> results;       // what each button answers (ConfirmBox codes, Alert 1..n)
  int defaultButton = 0;          // 0-based index into buttons
  int escapeResult = 0;           // answer for Esc / closing the box; -1: neither allowed
  int icon = 0;                   // 16 stop, 32 question, 48 exclamation, 64 information
  int style = 0;
};

// Widths in pixels of text as a part shows it, so edit lines can place the caret and find
// the character under a click. The default is a fixed 8 pixels per character and a line
// height of 16, which keeps headless runs exact; a backend with a real font replaces it.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual double textWidth(const XbpWindow& part, std::string_view cp850) const;
  virtual double lineHeight(const XbpWindow& part) const;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::string name() const = 0;

  enum class Input { got, timeout, exhausted };
  // Called by AppEvent when the queue is empty: waits for input (at most timeoutSeconds
  // when that is >= 0) and queues the events it stands for. `exhausted` means no input
  // will ever come (a finished script): AppEvent then ends the application (QUIT).
  virtual Input waitInput(double timeoutSeconds) = 0;

  // Clipboard text in CP850; nullopt when the clipboard holds no text.
  virtual std::optional<std::string> clipboardText() = 0;
  virtual void setClipboardText(const std::string& cp850) = 0;
  virtual void clearClipboard() = 0;

  // A tone; duration in seconds.
  virtual void tone(double frequency, double seconds) = 0;

  // Top-level parts (children of the desktop): shown, hidden, moved, resized or retitled,
  // destroyed. Parts below them only ask for repaint.
  virtual void topLevelShown(XbpWindow&) {}
  virtual void topLevelHidden(XbpWindow&) {}
  virtual void topLevelChanged(XbpWindow&) {}
  virtual void topLevelDestroyed(XbpWindow&) {}
  // What a part shows has changed; redraw it (and run its paint method after drawing it).
  virtual void invalidate(XbpWindow&) {}

  // A message box: return the answer without showing anything (headless: the next
  // scripted answer), or nullopt to have the window layer show the box as a dialog of
  // parts and run its own event loop until it is answered.
  virtual std::optional<int> answerMessageBox(const MessageBoxInfo& info) = 0;
  // Every box, however answered, is reported here once it is closed.
  virtual void messageBoxDone(const MessageBoxInfo&, int /*answer*/) {}

  // Seconds since an arbitrary start (the headless clock is virtual).
  virtual double now() = 0;
  // Desktop size in pixels.
  virtual Size screenSize() const { return {1280, 1024}; }
  virtual const TextMetrics& metrics() const;
};

// The backend in use. Without one installed the window layer uses a quiet backend with
// no input, an in-process clipboard and no sound.
Backend& backend();
// Installs a backend (nullptr goes back to the quiet one); returns the previous one.
std::shared_ptr<Backend> setBackend(std::shared_ptr<Backend> b);

}  // namespace xb
