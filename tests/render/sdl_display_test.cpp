// Without a display the SDL backend is not made and says why in one line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "backend/sdl/sdl_backend.h"

namespace xb {
namespace {

class Env {
 public:
  explicit Env(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) old_ = v;
  }
  ~Env() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }
  void set(const char* v) { v ? setenv(name_, v, 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SdlDisplay, MissingDisplaySaysWhatToRunInstead) {
  Env display("DISPLAY"), wayland("WAYLAND_DISPLAY"), driver("SDL_VIDEODRIVER");
  struct Case {
    const char* display;
    const char* driver;
    const char* says;
  };
  const Case cases[] = {
      {nullptr, nullptr, "DISPLAY is not set"},
      {":4711", nullptr, "no display"},  // nothing listens there
      {":0", "dummy", "SDL_VIDEODRIVER=dummy"},
      {":0", "offscreen", "SDL_VIDEODRIVER=offscreen"},
  };
  for (const Case& c : cases) {
    display.set(c.display);
    wayland.set(nullptr);
    driver.set(c.driver);
    std::string why;
    std::unique_ptr<Backend> b = makeSdlBackend(why);
    EXPECT_FALSE(b) << c.says;
    EXPECT_NE(why.find(c.says), std::string::npos) << why;
    EXPECT_NE(why.find("--backend=headless"), std::string::npos) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos) << "one line: " << why;
  }
}

}  // namespace
}  // namespace xb
