#include "backend/sdl/keymap.h"

#include <array>

#include "core/text.h"
#include "ui/keys.h"

namespace xb::sdl {
namespace {

namespace vk = key::vk;

// One row per key that key-down reports. `vk` is the Windows virtual-key code; `chr` a
// character code used instead when the key has no modifier (Tab, Enter, Esc, Backspace).
// Keypad rows are the keys with NumLock off; with NumLock on the keypad types digits.
struct Row {
  SDL_Keycode sym;
  int vk;
  int chr;
  bool keypad;
};

constexpr std::array<Row, 45> kTable = {{
    {SDLK_BACKSPACE, 0x08, key::kBackspace, false},
    {SDLK_TAB, 0x09, key::kTab, false},
    {SDLK_RETURN, 0x0D, key::kEnter, false},
    {SDLK_KP_ENTER, 0x0D, key::kEnter, false},
    {SDLK_ESCAPE, 0x1B, key::kEsc, false},
    {SDLK_PAUSE, vk::kPause, 0, false},
    {SDLK_PAGEUP, vk::kPrior, 0, false},
    {SDLK_PAGEDOWN, vk::kNext, 0, false},
    {SDLK_END, vk::kEnd, 0, false},
    {SDLK_HOME, vk::kHome, 0, false},
    {SDLK_LEFT, vk::kLeft, 0, false},
    {SDLK_UP, vk::kUp, 0, false},
    {SDLK_RIGHT, vk::kRight, 0, false},
    {SDLK_DOWN, vk::kDown, 0, false},
    {SDLK_INSERT, vk::kInsert, 0, false},
    {SDLK_DELETE, vk::kDelete, 0, false},
    {SDLK_APPLICATION, 0x5D, 0, false},
    {SDLK_F1, vk::kF1, 0, false},
    {SDLK_F2, vk::kF1 + 1, 0, false},
    {SDLK_F3, vk::kF1 + 2, 0, false},
    {SDLK_F4, vk::kF1 + 3, 0, false},
    {SDLK_F5, vk::kF1 + 4, 0, false},
    {SDLK_F6, vk::kF1 + 5, 0, false},
    {SDLK_F7, vk::kF1 + 6, 0, false},
    {SDLK_F8, vk::kF1 + 7, 0, false},
    {SDLK_F9, vk::kF1 + 8, 0, false},
    {SDLK_F10, vk::kF1 + 9, 0, false},
    {SDLK_F11, vk::kF1 + 10, 0, false},
    {SDLK_F12, vk::kF1 + 11, 0, false},
    {SDLK_KP_7, vk::kHome, 0, true},
    {SDLK_KP_8, vk::kUp, 0, true},
    {SDLK_KP_9, vk::kPrior, 0, true},
    {SDLK_KP_4, vk::kLeft, 0, true},
    {SDLK_KP_5, 0x0C, 0, true},  // "clear"
    {SDLK_KP_6, vk::kRight, 0, true},
    {SDLK_KP_1, vk::kEnd, 0, true},
    {SDLK_KP_2, vk::kDown, 0, true},
    {SDLK_KP_3, vk::kNext, 0, true},
    {SDLK_KP_0, vk::kInsert, 0, true},
    {SDLK_KP_PERIOD, vk::kDelete, 0, true},
    // Keys that type a character: only their Ctrl/Alt forms give a code (below).
    {SDLK_SPACE, vk::kSpace, 0, false},
    {SDLK_KP_PLUS, vk::kAdd, 0, true},
    {SDLK_KP_MINUS, vk::kSubtract, 0, true},
    {SDLK_KP_MULTIPLY, vk::kMultiply, 0, true},
    {SDLK_KP_DIVIDE, vk::kDivide, 0, true},
}};

int modBits(Uint16 mod) {
  int bits = 0;
  if (mod & KMOD_SHIFT) bits += key::kShift;
  if (mod & KMOD_ALT) bits += key::kAlt;
  if (mod & KMOD_CTRL) bits += key::kCtrl;
  return bits;
}

bool typesText(SDL_Keycode sym) {
  return sym == SDLK_SPACE || sym == SDLK_KP_PLUS || sym == SDLK_KP_MINUS ||
         sym == SDLK_KP_MULTIPLY || sym == SDLK_KP_DIVIDE;
}

}  // namespace

int keyCodeOf(SDL_Keycode sym, Uint16 mod) {
  const bool ctrl = mod & KMOD_CTRL, alt = mod & KMOD_ALT;
  for (const Row& r : kTable) {
    if (r.sym != sym) continue;
    if (r.keypad && !typesText(sym) && (mod & KMOD_NUM)) return 0;  // a digit: text input
    if (typesText(sym) && !ctrl && !(mod & KMOD_LALT)) return 0;
    if (r.chr) {
      if (sym == SDLK_BACKSPACE && ctrl && !alt) return key::kCtrlBackspace;
      if (!(mod & (KMOD_SHIFT | KMOD_CTRL | KMOD_ALT))) return r.chr;
      if (sym != SDLK_TAB && !ctrl && !alt) return r.chr;  // Shift+Enter is Enter
      return r.chr + modBits(mod);
    }
    return key::virt(r.vk, modBits(mod));
  }
  // Letters and digits give codes only with Ctrl or the left Alt; alone they are text
  // input. The right Alt is AltGr on German keyboards: AltGr+Q types "@".
  if (mod & KMOD_MODE) return 0;
  const bool leftAlt = mod & KMOD_LALT;
  if (!ctrl && !leftAlt) return 0;
  if (!leftAlt) mod &= static_cast<Uint16>(~KMOD_RALT);
  if (sym >= SDLK_a && sym <= SDLK_z) {
    if (ctrl && !leftAlt) return static_cast<int>(sym - SDLK_a) + 1;  // Ctrl+A = 1
    return key::virt(static_cast<int>(sym - SDLK_a) + 'A', modBits(mod));
  }
  if (sym >= SDLK_0 && sym <= SDLK_9) return key::virt(static_cast<int>(sym - SDLK_0) + '0', modBits(mod));
  return 0;
}

bool swallowsText(SDL_Keycode sym, Uint16 mod) {
  // Alt combinations of typing keys still produce the character as text input under X11.
  if (!(mod & KMOD_LALT) || (mod & KMOD_MODE)) return false;
  return (sym >= SDLK_a && sym <= SDLK_z) || (sym >= SDLK_0 && sym <= SDLK_9) || typesText(sym);
}

std::string textToCp850(const char* utf8, int& refused) {
  std::string out;
  refused = 0;
  if (!utf8) return out;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p) {
    char32_t u;
    int len;
    if (*p < 0x80) {
      u = *p;
      len = 1;
    } else if ((*p & 0xE0) == 0xC0) {
      u = *p & 0x1F;
      len = 2;
    } else if ((*p & 0xF0) == 0xE0) {
      u = *p & 0x0F;
      len = 3;
    } else if ((*p & 0xF8) == 0xF0) {
      u = *p & 0x07;
      len = 4;
    } else {
      ++refused;
      ++p;
      continue;
    }
    bool ok = true;
    for (int i = 1; i < len; ++i) {
      if ((p[i] & 0xC0) != 0x80) {
        ok = false;
        len = i;
        break;
      }
      u = (u << 6) | (p[i] & 0x3F);
    }
    p += len;
    auto c = ok && u >= 32 && u != 127 ? unicodeToCp(u) : std::nullopt;
    if (c) out.push_back(static_cast<char>(*c));
    else ++refused;
  }
  return out;
}

}  // namespace xb::sdl
