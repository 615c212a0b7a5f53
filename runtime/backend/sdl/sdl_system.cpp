#include "backend/sdl/sdl_system.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backend/sdl/keymap.h"
#include "core/text.h"

namespace xb::sdl {
namespace {

bool envSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

SDL_AudioDeviceID gAudio = 0;
bool gAudioFailed = false;
int gAudioRate = 22050;

// A directory of ours that only we can write (Xlib ignores any other), made if missing.
bool privateDir(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
         !(st.st_mode & 022) && access(path.c_str(), W_OK) == 0;
}

}  // namespace

void useComposeCache() {
  // Xlib's local input method parses the locale's Compose file (5,700 sequences for
  // en_US.UTF-8) on every start unless it finds its own cache of the parsed table; it looks
  // for one only where XCOMPOSECACHE says or in ~/.compose-cache, and never as root.
  if (envSet("XCOMPOSECACHE") || !envSet("DISPLAY")) return;
  if (geteuid() == 0 || geteuid() != getuid() || getegid() != getgid()) return;
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return;
  struct stat st;
  if (stat((std::string(home) + "/.compose-cache").c_str(), &st) == 0) return;  // the user's own
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  std::string base = xdg && *xdg == '/' ? std::string(xdg) : std::string(home) + "/.cache";
  std::string dir = base + "/quorvel";
  if (mkdir(base.c_str(), 0700) != 0 && errno != EEXIST) return;
  if (!privateDir(dir) || !privateDir(dir + "/compose")) return;
  setenv("XCOMPOSECACHE", (dir + "/compose").c_str(), 1);
}

// Xlib ends the process on any protocol error unless a handler says otherwise. A window
// that is gone is no reason to: the clipboard answers a program that asked for its text
// with requests on that program's window, and the program may have quit before they
// arrive. Those are reported and dropped; other errors go on to the handler SDL set.
XErrorHandler gSdlXErrorHandler = nullptr;

int onXError(Display* display, XErrorEvent* e) {
  if (e->error_code == BadWindow) {
    std::fprintf(stderr, "x11: request %d on window 0x%lx, which no longer exists, ignored\n",
                 static_cast<int>(e->request_code), static_cast<unsigned long>(e->resourceid));
    return 0;
  }
  return gSdlXErrorHandler ? gSdlXErrorHandler(display, e) : 0;
}

bool startVideo(std::string& whyNot) {
  // Pictures are made by Cairo in memory: the software path with the native framebuffer
  // shows the first frame far sooner and with far less memory than a GL context.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_PING, "0");
  const char* forced = std::getenv("SDL_VIDEODRIVER");
  if (forced && (!std::strcmp(forced, "offscreen") || !std::strcmp(forced, "dummy"))) {
    whyNot = std::string("no display: SDL_VIDEODRIVER=") + forced +
             " selects no screen; unset it or run with --backend=headless";
    return false;
  }
  if (!forced && !envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY")) {
    whyNot = "no display: DISPLAY is not set; start the program in an X session (or under "
             "xvfb-run) or run it with --backend=headless";
    return false;
  }
  // Only the display that is named: SDL would otherwise go on to other drivers, each
  // with messages of its own, and end quietly offscreen.
  if (!forced) SDL_SetHint(SDL_HINT_VIDEODRIVER, envSet("DISPLAY") ? "x11" : "wayland");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    const char* d = std::getenv(envSet("DISPLAY") ? "DISPLAY" : "WAYLAND_DISPLAY");
    whyNot = std::string("no display: cannot open display \"") + (d ? d : "") + "\" (" +
             SDL_GetError() + "); check DISPLAY or run with --backend=headless";
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy") ||
      !std::strcmp(driver, "evdev")) {
    const char* d = std::getenv("DISPLAY");
    whyNot = std::string("no display: cannot open display \"") + (d ? d : "") +
             "\"; check DISPLAY or run with --backend=headless";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  if (!std::strcmp(driver, "x11")) {
    XErrorHandler previous = XSetErrorHandler(onXError);
    if (previous != onXError) gSdlXErrorHandler = previous;
  }
  SDL_StopTextInput();  // started per window when it gets the keyboard
  return true;
}

void stopVideo() {
  closeAudio();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::optional<std::string> clipboardText(std::string* why) {
  if (!SDL_HasClipboardText()) {
    if (why) *why = "the clipboard holds no text";
    return std::nullopt;
  }
  char* utf8 = SDL_GetClipboardText();
  if (!utf8 || !*utf8) {
    SDL_free(utf8);
    if (why) *why = "the clipboard holds no text";
    return std::nullopt;
  }
  std::string text(utf8);
  SDL_free(utf8);
  // Line ends stay as they are (CR LF or LF); everything else must exist in CP850.
  std::string out;
  int refused = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find_first_of("\r\n\t", start);
    std::string part = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    int r = 0;
    out += textToCp850(part.c_str(), r);
    refused += r;
    if (nl == std::string::npos) break;
    out.push_back(text[nl]);
    start = nl + 1;
  }
  if (refused) {
    if (why)
      *why = "the clipboard text has " + std::to_string(refused) +
             " character(s) that code page 850 cannot hold";
    return std::nullopt;
  }
  return out;
}

bool setClipboardText(const std::string& cp850) {
  return SDL_SetClipboardText(cpToUtf8(cp850).c_str()) == 0;
}

namespace {
// ALSA writes its own lines to stderr when there is no sound card; our one line says it.
extern "C" void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void silenceAlsa() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")))
    set(quietAlsa);
}
}  // namespace

bool playTone(double frequency, double milliseconds) {
  if (gAudioFailed) return false;
  if (!gAudio) {
    silenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      gAudioFailed = true;
      std::fprintf(stderr, "sound: no audio (%s); tones are silent\n", SDL_GetError());
      return false;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = gAudioRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 512;
    gAudio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!gAudio) {
      gAudioFailed = true;
      std::fprintf(stderr, "sound: no audio device (%s); tones are silent\n", SDL_GetError());
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    gAudioRate = have.freq;
    SDL_PauseAudioDevice(gAudio, 0);
  }
  double ms = std::clamp(milliseconds, 1.0, 5000.0);
  double f = std::clamp(frequency, 20.0, 20000.0);
  auto n = static_cast<size_t>(gAudioRate * ms / 1000.0);
  std::vector<Sint16> samples(n);
  size_t fade = std::min<size_t>(n / 4, static_cast<size_t>(gAudioRate / 200));
  for (size_t i = 0; i < n; ++i) {
    double v = std::sin(2 * M_PI * f * static_cast<double>(i) / gAudioRate) * 0.25;
    if (fade && i < fade) v *= static_cast<double>(i) / fade;
    if (fade && n - i <= fade) v *= static_cast<double>(n - i) / fade;
    samples[i] = static_cast<Sint16>(v * 32767);
  }
  return SDL_QueueAudio(gAudio, samples.data(), static_cast<Uint32>(n * sizeof(Sint16))) == 0;
}

void closeAudio() {
  if (gAudio) {
    SDL_CloseAudioDevice(gAudio);
    gAudio = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

}  // namespace xb::sdl
