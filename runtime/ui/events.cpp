#include "ui/events.h"

#include <algorithm>
#include <deque>
#include <map>

#include "core/error.h"
#include "core/text.h"
#include <cstdio>
#include "ui/backend.h"
#include "ui/dialog.h"
#include "ui/keys.h"
#include "ui/listbox.h"
#include "ui/menu.h"
#include "ui/parts.h"
#include "ui/presspace.h"
#include "ui/sle.h"

namespace xb {

// The desktop: the root of the part tree.
class XbpDesktop : public XbpIWindow {
  XB_CLASS()
 public:
  XbpDesktop() {
    status_ = PartStatus::created;
    visible_ = true;
  }
  void resizeTo(Size s) { size_ = s; }
  Value destroy() override {
    return uiError(gen::kUnsupported, "XbpDesktop:destroy: the desktop cannot be destroyed", "destroy");
  }
};

const ClassDesc& XbpDesktop::staticClass() {
  static const ClassDesc d("XbpDesktop", &XbpIWindow::staticClass());
  return d;
}

namespace {

struct QueuedEvent {
  int code = 0;
  Value mp1, mp2;
  WeakWindow target;
  bool hasTarget = false;
  const ClassDesc* targetClass = nullptr;  // for the message when the target is gone
};

struct UiState {
  std::deque<QueuedEvent> queue;
  WeakWindow focus;
  int lastCode = 0;
  Value lastMp1, lastMp2, lastTarget;
  std::map<int, Value> appEvents;
  WeakWindow appWindow;
  std::shared_ptr<XbpDesktop> desktop;
  WeakWindow active;
  std::vector<WeakWindow> capture;
  WeakWindow modal;
  WeakWindow mouseOwner;
  std::vector<std::string> diags;
  std::function<void(const std::string&)> diagHook;
};

UiState& ui() {
  static UiState s;
  return s;
}

bool alive(const WindowRef& w) { return w && !w->isDestroyed(); }

WindowRef live(const WeakWindow& w) {
  auto p = w.lock();
  return alive(p) ? p : nullptr;
}

std::string eventName(int code) {
  switch (code) {
    case ev::kKeyboard: return "keyboard";
    case ev::kLbDown: return "lbDown";
    case ev::kLbUp: return "lbUp";
    case ev::kLbClick: return "lbClick";
    case ev::kLbDblClick: return "lbDblClick";
    case ev::kRbDown: return "rbDown";
    case ev::kRbUp: return "rbUp";
    case ev::kSetInputFocus: return "setInputFocus";
    case ev::kKillInputFocus: return "killInputFocus";
    case ev::kSetDisplayFocus: return "setDisplayFocus";
    case ev::kKillDisplayFocus: return "killDisplayFocus";
    case ev::kItemMarked: return "itemMarked";
    case ev::kItemSelected: return "itemSelected";
    case ev::kActivate: return "activate";
    case ev::kClose: return "close";
    default: return std::to_string(code);
  }
}

// Drops events at the front whose target has gone, each with a diagnostic.
void dropDeadFront() {
  auto& q = ui().queue;
  while (!q.empty() && q.front().hasTarget && !live(q.front().target)) {
    uiDiagnostic("event " + eventName(q.front().code) + " dropped: its target " +
                 (q.front().targetClass ? q.front().targetClass->name() : std::string("part")) +
                 " has been destroyed");
    q.pop_front();
  }
}

void push(int code, const Value& mp1, const Value& mp2, const WindowRef& target) {
  QueuedEvent e;
  e.code = code;
  e.mp1 = mp1;
  e.mp2 = mp2;
  if (target) {
    e.target = target;
    e.hasTarget = true;
    e.targetClass = &target->classDesc();
  }
  ui().queue.push_back(std::move(e));
}

}  // namespace

// ---- diagnostics ----

const std::vector<std::string>& uiDiagnostics() { return ui().diags; }

void uiDiagnostic(const std::string& text) {
  auto& d = ui().diags;
  if (d.size() >= 1000) d.erase(d.begin(), d.begin() + 500);
  d.push_back(text);
  if (ui().diagHook) ui().diagHook(text);
  else std::fprintf(stderr, "xbrt ui: %s\n", cpToUtf8(text).c_str());
}

void setUiDiagnosticHook(std::function<void(const std::string&)> hook) { ui().diagHook = std::move(hook); }

// ---- queue ----

int AppEvent(Value& mp1, Value& mp2, Value& target, double timeoutSeconds) {
  auto& s = ui();
  for (;;) {
    dropDeadFront();
    if (!s.queue.empty()) {
      QueuedEvent e = std::move(s.queue.front());
      s.queue.pop_front();
      mp1 = e.mp1;
      mp2 = e.mp2;
      target = e.hasTarget ? Value(e.target.lock()) : Value();
      s.lastCode = e.code;
      s.lastMp1 = mp1;
      s.lastMp2 = mp2;
      s.lastTarget = target;
      return e.code;
    }
    switch (backend().waitInput(timeoutSeconds)) {
      case Backend::Input::got: break;
      case Backend::Input::timeout:
        mp1 = mp2 = target = Value();
        return ev::kNone;
      case Backend::Input::exhausted:
        uiDiagnostic("AppEvent: no more input from the " + backend().name() +
                     " backend; the application ends");
        QUIT();
    }
  }
}

int NextAppEvent() {
  dropDeadFront();
  return ui().queue.empty() ? ev::kNone : ui().queue.front().code;
}

int NextAppEvent(Value& mp1, Value& mp2, Value& target) {
  dropDeadFront();
  if (ui().queue.empty()) {
    mp1 = mp2 = target = Value();
    return ev::kNone;
  }
  auto& e = ui().queue.front();
  mp1 = e.mp1;
  mp2 = e.mp2;
  target = e.hasTarget ? Value(e.target.lock()) : Value();
  return e.code;
}

int LastAppEvent() { return ui().lastCode; }

int LastAppEvent(Value& mp1, Value& mp2, Value& target) {
  mp1 = ui().lastMp1;
  mp2 = ui().lastMp2;
  target = ui().lastTarget;
  return ui().lastCode;
}

bool PostAppEvent(int code, const Value& mp1, const Value& mp2, const Value& target) {
  WindowRef t;
  if (target.isNil()) {
    t = live(ui().appWindow);
  } else {
    t = windowOf(target);
    if (!t) {
      uiError(gen::kArgument, "PostAppEvent: the target of event " + std::to_string(code) +
                                  " is not a window part (" + ValType(target) + ")",
              "PostAppEvent");
      return false;
    }
    if (t->isDestroyed()) {
      uiError(gen::kNotTarget, "PostAppEvent: event " + std::to_string(code) + " for " +
                                   t->describe() + ", which has been destroyed",
              "PostAppEvent");
      return false;
    }
  }
  push(code, mp1, mp2, t);
  return true;
}

size_t queuedEventCount() { return ui().queue.size(); }

int dispatchQueuedEvents() {
  int n = 0;
  while (NextAppEvent() != ev::kNone) {
    Value a, b, t;
    int code = AppEvent(a, b, t);
    if (auto w = windowOf(t)) w->handleEvent(code, a, b);
    ++n;
  }
  return n;
}

// ---- focus ----

WindowRef focusHolder() { return live(ui().focus); }

Value SetAppFocus() {
  auto f = focusHolder();
  return f ? Value(f) : Value();
}

Value SetAppFocus(const Value& part) {
  if (part.isNil()) return SetAppFocus();
  auto p = windowOf(part);
  Value old = SetAppFocus();
  if (!p)
    return uiError(gen::kArgument, "SetAppFocus: the argument is not a window part (" + ValType(part) + ")",
                   "SetAppFocus", old);
  if (p->isDestroyed())
    return uiError(gen::kDestroyed, "SetAppFocus: " + p->describe() + " has been destroyed",
                   "SetAppFocus", old);
  if (!p->isCreated())
    return uiError(gen::kNoParent, "SetAppFocus: " + p->describe() + " has not been created",
                   "SetAppFocus", old);
  auto prev = focusHolder();
  if (prev == p) return old;
  ui().focus = p;
  if (prev) push(ev::kKillInputFocus, Value(), Value(), prev);
  push(ev::kSetInputFocus, Value(), Value(), p);
  return old;
}

// ---- key table ----

Value SetAppEvent(const Value& key) {
  if (!key.isNum()) return uiError(gen::kArgument, "SetAppEvent: the key must be a number", "SetAppEvent");
  auto it = ui().appEvents.find(static_cast<int>(key.num()));
  return it == ui().appEvents.end() ? Value() : it->second;
}

Value SetAppEvent(const Value& key, const Value& block) {
  if (!key.isNum()) return uiError(gen::kArgument, "SetAppEvent: the key must be a number", "SetAppEvent");
  if (!block.isNil() && !block.isBlock())
    return uiError(gen::kArgument, "SetAppEvent: the action must be a code block or NIL", "SetAppEvent");
  Value old = SetAppEvent(key);
  int k = static_cast<int>(key.num());
  if (block.isNil()) ui().appEvents.erase(k);
  else ui().appEvents[k] = block;
  return old;
}

// ---- desktop and application window ----

void registerUiClasses() {
  static const bool done = [] {
    for (const ClassDesc* c :
         {&XbpWindow::staticClass(), &XbpIWindow::staticClass(), &XbpDesktop::staticClass(),
          &XbpDialog::staticClass(), &XbpCrt::staticClass(), &RootCrt::staticClass(), &XbpEditBase::staticClass(),
          &XbpSle::staticClass(), &XbpMle::staticClass(), &XbpStatic::staticClass(), &XbpPushButton::staticClass(),
          &XbpTabPage::staticClass(), &XbpScrollBar::staticClass(), &XbpListBox::staticClass(),
          &XbpComboBox::staticClass(), &XbpMenu::staticClass(), &XbpClipboard::staticClass(),
          &XbpPresSpace::staticClass()})
      (void)c;
    return true;
  }();
  (void)done;
}

WindowRef AppDesktop() {
  auto& d = ui().desktop;
  if (!d) {
    registerUiClasses();
    d = std::make_shared<XbpDesktop>();
    d->resizeTo(backend().screenSize());
  }
  return d;
}

Value SetAppWindow() {
  auto w = live(ui().appWindow);
  return w ? Value(w) : Value();
}

Value SetAppWindow(const Value& part) {
  Value old = SetAppWindow();
  if (part.isNil()) return old;
  auto p = windowOf(part);
  if (!p) return uiError(gen::kArgument, "SetAppWindow: the argument is not a window part", "SetAppWindow", old);
  ui().appWindow = p;
  return old;
}

// ---- activation, capture, modality ----

WindowRef activeWindow() { return live(ui().active); }

void activateWindow(const WindowRef& top) {
  if (!alive(top)) return;
  auto prev = activeWindow();
  if (prev == top) return;
  ui().active = top;
  if (prev) push(ev::kKillDisplayFocus, Value(), Value(), prev);
  push(ev::kSetDisplayFocus, Value(), Value(), top);
}

void deactivateWindow(const WindowRef& top) {
  if (activeWindow() != top || !top) return;
  ui().active.reset();
  push(ev::kKillDisplayFocus, Value(), Value(), top);
}

void pushInputCapture(const WindowRef& part) { ui().capture.push_back(part); }

void popInputCapture(const WindowRef& part) {
  auto& c = ui().capture;
  for (auto it = c.rbegin(); it != c.rend(); ++it) {
    if (it->lock() == part) {
      c.erase(std::next(it).base());
      return;
    }
  }
}

WindowRef inputCapture() {
  auto& c = ui().capture;
  while (!c.empty() && !live(c.back())) c.pop_back();
  return c.empty() ? nullptr : c.back().lock();
}

WindowRef modalWindow() { return live(ui().modal); }

void setModalWindow(const WindowRef& w, bool modal) {
  if (modal) ui().modal = w;
  else if (modalWindow() == w) ui().modal.reset();
}

// ---- input translation ----

bool postKeyInput(int keyCode) {
  WindowRef t = inputCapture();
  if (!t) t = focusHolder();
  if (!t) t = live(ui().appWindow);
  if (!t) t = activeWindow();
  if (!t) {
    uiDiagnostic("key " + key::nameOfCode(keyCode) + " dropped: no part has the input focus");
    return false;
  }
  push(ev::kKeyboard, Value(keyCode), Value(), t);
  return true;
}

WindowRef partAt(Point desktop) { return AppDesktop()->hitTest(desktop); }

namespace {
bool inside(const WindowRef& part, const WindowRef& root) {
  for (auto p = part; p; p = p->parent())
    if (p == root) return true;
  return false;
}
}  // namespace

bool postMouseInput(MouseAction action, MouseButton button, Point desktop) {
  WindowRef target;
  auto owner = live(ui().mouseOwner);
  if (owner && (action == MouseAction::up || action == MouseAction::motion)) target = owner;
  else target = partAt(desktop);
  auto capture = inputCapture();
  if (capture && !inside(target, capture)) target = capture;  // the capture decides about outside clicks
  if (!target || target == AppDesktop()) {
    if (action != MouseAction::motion)
      uiDiagnostic("mouse at (" + std::to_string(desktop.x) + ", " + std::to_string(desktop.y) +
                   ") dropped: no part there");
    return false;
  }
  auto modal = modalWindow();
  if (modal && !capture && target->topLevel() != modal) {
    if (action != MouseAction::motion)
      uiDiagnostic("mouse input for " + target->describe() + " refused: " + modal->describe() + " is modal");
    return false;
  }
  if (!target->isEnabled() && action != MouseAction::up) {
    if (action != MouseAction::motion)
      uiDiagnostic("mouse input for " + target->describe() + " ignored: the part is disabled");
    return false;
  }
  Point local = target->toLocal(desktop);
  Value pos = pointValue(local.x, local.y);
  bool left = button == MouseButton::left, right = button == MouseButton::right;
  switch (action) {
    case MouseAction::down:
      if (left && !capture) {
        auto top = target->topLevel();
        if (top && top != AppDesktop()) activateWindow(top);
        if (auto f = target->focusTargetOnClick()) SetAppFocus(Value(f));
      }
      ui().mouseOwner = target;
      push(left ? ev::kLbDown : right ? ev::kRbDown : ev::kMbDown, pos, Value(), target);
      break;
    case MouseAction::up: {
      ui().mouseOwner.reset();
      push(left ? ev::kLbUp : right ? ev::kRbUp : ev::kMbUp, pos, Value(), target);
      Size sz = target->size();
      if (Rect{0, 0, sz.w, sz.h}.contains(local))
        push(left ? ev::kLbClick : right ? ev::kRbClick : ev::kMbClick, pos, Value(), target);
      break;
    }
    case MouseAction::dblClick:
      ui().mouseOwner = target;
      push(left ? ev::kLbDblClick : right ? ev::kRbDblClick : ev::kMbClick, pos, Value(), target);
      break;
    case MouseAction::motion:
      push(ev::kMotion, pos, Value(), target);
      break;
  }
  return true;
}

// ---- reset ----

void resetUiForTesting() {
  auto& s = ui();
  s.queue.clear();
  auto desk = AppDesktop();
  auto tops = desk->children();
  for (auto& t : tops)
    if (!t->isDestroyed()) t->destroy();
  s.queue.clear();
  s.focus.reset();
  s.lastCode = 0;
  s.lastMp1 = s.lastMp2 = s.lastTarget = Value();
  s.appEvents.clear();
  s.appWindow.reset();
  s.active.reset();
  s.capture.clear();
  s.modal.reset();
  s.mouseOwner.reset();
  s.diags.clear();
  s.diagHook = nullptr;
  std::static_pointer_cast<XbpDesktop>(desk)->resizeTo(backend().screenSize());
}

}  // namespace xb
