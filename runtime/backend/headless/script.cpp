// The headless script format: one command per line (docs/headless-scripts.md).
#include <charconv>
#include <fstream>
#include <sstream>

#include "backend/headless/headless.h"
#include "core/text.h"
#include "ui/dialog.h"
#include "ui/keys.h"
#include "ui/menu.h"

namespace xb::headless {

std::string shownText(const XbpWindow& part) { return part.labelText(); }

namespace {

std::vector<std::string> splitPath(std::string_view path) {
  std::vector<std::string> out;
  std::string cur;
  char quote = 0;
  for (char c : path) {
    if (quote) {
      cur += c;
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
      cur += c;
    } else if (c == '/') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

bool parseInt(std::string_view s, int& n) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), n);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool parseNum(const std::string& s, double& d) {
  try {
    size_t used = 0;
    d = std::stod(s, &used);
    return used == s.size();
  } catch (...) {
    return false;
  }
}

void preorder(const WindowRef& w, std::vector<WindowRef>& out) {
  for (auto& k : w->children()) {
    if (k->isDestroyed()) continue;
    out.push_back(k);
    preorder(k, out);
  }
}

WindowRef mainWindow() {
  if (auto w = windowOf(SetAppWindow())) return w;
  for (auto& t : AppDesktop()->children())
    if (!t->isDestroyed() && t->isVisible() && (t->isDerivedFrom("XbpDialog") || t->isDerivedFrom("XbpCrt")))
      return t;
  return nullptr;
}

}  // namespace

WindowRef findPart(std::string_view path, std::string& error) {
  auto segs = splitPath(path);
  const std::string& root = segs[0];
  WindowRef cur;
  if (iequals(root, "main")) cur = mainWindow();
  else if (iequals(root, "focus")) cur = focusHolder();
  else if (iequals(root, "active")) cur = activeWindow();
  else if (iequals(root, "capture")) cur = inputCapture();
  else if (iequals(root, "desktop")) cur = AppDesktop();
  else if (iequals(root, "top")) {
    auto tops = AppDesktop()->childrenFrontFirst();
    for (auto& t : tops)
      if (!t->isDestroyed() && t->isVisible()) {
        cur = t;
        break;
      }
  } else {
    error = "part path '" + std::string(path) + "': unknown root '" + root +
            "' (main, focus, active, top, capture, desktop)";
    return nullptr;
  }
  if (!cur) {
    error = "part path '" + std::string(path) + "': there is no '" + root + "' part now";
    return nullptr;
  }
  for (size_t i = 1; i < segs.size(); ++i) {
    const std::string& s = segs[i];
    WindowRef next;
    int n = 0;
    if (iequals(s, "area")) {
      if (auto d = std::dynamic_pointer_cast<XbpDialog>(cur)) next = d->drawingArea();
    } else if (parseInt(s, n)) {
      std::vector<WindowRef> kids;
      for (auto& k : cur->children())
        if (!k->isDestroyed()) kids.push_back(k);
      if (n >= 1 && static_cast<size_t>(n) <= kids.size()) next = kids[static_cast<size_t>(n) - 1];
    } else if (s.size() >= 2 && (s[0] == '\'' || s[0] == '"') && s.back() == s[0]) {
      std::string text = cp(s.substr(1, s.size() - 2));
      std::vector<WindowRef> all;
      preorder(cur, all);
      for (auto& k : all)
        if (k->labelText() == text) {
          next = k;
          break;
        }
    } else {
      std::string cls = s;
      int nth = 1;
      if (auto colon = s.find(':'); colon != std::string::npos) {
        cls = s.substr(0, colon);
        if (!parseInt(std::string_view(s).substr(colon + 1), nth) || nth < 1) {
          error = "part path '" + std::string(path) + "': bad number in '" + s + "'";
          return nullptr;
        }
      }
      std::vector<WindowRef> all;
      preorder(cur, all);
      for (auto& k : all)
        if (k->isDerivedFrom(cls) && --nth == 0) {
          next = k;
          break;
        }
    }
    if (!next) {
      error = "part path '" + std::string(path) + "': nothing matches '" + s + "' below " + cur->describe();
      return nullptr;
    }
    cur = next;
  }
  return cur;
}

// ---- the script ----

namespace {

// Splits a line into words; "..." or '...' keeps spaces inside a word (quotes stay).
std::vector<std::string> words(std::string_view line) {
  std::vector<std::string> out;
  std::string cur;
  char quote = 0;
  bool any = false;
  for (char c : line) {
    if (quote) {
      cur += c;
      if (c == quote) quote = 0;
    } else if (c == ' ' || c == '\t') {
      if (any) out.push_back(cur);
      cur.clear();
      any = false;
    } else {
      if (c == '"' || c == '\'') quote = c;
      cur += c;
      any = true;
    }
  }
  if (any) out.push_back(cur);
  return out;
}

std::string unquote(const std::string& s) {
  if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) return s.substr(1, s.size() - 2);
  return s;
}

// The text after the command and n words, as written.
std::string restAfter(std::string_view line, size_t n) {
  size_t i = 0;
  auto skipSpace = [&] {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  };
  for (size_t w = 0; w <= n; ++w) {
    skipSpace();
    char quote = 0;
    while (i < line.size()) {
      char c = line[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == ' ' || c == '\t') {
        break;
      } else if (c == '"' || c == '\'') {
        quote = c;
      }
      ++i;
    }
  }
  if (i < line.size()) ++i;  // the one separating space
  return std::string(line.substr(std::min(i, line.size())));
}

}  // namespace

