// Event codes of the application event queue.
#pragma once

namespace xb::ev {

inline constexpr int kBase = 1048576;  // 0x100000
inline constexpr int kNone = 0;

inline constexpr int kKeyboard = kBase + 4;           // mp1 key code
inline constexpr int kMotion = kBase + 5;             // mp1 {x, y}
inline constexpr int kLbDown = kBase + 6;             // mp1 {x, y} part-relative
inline constexpr int kLbUp = kBase + 7;
inline constexpr int kLbClick = kBase + 8;
inline constexpr int kLbDblClick = kBase + 9;
inline constexpr int kMbDown = kBase + 10;
inline constexpr int kMbUp = kBase + 11;
inline constexpr int kMbClick = kBase + 12;
inline constexpr int kRbDown = kBase + 13;
inline constexpr int kRbUp = kBase + 14;
inline constexpr int kRbClick = kBase + 15;
inline constexpr int kRbDblClick = kBase + 16;
inline constexpr int kWheel = kBase + 17;
inline constexpr int kActivate = 1048609;             // push-button activation (fixed)
inline constexpr int kSetInputFocus = kBase + 40;
inline constexpr int kKillInputFocus = kBase + 41;
inline constexpr int kSetDisplayFocus = kBase + 42;
inline constexpr int kKillDisplayFocus = kBase + 43;
inline constexpr int kPaint = kBase + 44;
inline constexpr int kItemMarked = kBase + 45;
inline constexpr int kItemSelected = kBase + 46;
inline constexpr int kTabActivate = kBase + 47;
inline constexpr int kMove = kBase + 48;
inline constexpr int kResize = kBase + 49;
inline constexpr int kFrameState = kBase + 50;        // mp1 new frame state (1 minimised)
inline constexpr int kScroll = kBase + 51;
inline constexpr int kMenuSelect = kBase + 52;
inline constexpr int kQuit = kBase + 55;              // the backend has no more input
inline constexpr int kClose = 1048632;                // window close (fixed)

static_assert(kClose == kBase + 56 && kActivate == kBase + 33);

}  // namespace xb::ev
