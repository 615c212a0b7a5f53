#include "backend/headless/headless.h"

#include <cstdio>
#include <memory>

#include "core/text.h"
#include "ui/dialog.h"
#include "ui/keys.h"

namespace xb::headless {

namespace {
// "U+20AC" for a character given in UTF-8.
std::string codePointName(const std::string& utf8) {
  unsigned cp = 0;
  unsigned char c = static_cast<unsigned char>(utf8.empty() ? 0 : utf8[0]);
  size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : 3;
  cp = n == 0 ? c : n == 1 ? (c & 0x1F) : n == 2 ? (c & 0x0F) : (c & 0x07);
  for (size_t i = 1; i <= n && i < utf8.size(); ++i) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", cp);
  return buf;
}
}  // namespace

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

std::shared_ptr<HeadlessBackend> HeadlessBackend::install() {
  auto b = std::make_shared<HeadlessBackend>();
  setBackend(b);
  return b;
}

void HeadlessBackend::fail(const std::string& text) {
  failures_.push_back(text);
  uiDiagnostic(text);
}

void HeadlessBackend::clearRecords() {
  dialogs_.clear();
  tones_.clear();
  failures_.clear();
}

// ---- input ----

void HeadlessBackend::key(int code) {
  push({0, [code] { postKeyInput(code); }, std::nullopt});
}

bool HeadlessBackend::key(std::string_view name) {
  auto code = key::codeOfName(name);
  if (!code) {
    fail("unknown key name '" + std::string(name) + "'");
    return false;
  }
  key(*code);
  return true;
}

void HeadlessBackend::type(std::string_view utf8) {
  std::vector<Step> steps;
  typeSteps(utf8, 0, steps);
  for (auto& s : steps) push(std::move(s));
}

void HeadlessBackend::typeSteps(std::string_view utf8, int line, std::vector<Step>& out) {
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > utf8.size()) len = utf8.size() - i;
    std::string ch(utf8.substr(i, len));
    i += len;
    auto cpText = utf8ToCp(ch);
    if (!cpText || cpText->size() != 1) {
      out.push_back({line,
                     [this, ch] {
                       uiDiagnostic("typed character " + codePointName(ch) + " refused: code page 850 cannot hold it");
                       tone(1000, 0.1);
                     },
                     std::nullopt});
      continue;
    }
    int code = static_cast<unsigned char>((*cpText)[0]);
    out.push_back({line, [code] { postKeyInput(code); }, std::nullopt});
  }
}

namespace {
Point desktopPoint(const WindowRef& part, double x, double y) {
  Rect r = part->absoluteRect();
  return {r.x + x, r.y + y};
}
}  // namespace

void HeadlessBackend::click(const WindowRef& part, double x, double y, MouseButton button) {
  auto at = std::make_shared<Point>();
  push({0,
        [part, x, y, button, at] {
          *at = desktopPoint(part, x, y);
          postMouseInput(MouseAction::down, button, *at);
        },
        std::nullopt});
  push({0, [button, at] { postMouseInput(MouseAction::up, button, *at); }, std::nullopt});
}

void HeadlessBackend::dblClick(const WindowRef& part, double x, double y) {
  click(part, x, y);
  auto at = std::make_shared<Point>();
  push({0,
        [part, x, y, at] {
          *at = desktopPoint(part, x, y);
          postMouseInput(MouseAction::dblClick, MouseButton::left, *at);
        },
        std::nullopt});
  push({0, [at] { postMouseInput(MouseAction::up, MouseButton::left, *at); }, std::nullopt});
}

void HeadlessBackend::drag(const WindowRef& part, double x1, double y1, double x2, double y2) {
  auto from = std::make_shared<Point>();
  push({0,
        [part, x1, y1, from] {
          *from = desktopPoint(part, x1, y1);
          postMouseInput(MouseAction::down, MouseButton::left, *from);
        },
        std::nullopt});
  // The pointer passes through a few points on its way, as a real drag would.
  for (int i = 1; i <= 4; ++i) {
    double f = i / 4.0;
    push({0,
          [from, x1, y1, x2, y2, f] {
            Point p{from->x + (x2 - x1) * f, from->y + (y2 - y1) * f};
            postMouseInput(MouseAction::motion, MouseButton::left, p);
          },
          std::nullopt});
  }
  push({0,
        [from, x1, y1, x2, y2] {
          postMouseInput(MouseAction::up, MouseButton::left, {from->x + x2 - x1, from->y + y2 - y1});
        },
        std::nullopt});
}