class ScriptParser {
 public:
  ScriptParser(HeadlessBackend& b, std::string name) : b_(b), name_(std::move(name)) {}

  std::optional<ScriptError> parse(std::string_view text) {
    std::vector<HeadlessBackend::Step> steps;
    int lineNo = 0;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++lineNo;
      if (auto err = parseLine(line, lineNo, steps)) return err;
      if (end == text.size()) break;
      start = end + 1;
    }
    for (auto& s : steps) b_.push(std::move(s));
    return std::nullopt;
  }

 private:
  using Steps = std::vector<HeadlessBackend::Step>;

  ScriptError error(int line, const std::string& msg) {
    return {line, name_ + ":" + std::to_string(line) + ": " + msg};
  }
  std::string where(int line) { return name_ + ":" + std::to_string(line); }

  // A step that resolves a part when it runs; a part that is not there is a failure.
  void withPart(Steps& out, int line, std::string path, std::function<void(const WindowRef&)> fn) {
    HeadlessBackend* b = &b_;
    std::string at = where(line);
    out.push_back({line,
                   [b, at, path, fn] {
                     std::string err;
                     auto p = findPart(path, err);
                     if (!p) b->fail(at + ": " + err);
                     else fn(p);
                   },
                   std::nullopt});
  }

  std::optional<ScriptError> parseLine(std::string_view line, int n, Steps& out) {
    auto w = words(line);
    if (w.empty() || w[0][0] == '#') return std::nullopt;
    const std::string cmd = w[0];
    HeadlessBackend* b = &b_;
    std::string at = where(n);
    auto needArgs = [&](size_t lo, size_t hi, const char* usage) -> std::optional<ScriptError> {
      if (w.size() - 1 < lo || w.size() - 1 > hi) return error(n, "usage: " + std::string(usage));
      return std::nullopt;
    };
    if (cmd == "key") {
      if (w.size() < 2) return error(n, "usage: key NAME [NAME...]");
      for (size_t i = 1; i < w.size(); ++i) {
        auto code = key::codeOfName(w[i]);
        if (!code) return error(n, "unknown key name '" + w[i] + "'");
        int c = *code;
        out.push_back({n, [c] { postKeyInput(c); }, std::nullopt});
      }
      return std::nullopt;
    }
    if (cmd == "type") {
      std::string text = restAfter(line, 0);
      if (text.empty()) return error(n, "usage: type TEXT");
      b_.typeSteps(text, n, out);
      return std::nullopt;
    }
    if (cmd == "click" || cmd == "rclick" || cmd == "dblclick" || cmd == "mclick") {
      if (auto e = needArgs(1, 3, (cmd + " PART [X Y]").c_str())) return e;
      if (w.size() == 3) return error(n, cmd + ": give both X and Y, or neither");
      double x = 0, y = 0;
      bool centre = w.size() == 2;
      if (!centre && (!parseNum(w[2], x) || !parseNum(w[3], y)))
        return error(n, cmd + ": X and Y must be numbers");
      MouseButton btn = cmd == "rclick" ? MouseButton::right : cmd == "mclick" ? MouseButton::middle : MouseButton::left;
      bool dbl = cmd == "dblclick";
      // The steps after the button down use its point; they do nothing when the part was not found.
      auto at2 = std::make_shared<std::optional<Point>>();
      withPart(out, n, w[1], [centre, x, y, btn, at2, at](const WindowRef& p) {
        Rect r = p->absoluteRect();
        *at2 = centre ? Point{r.x + r.w / 2, r.y + r.h / 2} : Point{r.x + x, r.y + y};
        auto hit = partAt(**at2);
        bool onIt = false;
        for (auto q = hit; q && !onIt; q = q->parent()) onIt = q == p;
        if (!onIt)
          uiDiagnostic(at + ": the click meant for " + p->describe() + " lands on " +
                       (hit ? hit->describe() : std::string("nothing")) +
                       " (the part is covered, hidden or outside its parent)");
        postMouseInput(MouseAction::down, btn, **at2);
      });
      out.push_back({n, [btn, at2] { if (*at2) postMouseInput(MouseAction::up, btn, **at2); }, std::nullopt});
      if (dbl) {
        out.push_back({n, [at2] { if (*at2) postMouseInput(MouseAction::dblClick, MouseButton::left, **at2); }, std::nullopt});
        out.push_back({n, [at2] { if (*at2) postMouseInput(MouseAction::up, MouseButton::left, **at2); }, std::nullopt});
      }
      return std::nullopt;
    }
    if (cmd == "drag") {
      if (auto e = needArgs(5, 5, "drag PART X1 Y1 X2 Y2")) return e;
      double v[4];
      for (int i = 0; i < 4; ++i)
        if (!parseNum(w[static_cast<size_t>(i) + 2], v[i])) return error(n, "drag: coordinates must be numbers");
      auto from = std::make_shared<std::optional<Point>>();
      double x1 = v[0], y1 = v[1], x2 = v[2], y2 = v[3];
      withPart(out, n, w[1], [from, x1, y1](const WindowRef& p) {
        Rect r = p->absoluteRect();
        *from = Point{r.x + x1, r.y + y1};
        postMouseInput(MouseAction::down, MouseButton::left, **from);
      });
      for (int i = 1; i <= 4; ++i) {
        double f = i / 4.0;
        out.push_back({n,
                       [from, x1, y1, x2, y2, f] {
                         if (!*from) return;
                         Point o = **from;
                         postMouseInput(MouseAction::motion, MouseButton::left,
                                        {o.x + (x2 - x1) * f, o.y + (y2 - y1) * f});
                       },
                       std::nullopt});
      }
      out.push_back({n,
                     [from, x1, y1, x2, y2] {
                       if (!*from) return;
                       Point o = **from;
                       postMouseInput(MouseAction::up, MouseButton::left, {o.x + x2 - x1, o.y + y2 - y1});
                     },
                     std::nullopt});
      return std::nullopt;
    }
    if (cmd == "answer") {
      if (auto e = needArgs(1, 1, "answer N")) return e;
      int a = 0;
      if (!parseInt(w[1], a)) return error(n, "answer: '" + w[1] + "' is not a whole number");
      out.push_back({n, nullptr, a});
      return std::nullopt;
    }
    if (cmd == "close") {
      if (auto e = needArgs(0, 1, "close [PART]")) return e;
      std::string path = w.size() > 1 ? w[1] : "main";
      withPart(out, n, path, [](const WindowRef& p) { PostAppEvent(ev::kClose, Value(), Value(), Value(p)); });
      return std::nullopt;
    }
    if (cmd == "activate" || cmd == "deactivate") {
      if (auto e = needArgs(0, 1, (cmd + " [PART]").c_str())) return e;
      std::string path = w.size() > 1 ? w[1] : "main";
      bool on = cmd == "activate";
      withPart(out, n, path, [on](const WindowRef& p) {
        if (on) activateWindow(p->topLevel());
        else deactivateWindow(p->topLevel());
      });
      return std::nullopt;
    }
    if (cmd == "focus") {
      if (auto e = needArgs(1, 1, "focus PART")) return e;
      withPart(out, n, w[1], [](const WindowRef& p) { SetAppFocus(Value(p)); });
      return std::nullopt;
    }
    if (cmd == "menu") {
      if (auto e = needArgs(1, 1, "menu N")) return e;
      int item = 0;
      if (!parseInt(w[1], item)) return error(n, "menu: '" + w[1] + "' is not an item number");
      out.push_back({n,
                     [b, at, item] {
                       auto m = std::dynamic_pointer_cast<XbpMenu>(inputCapture());
                       if (!m) b->fail(at + ": menu: no menu is open");
                       else PostAppEvent(ev::kMenuSelect, Value(item), Value(), Value(m));
                     },
                     std::nullopt});
      return std::nullopt;
    }
    if (cmd == "idle") {
      // Steps are taken only when the queue is empty, so this is a point to read, not an action.
      if (auto e = needArgs(0, 0, "idle")) return e;
      return std::nullopt;
    }
    if (cmd == "wait") {
      if (auto e = needArgs(1, 1, "wait SECONDS")) return e;
      double s = 0;
      if (!parseNum(w[1], s) || s < 0) return error(n, "wait: '" + w[1] + "' is not a number of seconds");
      out.push_back({n, [b, s] { b->clock_ += s; }, std::nullopt});
      return std::nullopt;
    }
    if (cmd == "screenshot") {
      if (auto e = needArgs(1, 2, "screenshot FILE [PART]")) return e;
      std::string file = unquote(w[1]);
      std::string path = w.size() > 2 ? w[2] : "top";
      withPart(out, n, path, [b, at, file](const WindowRef& p) {
        if (!b->screenshotWriter()) {
          b->fail(at + ": screenshot: not available (no renderer in this program)");
          return;
        }
        std::string err = b->screenshotWriter()(*p->topLevel(), file);
        if (!err.empty()) b->fail(at + ": screenshot " + file + ": " + err);
      });
      return std::nullopt;
    }
    if (cmd == "expect-text") {
      if (w.size() < 2) return error(n, "usage: expect-text PART TEXT");
      std::string want = cp(unquote(restAfter(line, 1)));
      withPart(out, n, w[1], [b, at, want](const WindowRef& p) {
        std::string got = shownText(*p);
        if (got != want) b->fail(at + ": expect-text: " + p->describe() + " shows '" + got + "', expected '" + want + "'");
      });
      return std::nullopt;
    }
    if (cmd == "expect-geometry") {
      if (auto e = needArgs(5, 5, "expect-geometry PART X Y WIDTH HEIGHT")) return e;
      double v[4];
      for (size_t i = 0; i < 4; ++i)
        if (!parseNum(w[i + 2], v[i])) return error(n, "expect-geometry: '" + w[i + 2] + "' is not a number");
      withPart(out, n, w[1], [b, at, x = v[0], y = v[1], wd = v[2], ht = v[3]](const WindowRef& p) {
        Point pos = p->pos();
        Size size = p->size();
        if (pos.x != x || pos.y != y || size.w != wd || size.h != ht) {
          auto num = [](double d) { return std::to_string(d).substr(0, std::to_string(d).find('.')); };
          b->fail(at + ": expect-geometry: " + p->describe() + " is at (" + num(pos.x) + ", " + num(pos.y) +
                  ") with size " + num(size.w) + " x " + num(size.h) + ", expected (" + num(x) + ", " +
                  num(y) + ") with size " + num(wd) + " x " + num(ht));
        }
      });
      return std::nullopt;
    }
    if (cmd == "expect-focus") {
      if (auto e = needArgs(1, 1, "expect-focus PART")) return e;
      withPart(out, n, w[1], [b, at](const WindowRef& p) {
        auto f = focusHolder();
        if (f != p) b->fail(at + ": expect-focus: the focus is on " + (f ? f->describe() : std::string("no part")) +
                            ", expected " + p->describe());
      });
      return std::nullopt;
    }
    if (cmd == "expect-dialog") {
      if (w.size() < 2) return error(n, "usage: expect-dialog TEXT");
      std::string want = cp(unquote(restAfter(line, 0)));
      out.push_back({n,
                     [b, at, want] {
                       if (b->dialogs().empty()) {
                         b->fail(at + ": expect-dialog: no message box has been shown");
                       } else if (b->dialogs().back().info.text != want) {
                         b->fail(at + ": expect-dialog: the last message box said '" + b->dialogs().back().info.text +
                                 "', expected '" + want + "'");
                       }
                     },
                     std::nullopt});
      return std::nullopt;
    }
    if (cmd == "expect-tone") {
      if (auto e = needArgs(1, 1, "expect-tone FREQUENCY")) return e;
      double f = 0;
      if (!parseNum(w[1], f)) return error(n, "expect-tone: '" + w[1] + "' is not a number");
      out.push_back({n,
                     [b, at, f] {
                       if (b->tones().empty() || b->tones().back().frequency != f)
                         b->fail(at + ": expect-tone: no tone of " + std::to_string(f) + " Hz was the last one");
                     },
                     std::nullopt});
      return std::nullopt;
    }
    return error(n, "unknown command '" + cmd + "'");
  }

  HeadlessBackend& b_;
  std::string name_;
};

std::optional<ScriptError> HeadlessBackend::loadScript(std::string_view text, const std::string& name) {
  ScriptParser p(*this, name);
  return p.parse(text);
}

std::optional<ScriptError> HeadlessBackend::loadScriptFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return ScriptError{0, path + ": cannot open the script"};
  std::stringstream ss;
  ss << in.rdbuf();
  return loadScript(ss.str(), path);
}

}  // namespace xb::headless
