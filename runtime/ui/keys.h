// Key codes. A character key is its CP850 code (control characters included: Backspace 8,
// Tab 9, Enter 13, Esc 27, Ctrl+letter 1..26); any other key is 65536 + its Windows
// virtual-key code, + 131072 with Shift, + 262144 with Alt, + 524288 with Ctrl.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace xb::key {

inline constexpr int kVirtual = 0x10000;
inline constexpr int kShift = 0x20000;
inline constexpr int kAlt = 0x40000;
inline constexpr int kCtrl = 0x80000;

// Windows virtual-key codes of the keys the toolkit uses.
namespace vk {
inline constexpr int kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kPause = 0x13, kEscape = 0x1B,
                     kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24,
                     kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kInsert = 0x2D,
                     kDelete = 0x2E, kF1 = 0x70, kBackCtrl = 0x7F, kNumpad0 = 0x60,
                     kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D, kDecimal = 0x6E,
                     kDivide = 0x6F;
}  // namespace vk

constexpr int virt(int vkCode, int mods = 0) { return kVirtual + vkCode + mods; }

// Character keys.
inline constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kEsc = 27, kSpace = 32;
inline constexpr int kCtrlA = 1, kCtrlC = 3, kCtrlT = 20, kCtrlU = 21, kCtrlV = 22, kCtrlX = 24,
                     kCtrlY = 25;

inline constexpr int kPgUp = virt(vk::kPrior), kPgDn = virt(vk::kNext), kEnd = virt(vk::kEnd),
                     kHome = virt(vk::kHome), kLeft = virt(vk::kLeft), kUp = virt(vk::kUp),
                     kRight = virt(vk::kRight), kDown = virt(vk::kDown),
                     kIns = virt(vk::kInsert), kDel = virt(vk::kDelete);
constexpr int kF(int n) { return virt(vk::kF1 + n - 1); }
inline constexpr int kF4 = kF(4);                                  // 65651
inline constexpr int kShiftTab = kShift + kTab;                    // 131081: Tab is a character key
inline constexpr int kShiftLeft = virt(vk::kLeft, kShift);         // 196645
inline constexpr int kShiftRight = virt(vk::kRight, kShift);       // 196647
inline constexpr int kShiftUp = virt(vk::kUp, kShift);             // 196646
inline constexpr int kShiftDown = virt(vk::kDown, kShift);         // 196648
inline constexpr int kShiftHome = virt(vk::kHome, kShift);         // 196644
inline constexpr int kShiftEnd = virt(vk::kEnd, kShift);           // 196643
inline constexpr int kShiftIns = virt(vk::kInsert, kShift);        // 196653
inline constexpr int kShiftDel = virt(vk::kDelete, kShift);        // 196654
inline constexpr int kCtrlLeft = virt(vk::kLeft, kCtrl);           // 589861
inline constexpr int kCtrlRight = virt(vk::kRight, kCtrl);         // 589863
inline constexpr int kCtrlHome = virt(vk::kHome, kCtrl);           // 589860
inline constexpr int kCtrlEnd = virt(vk::kEnd, kCtrl);             // 589859
inline constexpr int kCtrlIns = virt(vk::kInsert, kCtrl);          // 589869
inline constexpr int kCtrlDel = virt(vk::kDelete, kCtrl);          // 589870
// Ctrl+Backspace arrives as the character 127 with Ctrl, not as a virtual key.
inline constexpr int kCtrlBackspace = kCtrl + vk::kBackCtrl;       // 524415
inline constexpr int kAltF4 = virt(vk::kF1 + 3, kAlt);             // 327795

static_assert(kF4 == 65651 && kAltF4 == 327795 && kCtrlHome == 589860 && kShiftTab == 131081 &&
              kCtrlBackspace == 524415 && kShiftDown == 196648);

// Names for scripts and tests: "F4", "Shift+Tab", "Ctrl+Home", "Alt+F4", "Enter", "a", "ä"
// (a single character in UTF-8), or a number. Modifier prefixes combine in any order.
std::optional<int> codeOfName(std::string_view name);
std::string nameOfCode(int code);

}  // namespace xb::key
