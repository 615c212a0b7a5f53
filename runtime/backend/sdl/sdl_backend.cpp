#include "backend/sdl/sdl_backend.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "backend/sdl/keymap.h"
#include "backend/sdl/sdl_system.h"
#include "backend/sdl/sdl_window.h"
#include "render/scene.h"
#include "render/text_engine.h"
#include "ui/dialog.h"
#include "ui/events.h"
#include "ui/keys.h"

namespace xb {
namespace {

// Text measured as it is drawn, so a click finds the character under it.
class PangoTextMetrics : public TextMetrics {
 public:
  double textWidth(const XbpWindow& part, std::string_view cp850) const override {
    return render::pangoMetrics().textWidth(render::fontOf(part), std::string(cp850));
  }
  double lineHeight(const XbpWindow& part) const override {
    return render::pangoMetrics().lineHeight(render::fontOf(part));
  }
};

struct Geometry {
  int x, y, w, h;
};

class SdlBackend : public Backend {
 public:
  SdlBackend() { SDL_StartTextInput(); }
  ~SdlBackend() override {
    wins_.clear();
    sdl::stopVideo();
  }

  std::string name() const override { return "sdl"; }

  Input waitInput(double timeoutSeconds) override {
    const Uint64 start = SDL_GetTicks64();
    for (;;) {
      flush();
      int waitMs = -1;  // no time limit
      if (timeoutSeconds >= 0) {
        double left = timeoutSeconds * 1000 - static_cast<double>(SDL_GetTicks64() - start);
        waitMs = left > 0 ? static_cast<int>(std::ceil(left)) : 0;
      }
      SDL_Event e;
      int got = waitMs < 0    ? SDL_WaitEvent(&e)
                : waitMs == 0 ? SDL_PollEvent(&e)  // a zero timeout still takes what is there
                              : SDL_WaitEventTimeout(&e, waitMs);
      if (got) {
        bool posted = handle(e);
        while (SDL_PollEvent(&e)) posted = handle(e) || posted;
        if (posted) return Input::got;
      }
      if (waitMs >= 0 && static_cast<double>(SDL_GetTicks64() - start) >= timeoutSeconds * 1000)
        return Input::timeout;
    }
  }

  std::optional<std::string> clipboardText() override {
    std::string why;
    auto t = sdl::clipboardText(&why);
    if (!t && why.find("code page") != std::string::npos)
      std::fprintf(stderr, "clipboard: %s; nothing is pasted\n", why.c_str());
    return t;
  }
  void setClipboardText(const std::string& cp850) override { sdl::setClipboardText(cp850); }
  void clearClipboard() override { SDL_SetClipboardText(""); }

  void tone(double frequency, double seconds) override {
    ++tones_;
    sdl::playTone(frequency, seconds * 1000);
  }

  void topLevelShown(XbpWindow& top) override {
    Win* w = find(top);
    if (!w) {
      wins_.push_back(std::make_unique<Win>());
      w = wins_.back().get();
      w->part = top.selfRef();
      w->scene = std::make_unique<render::WindowScene>(top.selfRef(), false);
      Geometry g = geometryOf(*w);
      bool popup = top.isDerivedFrom("XbpMenu");
      w->win = std::make_unique<sdl::SdlWindow>(
          popup ? sdl::SdlWindow::Kind::popup : sdl::SdlWindow::Kind::dialog, titleOf(top), g.x,
          g.y, g.w, g.h);
      if (!w->win->ok()) {
        std::fprintf(stderr, "window: cannot open a window for %s: %s\n", top.describe().c_str(),
                     w->win->error().c_str());
        wins_.pop_back();
        return;
      }
    }
    w->scene->invalidateAll();
    Geometry g = geometryOf(*w);
    w->win->setGeometry(g.x, g.y, g.w, g.h);
    w->shown = {g.x, g.y, g.w, g.h};
    if (SDL_GetKeyboardFocus() != w->win->handle()) w->focusBefore = SDL_GetKeyboardFocus();
    w->win->show();
    w->exposed = true;
    if (auto* d = dynamic_cast<XbpDialog*>(&top); d && d->frameState() == frame::kMinimized)
      SDL_MinimizeWindow(w->win->handle());
  }

