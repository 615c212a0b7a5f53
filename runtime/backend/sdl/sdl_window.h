// One SDL window: shows a picture by copying changed rectangles into the window's own
// framebuffer (no GL, no texture: framebuffer acceleration is off).
#pragma once
#include <SDL2/SDL_video.h>

#include <string>
#include <vector>

#include "render/picture.h"

namespace xb::sdl {

class SdlWindow {
 public:
  enum class Kind { dialog, popup };
  // Screen position is top-left based. The title is CP850.
  SdlWindow(Kind kind, const std::string& title, int x, int y, int w, int h);
  ~SdlWindow();
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool ok() const { return win_ != nullptr; }
  const std::string& error() const { return error_; }
  Uint32 id() const;
  SDL_Window* handle() const { return win_; }
  bool shown() const { return shown_; }

  void show();
  void hide();
  void raise();
  void setTitle(const std::string& cp850);
  void setGeometry(int x, int y, int w, int h);

  // Copies the rectangles (picture coordinates) to the screen; an empty list copies all.
  void present(const render::Picture& pic, const std::vector<render::Rect>& rects);

 private:
  SDL_Window* win_ = nullptr;
  std::string error_;
  bool shown_ = false;
  int w_ = 0, h_ = 0;
};

}  // namespace xb::sdl