void HeadlessBackend::closeWindow(const WindowRef& top) {
  push({0,
        [this, top] {
          WindowRef t = top;
          if (!t) {
            std::string err;
            t = findPart("main", err);
            if (!t) {
              fail("close: " + err);
              return;
            }
          }
          PostAppEvent(ev::kClose, Value(), Value(), Value(t));
        },
        std::nullopt});
}

void HeadlessBackend::activate(const WindowRef& top) {
  push({0, [top] { activateWindow(top); }, std::nullopt});
}

void HeadlessBackend::deactivate(const WindowRef& top) {
  push({0, [top] { deactivateWindow(top); }, std::nullopt});
}

void HeadlessBackend::wait(double seconds) {
  push({0, [this, seconds] { clock_ += seconds; }, std::nullopt});
}

void HeadlessBackend::step(std::function<void()> fn, int line) { push({line, std::move(fn), std::nullopt}); }

void HeadlessBackend::answer(int result) { push({0, nullptr, result}); }

void HeadlessBackend::runStep() {
  Step s = std::move(steps_.front());
  steps_.pop_front();
  if (s.answer) {
    answers_.push_back(*s.answer);
    return;
  }
  if (s.run) s.run();
}

Backend::Input HeadlessBackend::waitInput(double timeoutSeconds) {
  while (!steps_.empty()) {
    runStep();
    if (queuedEventCount() > 0) return Input::got;
  }
  if (timeoutSeconds >= 0) {
    clock_ += timeoutSeconds;
    return Input::timeout;
  }
  return Input::exhausted;
}

void HeadlessBackend::runUntilIdle() {
  for (;;) {
    if (NextAppEvent() != ev::kNone) {
      Value a, b, t;
      int code = AppEvent(a, b, t);
      if (auto w = windowOf(t)) w->handleEvent(code, a, b);
    } else if (!steps_.empty()) {
      runStep();
    } else {
      return;
    }
  }
}

// ---- tone and message boxes ----

void HeadlessBackend::tone(double frequency, double seconds) { tones_.push_back({frequency, seconds}); }

std::optional<int> HeadlessBackend::answerMessageBox(const MessageBoxInfo& info) {
  lastDefaulted_ = false;
  std::optional<int> a;
  if (!answers_.empty()) {
    a = answers_.front();
    answers_.pop_front();
  } else if (!steps_.empty() && steps_.front().answer) {
    // `answer` may follow the step that opens the box.
    a = steps_.front().answer;
    steps_.pop_front();
  }
  std::string what = "message box '" + info.text + "'";
  int fallback = info.escapeResult >= 0 ? info.escapeResult : (info.results.empty() ? 0 : info.results[0]);
  if (!a) {
    if (showMessageBoxes) return std::nullopt;
    fail(what + " was shown, but no answer was given; it took " + std::to_string(fallback));
    lastDefaulted_ = true;
    return fallback;
  }
  bool ok = *a == info.escapeResult && info.escapeResult >= 0;
  for (int r : info.results) ok = ok || r == *a;
  if (!ok) {
    std::string allowed;
    for (int r : info.results) allowed += (allowed.empty() ? "" : ", ") + std::to_string(r);
    fail("answer " + std::to_string(*a) + " is not a button of " + what + " (buttons answer " + allowed +
         "); it took " + std::to_string(fallback));
    lastDefaulted_ = true;
    return fallback;
  }
  return a;
}

void HeadlessBackend::messageBoxDone(const MessageBoxInfo& info, int answer) {
  dialogs_.push_back({info, answer, lastDefaulted_});
  lastDefaulted_ = false;
}

}  // namespace xb::headless
