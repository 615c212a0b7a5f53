#include "render/picture.h"

#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/error.h"
#include "core/system.h"

namespace xb::render {

Picture::Picture(int width, int height) : width_(std::max(1, width)), height_(std::max(1, height)) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  clear({255, 255, 255});
}

Picture::~Picture() {
  if (surface_) cairo_surface_destroy(surface_);
}

Picture::Picture(Picture&& o) noexcept
    : surface_(o.surface_), width_(o.width_), height_(o.height_) {
  o.surface_ = nullptr;
}

Picture& Picture::operator=(Picture&& o) noexcept {
  if (this != &o) {
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = o.surface_;
    width_ = o.width_;
    height_ = o.height_;
    o.surface_ = nullptr;
  }
  return *this;
}

int Picture::stride() const { return cairo_image_surface_get_stride(surface_); }

const unsigned char* Picture::data() const {
  cairo_surface_flush(surface_);
  return cairo_image_surface_get_data(surface_);
}

unsigned char* Picture::data() {
  cairo_surface_flush(surface_);
  return cairo_image_surface_get_data(surface_);
}

cairo_t* Picture::context() const { return cairo_create(surface_); }

void Picture::clear(Rgb c) {
  cairo_t* cr = cairo_create(surface_);
  cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
}

void Picture::resize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == width_ && height == height_) return;
  Picture bigger(width, height);
  cairo_t* cr = cairo_create(bigger.surface_);
  cairo_set_source_surface(cr, surface_, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  *this = std::move(bigger);
}

uint32_t Picture::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const unsigned char* row = data() + static_cast<ptrdiff_t>(y) * stride();
  uint32_t v;
  std::memcpy(&v, row + x * 4, 4);
  return v & 0xFFFFFF;
}

namespace {
cairo_status_t writeTo(void* closure, const unsigned char* data, unsigned int length) {
  FILE* f = static_cast<FILE*>(closure);
  return std::fwrite(data, 1, length, f) == length ? CAIRO_STATUS_SUCCESS
                                                   : CAIRO_STATUS_WRITE_ERROR;
}

void raiseWriteError(const std::string& path, int err, const std::string& what) {
  ErrorRef e = makeError(gen::kCreate, "cannot write picture " + path + ": " + what, "writePng");
  e->fileName = path;
  e->osCode = osCodeOfErrno(err);
  e->canDefault = true;
  raiseError(e);
}
}  // namespace

bool Picture::writePng(const std::string& path, std::string& why) const {
  int err = 0;
  std::string what;
  if (writeFile(path, err, what)) return true;
  why = what;
  return false;
}

bool Picture::writePng(const std::string& path) const {
  int err = 0;
  std::string what;
  if (writeFile(path, err, what)) return true;
  raiseWriteError(path, err, what);
  return false;
}

bool Picture::writeFile(const std::string& path, int& err, std::string& what) const {
  cairo_surface_flush(surface_);
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) {
    err = errno;
    what = std::strerror(err);
    return false;
  }
  cairo_status_t st = cairo_surface_write_to_png_stream(surface_, writeTo, f);
  err = std::ferror(f) ? errno : 0;
  if (std::fclose(f) != 0 && !err) err = errno;
  if (st != CAIRO_STATUS_SUCCESS || err) {
    std::remove(tmp.c_str());
    if (!err) err = EIO;
    what = st != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(st) : std::strerror(err);
    return false;
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    err = errno;
    what = std::strerror(err);
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

std::optional<Picture> Picture::readPng(const std::string& path, std::string* why) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    if (why) *why = path + ": " + cairo_status_to_string(cairo_surface_status(s));
    cairo_surface_destroy(s);
    return std::nullopt;
  }
  Picture p(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
  cairo_t* cr = cairo_create(p.surface_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return p;
}

PictureDiff comparePictures(const Picture& a, const Picture& b, int tolerance) {
  PictureDiff d;
  if (a.width() != b.width() || a.height() != b.height()) {
    d.sizeDiffers = true;
    d.differing = static_cast<long>(std::max(a.width(), b.width())) *
                  std::max(a.height(), b.height());
    d.maxDelta = 255;
    return d;
  }
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      uint32_t p = a.pixel(x, y), q = b.pixel(x, y);
      int delta = 0;
      for (int sh = 0; sh < 24; sh += 8)
        delta = std::max(delta, std::abs(static_cast<int>((p >> sh) & 0xFF) -
                                         static_cast<int>((q >> sh) & 0xFF)));
      if (delta > tolerance) ++d.differing;
      d.maxDelta = std::max(d.maxDelta, delta);
    }
  return d;
}

}  // namespace xb::render
