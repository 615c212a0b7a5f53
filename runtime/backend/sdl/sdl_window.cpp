#include "backend/sdl/sdl_window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/text.h"

namespace xb::sdl {

SdlWindow::SdlWindow(Kind kind, const std::string& title, int x, int y, int w, int h)
    : w_(std::max(1, w)), h_(std::max(1, h)) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (kind == Kind::popup)
    flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR |
             SDL_WINDOW_ALWAYS_ON_TOP;
  win_ = SDL_CreateWindow(cpToUtf8(title).c_str(), x, y, w_, h_, flags);
  if (!win_) error_ = SDL_GetError();
}

SdlWindow::~SdlWindow() {
  if (win_) SDL_DestroyWindow(win_);
}

Uint32 SdlWindow::id() const { return win_ ? SDL_GetWindowID(win_) : 0; }

void SdlWindow::show() {
  if (!win_ || shown_) return;
  SDL_ShowWindow(win_);
  shown_ = true;
}

void SdlWindow::hide() {
  if (!win_ || !shown_) return;
  SDL_HideWindow(win_);
  shown_ = false;
}

void SdlWindow::raise() {
  if (win_) SDL_RaiseWindow(win_);
}

void SdlWindow::setTitle(const std::string& cp850) {
  if (win_) SDL_SetWindowTitle(win_, cpToUtf8(cp850).c_str());
}

void SdlWindow::setGeometry(int x, int y, int w, int h) {
  if (!win_) return;
  w = std::max(1, w);
  h = std::max(1, h);
  int cx, cy;
  SDL_GetWindowPosition(win_, &cx, &cy);
  if (cx != x || cy != y) SDL_SetWindowPosition(win_, x, y);
  if (w != w_ || h != h_) {
    SDL_SetWindowSize(win_, w, h);
    w_ = w;
    h_ = h;
  }
}

void SdlWindow::present(const render::Picture& pic, const std::vector<render::Rect>& rects) {
  if (!win_ || !shown_) return;
  SDL_Surface* s = SDL_GetWindowSurface(win_);
  if (!s) return;
  const int W = std::min(s->w, pic.width()), H = std::min(s->h, pic.height());
  std::vector<SDL_Rect> out;
  auto add = [&](const render::Rect& r) {
    int x0 = std::max(0, static_cast<int>(std::floor(r.x)));
    int y0 = std::max(0, static_cast<int>(std::floor(r.y)));
    int x1 = std::min(W, static_cast<int>(std::ceil(r.right())));
    int y1 = std::min(H, static_cast<int>(std::ceil(r.bottom())));
    if (x1 > x0 && y1 > y0) out.push_back({x0, y0, x1 - x0, y1 - y0});
  };
  if (rects.empty()) add({0, 0, static_cast<double>(W), static_cast<double>(H)});
  for (const auto& r : rects) add(r);
  if (out.empty()) return;
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  const unsigned char* src = pic.data();
  const int sp = pic.stride();
  auto* dst = static_cast<unsigned char*>(s->pixels);
  const bool same = s->format->format == SDL_PIXELFORMAT_RGB888 ||
                    s->format->format == SDL_PIXELFORMAT_ARGB8888;
  for (const SDL_Rect& r : out) {
    const unsigned char* sr = src + static_cast<ptrdiff_t>(r.y) * sp + r.x * 4;
    unsigned char* dr = dst + static_cast<ptrdiff_t>(r.y) * s->pitch +
                        r.x * s->format->BytesPerPixel;
    if (same) {
      for (int row = 0; row < r.h; ++row)
        std::memcpy(dr + static_cast<ptrdiff_t>(row) * s->pitch,
                    sr + static_cast<ptrdiff_t>(row) * sp, static_cast<size_t>(r.w) * 4);
    } else {
      SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_ARGB8888, sr, sp, s->format->format, dr,
                        s->pitch);
    }
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_UpdateWindowSurfaceRects(win_, out.data(), static_cast<int>(out.size()));
}

}  // namespace xb::sdl
