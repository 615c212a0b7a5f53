// A picture: the pixels of a top-level window (opaque ARGB32, the layout SDL calls
// ARGB8888). Screenshots are pictures written as PNG.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "render/color.h"
#include "render/draw.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace xb::render {

class Picture {
 public:
  Picture(int width, int height);
  ~Picture();
  Picture(Picture&& o) noexcept;
  Picture& operator=(Picture&& o) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const;
  const unsigned char* data() const;
  unsigned char* data();
  cairo_surface_t* surface() const { return surface_; }
  // A fresh Cairo context on the picture (destroy it with cairo_destroy).
  cairo_t* context() const;
  // Changes the size; the content is kept where it fits, the rest is white.
  void resize(int width, int height);
  // Pixel as 0xRRGGBB.
  uint32_t pixel(int x, int y) const;
  void clear(Rgb colour);

  // Writes the picture as PNG, all or nothing (a temporary file renamed into place). A
  // failure raises a run-time error (create error with the system's code) and returns false.
  bool writePng(const std::string& path) const;
  // The same without raising: false with the reason in `why`.
  bool writePng(const std::string& path, std::string& why) const;
  // Reads a PNG; nullopt (with the reason) when the file is missing or not a PNG.
  static std::optional<Picture> readPng(const std::string& path, std::string* why = nullptr);

 private:
  bool writeFile(const std::string& path, int& err, std::string& what) const;
  cairo_surface_t* surface_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Pixels whose colour differs in any channel by more than `tolerance`; a size difference
// counts every pixel.
struct PictureDiff {
  long differing = 0;
  int maxDelta = 0;
  bool sizeDiffers = false;
};
PictureDiff comparePictures(const Picture& a, const Picture& b, int tolerance);

}  // namespace xb::render
