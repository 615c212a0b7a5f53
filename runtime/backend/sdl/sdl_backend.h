// The SDL2 backend: one real window per top-level part (dialog, popup menu, message box),
// keyboard, text input, mouse, window events, the system clipboard and tones.
#pragma once
#include <memory>
#include <string>

#include "ui/backend.h"

namespace xb {

// An SDL backend, or null with one line saying why (no display, and what to run instead).
std::unique_ptr<Backend> makeSdlBackend(std::string& whyNot);

// Writes the picture of a top-level part as PNG: what the SDL window shows when the SDL
// backend is in use, else the part drawn afresh with its frame and title (headless). A
// failure raises a run-time error and returns false.
bool writeWindowPicture(const WindowRef& top, const std::string& path);

}  // namespace xb
