// The headless backend: no display, deterministic, a virtual clock. Input comes from a test
// or from a script (docs/headless-scripts.md) as a list of steps; a step is taken only when
// the application's event queue is empty, so every key or click sees the state that the
// events before it left. Message boxes are answered from scripted answers; every box and
// every tone is recorded.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"
#include "ui/events.h"

namespace xb::headless {

struct DialogRecord {
  MessageBoxInfo info;
  int answer = 0;
  bool defaulted = false;  // no answer was given; the box took its Esc/default answer
};

struct ToneRecord {
  double frequency = 0;
  double seconds = 0;
};

struct ScriptError {
  int line = 0;
  std::string message;  // names the file, the line and the problem; UTF-8 as the script
};

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;
  // Makes a new headless backend the current one and returns it.
  static std::shared_ptr<HeadlessBackend> install();

  // ---- input, taken one step at a time when the event queue is empty ----
  void key(int code);
  // A key by name ("F4", "Shift+Tab", "Ctrl+Home", "a"); false for an unknown name.
  bool key(std::string_view name);
  // Each character of a UTF-8 text as a key; a character CP850 cannot hold sounds a tone
  // and is not typed.
  void type(std::string_view utf8);
  // Mouse actions at a point relative to the part (lower-left origin, y up).
  void click(const WindowRef& part, double x, double y, MouseButton button = MouseButton::left);
  void dblClick(const WindowRef& part, double x, double y);
  void drag(const WindowRef& part, double x1, double y1, double x2, double y2);
  // The window-close event for a top-level part (the application window when null).
  void closeWindow(const WindowRef& top = nullptr);
  void activate(const WindowRef& top);
  void deactivate(const WindowRef& top);
  // Advances the virtual clock.
  void wait(double seconds);
  // Any other action, run as one step.
  void step(std::function<void()> fn, int line = 0);
  // The answer for the next message box (a ConfirmBox result code, an Alert button number).
  void answer(int result);

  bool hasPendingInput() const { return !steps_.empty(); }
  // Dispatches queued events and takes pending steps until both are used up.
  void runUntilIdle();

  // ---- records ----
  const std::vector<DialogRecord>& dialogs() const { return dialogs_; }
  const std::vector<ToneRecord>& tones() const { return tones_; }
  // Failed expectations of a script, unanswered message boxes, bad answers, steps that
  // could not run (unknown part, no screenshot writer). CP850 text, like the diagnostics.
  const std::vector<std::string>& failures() const { return failures_; }
  void clearRecords();
  int invalidations() const { return invalidations_; }

  // Message boxes without a scripted answer are shown as parts and answered by input
  // (keys, clicks) instead of failing.
  bool showMessageBoxes = false;

  // ---- scripts ----
  // Parses a script and appends its steps. On a syntax error nothing is appended.
  std::optional<ScriptError> loadScript(std::string_view text, const std::string& name = "script");
  std::optional<ScriptError> loadScriptFile(const std::string& path);

  // Writes a PNG of a top-level part; returns an error text, empty on success. Installed by
  // the renderer; without it `screenshot` fails with "not available".
  using ScreenshotWriter = std::function<std::string(XbpWindow& top, const std::string& file)>;
  void setScreenshotWriter(ScreenshotWriter w) { screenshot_ = std::move(w); }
  const ScreenshotWriter& screenshotWriter() const { return screenshot_; }

  // ---- Backend ----
  std::string name() const override { return "headless"; }
  Input waitInput(double timeoutSeconds) override;
  std::optional<std::string> clipboardText() override { return clipboard_; }
  void setClipboardText(const std::string& cp850) override { clipboard_ = cp850; }
  void clearClipboard() override { clipboard_.reset(); }
  void tone(double frequency, double seconds) override;
  void invalidate(XbpWindow&) override { ++invalidations_; }
  std::optional<int> answerMessageBox(const MessageBoxInfo& info) override;
  void messageBoxDone(const MessageBoxInfo& info, int answer) override;
  double now() override { return clock_; }

  void fail(const std::string& text);

 private:
  struct Step {
    int line = 0;
    std::function<void()> run;
    std::optional<int> answer;  // an `answer` step
  };
  void push(Step s) { steps_.push_back(std::move(s)); }
  void typeSteps(std::string_view utf8, int line, std::vector<Step>& out);
  void runStep();

  std::deque<Step> steps_;
  std::deque<int> answers_;
  std::vector<DialogRecord> dialogs_;
  std::vector<ToneRecord> tones_;
  std::vector<std::string> failures_;
  std::optional<std::string> clipboard_;
  ScreenshotWriter screenshot_;
  double clock_ = 0;
  int invalidations_ = 0;
  bool lastDefaulted_ = false;
  friend class ScriptParser;
};

// Finds a part by a path: a root (main, focus, active, top, capture, desktop) followed by
// "/"-separated steps: `area` (a dialog's drawing area), N (the N-th child), Class or
// Class:N (the first or N-th part of that class below, depth first), 'text' (the first part
// below whose caption, title or text is that text). Sets `error` and returns null when
// nothing matches.
WindowRef findPart(std::string_view path, std::string& error);

// The text a part shows (edit text, caption, title), for expectations.
std::string shownText(const XbpWindow& part);

}  // namespace xb::headless