  void topLevelHidden(XbpWindow& top) override {
    Win* w = find(top);
    if (!w) return;
    w->win->hide();
    restoreFocus(*w);
  }


  void topLevelChanged(XbpWindow& top) override {
    Win* w = find(top);
    if (!w) return;
    Geometry g = geometryOf(*w);
    w->win->setGeometry(g.x, g.y, g.w, g.h);
    w->shown = {g.x, g.y, g.w, g.h};
    w->win->setTitle(titleOf(top));
    if (auto* d = dynamic_cast<XbpDialog*>(&top)) {
      Uint32 flags = SDL_GetWindowFlags(w->win->handle());
      if (d->frameState() == frame::kMinimized && !(flags & SDL_WINDOW_MINIMIZED))
        SDL_MinimizeWindow(w->win->handle());
      else if (d->frameState() != frame::kMinimized && (flags & SDL_WINDOW_MINIMIZED))
        SDL_RestoreWindow(w->win->handle());
    }
    w->scene->invalidateAll();
  }

  void topLevelDestroyed(XbpWindow& top) override {
    if (Win* w = find(top)) restoreFocus(*w);
    wins_.erase(std::remove_if(wins_.begin(), wins_.end(),
                               [&](const auto& w) { return w->part.lock().get() == &top || w->part.expired(); }),
                wins_.end());
  }

  void invalidate(XbpWindow& part) override {
    WindowRef top = part.topLevel();
    if (!top) return;
    if (Win* w = find(*top)) w->scene->invalidate(part);
  }

  std::optional<int> answerMessageBox(const MessageBoxInfo&) override { return std::nullopt; }

  double now() override {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }

  Size screenSize() const override {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) == 0) return {static_cast<double>(r.w), static_cast<double>(r.h)};
    return {1280, 1024};
  }

  const TextMetrics& metrics() const override { return metrics_; }

  // Redraws what changed and shows it.
  void flush() {
    for (auto& w : wins_) {
      if (w->part.expired() || !w->win->shown()) continue;
      Geometry g = geometryOf(*w);
      if (g.w != w->shown.w || g.h != w->shown.h || g.x != w->shown.x || g.y != w->shown.y) {
        // The dialog laid out its drawing area after it was shown, or it moved.
        w->win->setGeometry(g.x, g.y, g.w, g.h);
        w->shown = {g.x, g.y, g.w, g.h};
        w->exposed = true;
      }
      std::vector<render::Rect> rects = w->scene->update();
      if (w->exposed) {
        rects.clear();  // everything
        w->win->present(w->scene->picture(), rects);
        w->exposed = false;
        firstFrame();
      } else if (!rects.empty()) {
        w->win->present(w->scene->picture(), rects);
      }
    }
  }

  bool writePicture(const WindowRef& top, const std::string& path) {
    Win* w = top ? find(*top) : nullptr;
    if (!w) return render::writeWindowPng(top, path, true);
    flush();  // what is written is what the window shows
    return w->scene->picture().writePng(path);
  }

 private:
  struct Win {
    std::weak_ptr<XbpWindow> part;
    std::unique_ptr<render::WindowScene> scene;
    std::unique_ptr<sdl::SdlWindow> win;
    bool exposed = false;
    SDL_Window* focusBefore = nullptr;  // the window that had the keyboard when it opened
    struct {
      int x = 0, y = 0, w = 0, h = 0;
    } shown;
  };

  // A closed popup menu or message box gives the keyboard back to the window it was
  // opened over (there may be no window manager to do it).
  void restoreFocus(Win& w) {
    if (!w.focusBefore) return;
    for (auto& o : wins_)
      if (o.get() != &w && o->win->handle() == w.focusBefore && o->win->shown())
        SDL_SetWindowInputFocus(o->win->handle());
    w.focusBefore = nullptr;
  }

