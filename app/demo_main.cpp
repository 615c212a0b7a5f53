// The demonstration program. It shows its form in a real window when a display is there;
// `--backend headless --script FILE` runs it without one, driven by a script.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/application.h"
#include "backend/headless/headless.h"
#include "backend/sdl/sdl_backend.h"
#include "core/system.h"
#include "core/text.h"
#include "render/scene.h"
#include "ui/backend.h"

namespace {

int usage(const char* why) {
  std::fprintf(stderr,
               "demo: %s\nusage: demo [--backend sdl|headless] [--script FILE]\n"
               "  --backend sdl       a real window (the default when a display is there)\n"
               "  --backend headless  no display; input comes from the script\n",
               why);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string backendName, script;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    std::string value;
    bool hasValue = false;
    if (auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
      value = a.substr(eq + 1);  // --backend=headless
      a.resize(eq);
      hasValue = true;
    } else if (i + 1 < argc && (a == "--backend" || a == "--script")) {
      value = argv[++i];
      hasValue = true;
    }
    if (a == "--backend" || a == "--script") {
      if (!hasValue || value.empty()) return usage((a + " needs a value").c_str());
      (a == "--backend" ? backendName : script) = value;
    } else {
      return usage(("unknown argument: " + a).c_str());
    }
  }
  std::error_code ec;
  auto self = std::filesystem::canonical("/proc/self/exe", ec);
  xb::setAppName(ec ? std::string(argv[0]) : self.string());

  std::shared_ptr<xb::headless::HeadlessBackend> headless;
  if (backendName.empty()) backendName = script.empty() ? "sdl" : "headless";
  if (backendName == "headless") {
    headless = xb::headless::HeadlessBackend::install();
    headless->setScreenshotWriter(xb::render::screenshotTo);
    if (!script.empty()) {
      if (auto err = headless->loadScriptFile(script)) {
        std::fprintf(stderr, "demo: %s\n", xb::cpToUtf8(err->message).c_str());
        return 2;
      }
    }
  } else if (backendName == "sdl") {
    if (!script.empty()) return usage("--script needs --backend headless");
    std::string whyNot;
    auto sdl = xb::makeSdlBackend(whyNot);
    if (!sdl) {
      std::fprintf(stderr, "demo: %s\n", whyNot.c_str());
      return 2;
    }
    xb::setBackend(std::shared_ptr<xb::Backend>(std::move(sdl)));
  } else {
    return usage(("unknown backend: " + backendName).c_str());
  }

  int code = applicationEntry(applicationStartRecord());

  // A scripted run that did not go as its script expected must not look like a success.
  if (headless) {
    for (const auto& f : headless->failures())
      std::fprintf(stderr, "demo: %s\n", xb::cpToUtf8(f).c_str());
    if (!headless->failures().empty() && code == 0) code = 3;
  }
  xb::setBackend(nullptr);
  return code;
}
