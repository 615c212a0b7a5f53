#include "ui/keys.h"

#include <charconv>
#include <vector>

#include "core/text.h"

namespace xb::key {

namespace {

struct Named {
  const char* name;
  int vk;
};

// Keys that are not characters, by Windows virtual-key code. The first name of a code is
// the one nameOfCode gives.
const Named kVirtualKeys[] = {
    {"Pause", vk::kPause},   {"PgUp", vk::kPrior},     {"PageUp", vk::kPrior},
    {"PgDn", vk::kNext},     {"PageDown", vk::kNext},  {"End", vk::kEnd},
    {"Home", vk::kHome},     {"Left", vk::kLeft},      {"Up", vk::kUp},
    {"Right", vk::kRight},   {"Down", vk::kDown},      {"Ins", vk::kInsert},
    {"Insert", vk::kInsert}, {"Del", vk::kDelete},     {"Delete", vk::kDelete},
    {"Num*", vk::kMultiply}, {"Num+", vk::kAdd},       {"Num-", vk::kSubtract},
    {"Num.", vk::kDecimal},  {"Num/", vk::kDivide},    {"Apps", 0x5D},
    {"PrintScreen", 0x2C},   {"ScrollLock", 0x91},     {"NumLock", 0x90},
    {"CapsLock", 0x14},
};

// Keys that arrive as characters.
const Named kCharKeys[] = {
    {"Backspace", kBackspace}, {"BS", kBackspace}, {"Tab", kTab},     {"Enter", kEnter},
    {"Return", kEnter},        {"Esc", kEsc},      {"Escape", kEsc},  {"Space", kSpace},
};

std::string lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool same(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

std::optional<int> virtualKey(std::string_view name) {
  for (auto& n : kVirtualKeys)
    if (same(n.name, name)) return n.vk;
  // F1 .. F24
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    int n = 0;
    auto r = std::from_chars(name.data() + 1, name.data() + name.size(), n);
    if (r.ec == std::errc() && r.ptr == name.data() + name.size() && n >= 1 && n <= 24)
      return vk::kF1 + n - 1;
  }
  // Num0 .. Num9: keypad digits (NumLock off gives these as keys of their own)
  if (name.size() == 4 && same(name.substr(0, 3), "num") && name[3] >= '0' && name[3] <= '9')
    return vk::kNumpad0 + (name[3] - '0');
  return std::nullopt;
}

}  // namespace

std::optional<int> codeOfName(std::string_view name) {
  if (name.empty()) return std::nullopt;
  // A plain number is the code itself.
  if (name[0] >= '0' && name[0] <= '9') {
    int n = 0;
    auto r = std::from_chars(name.data(), name.data() + name.size(), n);
    if (r.ec == std::errc() && r.ptr == name.data() + name.size()) {
      if (n < 0) return std::nullopt;
      return n;
    }
    if (name.size() > 1) return std::nullopt;
  }
  // Split off modifier prefixes; the last part is the key ("Ctrl++" is Ctrl and "+").
  int mods = 0;
  std::string_view rest = name;
  for (;;) {
    auto plus = rest.find('+');
    if (plus == std::string_view::npos || plus + 1 >= rest.size()) break;
    auto m = rest.substr(0, plus);
    if (same(m, "shift")) mods |= kShift;
    else if (same(m, "ctrl") || same(m, "control")) mods |= kCtrl;
    else if (same(m, "alt")) mods |= kAlt;
    else return std::nullopt;
    rest = rest.substr(plus + 1);
  }
  if (rest.empty()) return std::nullopt;

  if (auto v = virtualKey(rest)) return virt(*v, mods);

  int ch = -1;
  for (auto& n : kCharKeys)
    if (same(n.name, rest)) ch = n.vk;
  if (ch < 0) {
    // One character, written in UTF-8.
    auto cpText = utf8ToCp(rest);
    if (!cpText || cpText->size() != 1) return std::nullopt;
    ch = static_cast<unsigned char>((*cpText)[0]);
  }
  if (mods == 0) return ch;
  bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
  if (mods == kShift) {
    if (ch == kTab) return kShiftTab;
    if (letter) return ch >= 'a' ? ch - 'a' + 'A' : ch;
    if (ch == kBackspace || ch == kEnter || ch == kEsc || ch == kSpace) return kShift + ch;
    return std::nullopt;  // shifted punctuation depends on the keyboard layout: name the character
  }
  if (mods == kCtrl && letter) return (ch | 0x20) - 'a' + 1;  // Ctrl+A .. Ctrl+Z
  if (mods == kCtrl && ch == kBackspace) return kCtrlBackspace;
  if (letter) return virt(ch & ~0x20, mods);  // Alt+letter and other combinations: the letter's virtual key
  return mods + ch;
}

std::string nameOfCode(int code) {
  if (code < 0) return std::to_string(code);
  if (code == kCtrlBackspace) return "Ctrl+Backspace";
  if (code == kShiftTab) return "Shift+Tab";
  if (code < 256) {
    for (auto& n : kCharKeys)
      if (n.vk == code) return n.name;
    if (code >= 1 && code <= 26) return std::string("Ctrl+") + static_cast<char>('A' + code - 1);
    if (code < 32 || code == 127) return std::to_string(code);
    return cpToUtf8(std::string(1, static_cast<char>(code)));
  }
  std::string prefix;
  int rest = code;
  if (rest & kCtrl) {
    prefix += "Ctrl+";
    rest -= kCtrl;
  }
  if (rest & kAlt) {
    prefix += "Alt+";
    rest -= kAlt;
  }
  if (rest & kShift) {
    prefix += "Shift+";
    rest -= kShift;
  }
  if (rest & kVirtual) {
    int v = rest - kVirtual;
    if (v >= vk::kF1 && v < vk::kF1 + 24) return prefix + "F" + std::to_string(v - vk::kF1 + 1);
    if (v >= vk::kNumpad0 && v <= vk::kNumpad0 + 9) return prefix + "Num" + std::to_string(v - vk::kNumpad0);
    for (auto& n : kVirtualKeys)
      if (n.vk == v) return prefix + n.name;
    if (v >= 'A' && v <= 'Z') return prefix + static_cast<char>(v);
    if (v >= '0' && v <= '9') return prefix + static_cast<char>(v);
    return std::to_string(code);
  }
  if (rest < 256 && !prefix.empty()) {
    for (auto& n : kCharKeys)
      if (n.vk == rest) return prefix + n.name;
    if (rest > 32) return prefix + cpToUtf8(std::string(1, static_cast<char>(rest)));
  }
  return std::to_string(code);
}

}  // namespace xb::key
