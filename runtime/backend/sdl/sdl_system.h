// SDL set-up that does not depend on window parts: the display check, the system
// clipboard (UTF-8 outside, CP850 inside) and short tones.
#pragma once
#include <optional>
#include <string>

namespace xb::sdl {

// Lets Xlib keep the compose table it builds at start in a cache of ours (the directory
// XCOMPOSECACHE names), so later starts map it instead of parsing the locale's whole
// Compose file again. Nothing is set when the user chose a cache (XCOMPOSECACHE or
// ~/.compose-cache), when Xlib would not use one (running as root or set-uid), or when the
// directory cannot be made. Must run before other threads start: it sets the environment.
void useComposeCache();

// Sets the hints the backend needs (software drawing, framebuffer acceleration off, no
// signal handlers of SDL's own) and starts SDL's video. False with one line saying why
// and what to run instead when there is no display; SDL would otherwise quietly pick an
// offscreen driver.
bool startVideo(std::string& whyNot);
void stopVideo();

// Clipboard text in CP850. nullopt when the clipboard holds no text (empty, or another
// format) or text with characters CP850 cannot hold (`why` says which); such text is not
// half pasted.
std::optional<std::string> clipboardText(std::string* why = nullptr);
bool setClipboardText(const std::string& cp850);

// Plays a tone without waiting. False when there is no audio device: the tone is silent
// (the reason is reported once on stderr).
bool playTone(double frequency, double milliseconds);
void closeAudio();

}  // namespace xb::sdl
