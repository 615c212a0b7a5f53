// The one key table: SDL key-downs and text input as the runtime's key codes.
#include <gtest/gtest.h>

#include "backend/sdl/keymap.h"
#include "core/text.h"
#include "ui/keys.h"

namespace xb::sdl {
namespace {

TEST(SdlKeys, TableRows) {
  const Uint16 num = KMOD_NUM;
  struct Case {
    SDL_Keycode sym;
    Uint16 mod;
    int code;
  };
  const Case cases[] = {
      {SDLK_F4, 0, key::kF4},
      {SDLK_F4, KMOD_LALT, key::kAltF4},
      {SDLK_F1, 0, 65648},
      {SDLK_F12, KMOD_LSHIFT, key::virt(0x7B, key::kShift)},
      {SDLK_TAB, 0, key::kTab},
      {SDLK_TAB, KMOD_LSHIFT, key::kShiftTab},
      {SDLK_HOME, KMOD_LCTRL, key::kCtrlHome},
      {SDLK_HOME, 0, key::kHome},
      {SDLK_END, KMOD_RCTRL, key::kCtrlEnd},
      {SDLK_LEFT, KMOD_LSHIFT, key::kShiftLeft},
      {SDLK_DOWN, KMOD_RSHIFT, key::kShiftDown},
      {SDLK_UP, KMOD_LSHIFT, key::kShiftUp},
      {SDLK_INSERT, KMOD_LSHIFT, key::kShiftIns},
      {SDLK_INSERT, KMOD_LCTRL, key::kCtrlIns},
      {SDLK_DELETE, KMOD_LSHIFT, key::kShiftDel},
      {SDLK_PAGEUP, 0, key::kPgUp},
      {SDLK_PAGEDOWN, 0, key::kPgDn},
      {SDLK_RETURN, 0, key::kEnter},
      {SDLK_KP_ENTER, num, key::kEnter},
      {SDLK_RETURN, KMOD_LSHIFT, key::kEnter},
      {SDLK_ESCAPE, 0, key::kEsc},
      {SDLK_BACKSPACE, 0, key::kBackspace},
      {SDLK_BACKSPACE, KMOD_LCTRL, key::kCtrlBackspace},
      // Keypad with NumLock off: the navigation keys; with NumLock on: text input.
      {SDLK_KP_7, 0, key::kHome},
      {SDLK_KP_1, 0, key::kEnd},
      {SDLK_KP_8, 0, key::kUp},
      {SDLK_KP_2, KMOD_LSHIFT, key::kShiftDown},
      {SDLK_KP_9, 0, key::kPgUp},
      {SDLK_KP_3, 0, key::kPgDn},
      {SDLK_KP_4, 0, key::kLeft},
      {SDLK_KP_6, KMOD_LCTRL, key::kCtrlRight},
      {SDLK_KP_0, 0, key::kIns},
      {SDLK_KP_PERIOD, 0, key::kDel},
      {SDLK_KP_7, num, 0},
      {SDLK_KP_PERIOD, num, 0},
      {SDLK_KP_PLUS, num, 0},
      // Characters come as text input; with Ctrl they are control characters.
      {SDLK_a, 0, 0},
      {SDLK_a, KMOD_LSHIFT, 0},
      {SDLK_SPACE, 0, 0},
      {SDLK_a, KMOD_LCTRL, 1},
      {SDLK_z, KMOD_LCTRL | KMOD_LSHIFT, 26},
      {SDLK_u, KMOD_RCTRL, key::kCtrlU},
      {SDLK_x, KMOD_LALT, key::virt('X', key::kAlt)},
      {SDLK_5, KMOD_LCTRL, key::virt('5', key::kCtrl)},
      {SDLK_q, KMOD_RALT, 0},             // AltGr+Q types "@"
      {SDLK_e, KMOD_RALT | KMOD_MODE, 0},  // AltGr+E types "€" (refused later)
      {SDLK_F4, KMOD_RALT, key::kAltF4},  // function keys take either Alt
      {SDLK_LSHIFT, KMOD_LSHIFT, 0},
      {SDLK_LCTRL, KMOD_LCTRL, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(keyCodeOf(c.sym, c.mod), c.code) << SDL_GetKeyName(c.sym) << " mod " << c.mod;
}

TEST(SdlKeys, AltLettersSwallowTheirText) {
  EXPECT_TRUE(swallowsText(SDLK_x, KMOD_LALT));
  EXPECT_FALSE(swallowsText(SDLK_x, 0));
  EXPECT_FALSE(swallowsText(SDLK_F4, KMOD_LALT));
  EXPECT_FALSE(swallowsText(SDLK_q, KMOD_RALT | KMOD_MODE));  // AltGr types "@"
  EXPECT_FALSE(swallowsText(SDLK_q, KMOD_RALT));
}

TEST(SdlKeys, TextInputAsCp850) {
  struct Case {
    const char* utf8;
    std::string cp850;
    int refused;
  };
  const Case cases[] = {
      {"a", "a", 0},
      {"\xC3\xA4", cp("ä"), 0},
      {"aä1", cp("aä1"), 0},
      {"\xC3\x9F\xE2\x96\x91", cp("ß░"), 0},
      {"\xE2\x82\xAC", "", 1},           // the euro sign is not in code page 850
      {"x\xF0\x9F\x98\x80y", "xy", 1},  // nor are emoji
      {"\xFF", "", 1},                   // broken UTF-8
      {"\xC3", "", 1},
      {"\t", "", 1},
  };
  for (const Case& c : cases) {
    int refused = -1;
    EXPECT_EQ(textToCp850(c.utf8, refused), c.cp850) << c.utf8;
    EXPECT_EQ(refused, c.refused) << c.utf8;
  }
}

}  // namespace
}  // namespace xb::sdl