  Win* find(const XbpWindow& top) {
    for (auto& w : wins_)
      if (w->part.lock().get() == &top) return w.get();
    return nullptr;
  }
  Win* findById(Uint32 id) {
    for (auto& w : wins_)
      if (w->win->id() == id) return w.get();
    return nullptr;
  }

  static std::string titleOf(XbpWindow& top) {
    if (auto* d = dynamic_cast<XbpDialog*>(&top)) return d->title();
    return {};
  }

  // The window shows the root of the scene (a dialog's drawing area); desktop positions
  // have their origin at the lower-left corner of the screen.
  Geometry geometryOf(Win& w) {
    WindowRef root = w.scene->root();
    if (!root) return {0, 0, 1, 1};
    xb::Rect a = root->absoluteRect();
    Size s = screenSize();
    return {static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(s.h - (a.y + a.h))),
            static_cast<int>(std::lround(a.w)), static_cast<int>(std::lround(a.h))};
  }

  static WindowRef dialogOf(Win& w) { return w.part.lock(); }

  // Closing a window: while a modal window runs, only that one may be closed.
  bool requestClose(Win& w) {
    WindowRef top = dialogOf(w);
    if (!top) return false;
    WindowRef modal = modalWindow();
    if (modal && modal != top) {
      if (Win* m = find(*modal)) m->win->raise();
      tone(440, 0.1);
      return false;
    }
    return PostAppEvent(ev::kClose, {}, {}, Value(top));
  }

  bool handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_KEYDOWN: {
        swallowText_ = false;
        int code = sdl::keyCodeOf(e.key.keysym.sym, e.key.keysym.mod);
        if (!code) return false;
        swallowText_ = sdl::swallowsText(e.key.keysym.sym, e.key.keysym.mod);
        if (code == key::kAltF4) {
          // Without a window manager Alt+F4 arrives as a key; it means closing all the same.
          Win* w = findById(e.key.windowID);
          if (w && w->part.lock() && w->part.lock()->isDerivedFrom("XbpMenu")) w = nullptr;
          if (!w) {
            WindowRef act = activeWindow();
            w = act ? find(*act) : nullptr;
          }
          return w && requestClose(*w);
        }
        return postKeyInput(code);
      }
      case SDL_TEXTINPUT: {
        if (swallowText_) {
          swallowText_ = false;
          return false;
        }
        int refused = 0;
        std::string cp = sdl::textToCp850(e.text.text, refused);
        bool posted = false;
        for (unsigned char c : cp) posted = postKeyInput(c) || posted;
        if (refused) tone(1000, 0.1);  // a character this code page cannot hold is not typed
        return posted;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        Win* w = findById(e.button.windowID);
        if (!w) return false;
        MouseButton b = e.button.button == SDL_BUTTON_RIGHT    ? MouseButton::right
                         : e.button.button == SDL_BUTTON_MIDDLE ? MouseButton::middle
                                                                : MouseButton::left;
        Point p = w->scene->toDesktop(e.button.x, e.button.y);
        if (e.type == SDL_MOUSEBUTTONUP) return postMouseInput(MouseAction::up, b, p);
        bool posted = postMouseInput(MouseAction::down, b, p);
        if (e.button.clicks == 2) posted = postMouseInput(MouseAction::dblClick, b, p) || posted;
        return posted;
      }
      case SDL_MOUSEMOTION: {
        Win* w = findById(e.motion.windowID);
        if (!w) return false;
        MouseButton b = (e.motion.state & SDL_BUTTON_RMASK) ? MouseButton::right : MouseButton::left;
        return postMouseInput(MouseAction::motion, b, w->scene->toDesktop(e.motion.x, e.motion.y));
      }
      case SDL_MOUSEWHEEL: {
        // To the part under the pointer: mp1 the point in the part, mp2 {keys, delta}
        // with 120 per notch, positive away from the user.
        Win* w = findById(e.wheel.windowID);
        if (!w || e.wheel.y == 0) return false;
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        Point p = w->scene->toDesktop(mx, my);
        WindowRef target = partAt(p);
        if (!target) return false;
        Point local = target->toLocal(p);
        int delta = (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y) * 120;
        return PostAppEvent(ev::kWheel, pointValue(local.x, local.y),
                            arrayValue({Value(0), Value(delta)}), Value(target));
      }
      case SDL_WINDOWEVENT: {
        Win* w = findById(e.window.windowID);
        if (!w) return false;
        WindowRef top = dialogOf(*w);
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            return requestClose(*w);
          case SDL_WINDOWEVENT_EXPOSED:
            w->exposed = true;
            return false;
          case SDL_WINDOWEVENT_MOVED: {
            // Moved by the window manager: the dialog follows, so popups open in the right
            // place. Nothing to do when it is where the dialog says.
            if (e.window.data1 == w->shown.x && e.window.data2 == w->shown.y) return false;
            WindowRef root = w->scene->root();
            if (!top || !root) return false;
            w->shown.x = e.window.data1;
            w->shown.y = e.window.data2;
            Point rootInTop{root->absoluteRect().x - top->absoluteRect().x,
                            root->absoluteRect().y - top->absoluteRect().y};
            double desktopY = screenSize().h - e.window.data2 - root->size().h;
            top->setPos(pointValue(e.window.data1 - rootInTop.x, desktopY - rootInTop.y));
            return false;
          }
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            // A popup menu takes the keyboard but is not a window that is activated.
            if (top && top->isDerivedFrom("XbpMenu")) return false;
            if (top && activeWindow() != top) {
              activateWindow(top);
              return true;
            }
            return false;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            if (top && top->isDerivedFrom("XbpMenu")) return false;
            if (top && activeWindow() == top) {
              deactivateWindow(top);
              return true;
            }
            return false;
          case SDL_WINDOWEVENT_MINIMIZED:
            if (auto* d = dynamic_cast<XbpDialog*>(top.get()); d && d->frameState() != frame::kMinimized) {
              d->setFrameState(Value(frame::kMinimized));
              return true;
            }
            return false;
          case SDL_WINDOWEVENT_RESTORED:
            if (auto* d = dynamic_cast<XbpDialog*>(top.get()); d && d->frameState() == frame::kMinimized) {
              d->setFrameState(Value(frame::kNormalized));
              return true;
            }
            return false;
          default:
            return false;
        }
      }
      default:
        return false;
    }
  }

  void firstFrame() {
    if (firstFrameDone_) return;
    firstFrameDone_ = true;
    // For the start-up measurement: the launcher passes the CLOCK_MONOTONIC time of exec.
    if (const char* t0 = std::getenv("XB_EXEC_NS")) {
      timespec ts;
      clock_gettime(CLOCK_MONOTONIC, &ts);
      double now = static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
      std::fprintf(stderr, "first-frame-ms %.2f\n", (now - std::strtod(t0, nullptr)) / 1e6);
    }
  }

  std::vector<std::unique_ptr<Win>> wins_;
  PangoTextMetrics metrics_;
  bool swallowText_ = false;
  bool firstFrameDone_ = false;
  int tones_ = 0;
};

}  // namespace

std::unique_ptr<Backend> makeSdlBackend(std::string& whyNot) {
  sdl::useComposeCache();  // before the font thread: it sets the environment
  // Fonts load on the second core while SDL talks to the display.
  render::TextEngine::prepareInBackground();
  if (!sdl::startVideo(whyNot)) return nullptr;
  return std::make_unique<SdlBackend>();
}

bool writeWindowPicture(const WindowRef& top, const std::string& path) {
  if (auto* s = dynamic_cast<SdlBackend*>(&backend())) return s->writePicture(top, path);
  return render::writeWindowPng(top, path, true);
}

}  // namespace xb
