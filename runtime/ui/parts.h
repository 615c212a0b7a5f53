// Small parts: static text and frames, push buttons, tab pages, scroll bars.
#pragma once
#include <string>

#include "ui/window.h"

namespace xb {

// Static types.
namespace statictype {
inline constexpr int kText = 1;
inline constexpr int kGroupBox = 2;
inline constexpr int kIcon = 3;
inline constexpr int kBitmap = 5;
inline constexpr int kRaisedRect = 11;
inline constexpr int kRecessedRect = 12;
}  // namespace statictype

class XbpStatic : public XbpWindow {
  XB_CLASS()
 public:
  XbpStatic() = default;
  Value setCaption(const Value& caption);  // returns true
  const Value& caption() const { return caption_; }
  std::string labelText() const override { return caption_.isChar() ? caption_.str() : std::string(); }
  int type = statictype::kText;
  int options = 0;

 protected:
  Value caption_;
};

class XbpPushButton : public XbpWindow {
  XB_CLASS()
 public:
  XbpPushButton() = default;
  Value setCaption(const Value& caption);
  const Value& caption() const { return caption_; }
  std::string labelText() const override { return caption_.isChar() ? caption_.str() : std::string(); }

  // Native: a click (button down and up over it) and Space activate it; Enter too, unless
  // the application handles the button's keys itself (its keyboard slot holds a block):
  // the form controller turns Enter into the activation event on its own.
  Value keyboard(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  Value lbUp(const Value& mp1, const Value& mp2 = {}) override;
  Value activate(const Value& mp1 = {}, const Value& mp2 = {}) override;
  bool takesFocusOnClick() const override { return true; }

  // Read by the renderer: held down by the mouse.
  bool pressed() const { return pressed_; }
  bool isDefault = false;  // member `default`: the button Enter stands for in a dialog
  bool border = true;

 protected:
  Size defaultSize() const override { return {80, 24}; }
  Value caption_;
  bool pressed_ = false;
};

// A page of a tab control. Pages of one parent lie on each other; their tabs stand side
// by side along the top edge. A click on a tab raises tabActivate for that tab's page;
// toFront brings a page forward and puts its siblings into the background.
inline constexpr double kTabHeight = 22;
inline constexpr double kTabWidth = 90;

class XbpTabPage : public XbpWindow {
  XB_CLASS()
 public:
  XbpTabPage() = default;
  Value toFront() override;
  Value minimize();
  Value maximize();
  bool showsChildren() const override { return !minimized_; }
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  std::string labelText() const override { return caption.isChar() ? caption.str() : std::string(); }
  // The 1-based place of this page's tab among the tab pages of its parent.
  int tabIndex() const;
  bool minimized() const { return minimized_; }

  Value caption;
  double tabHeight = kTabHeight;

 protected:
  bool minimized_ = false;
};

// Scroll bar: position within a range; keys and clicks move it and raise `scroll` with
// mp1 = {position, command}.
namespace scrollcmd {
inline constexpr int kLineUp = 1, kLineDown = 2, kPageUp = 3, kPageDown = 4, kTop = 5, kBottom = 6;
}

class XbpScrollBar : public XbpWindow {
  XB_CLASS()
 public:
  XbpScrollBar() = default;
  Value setRange(const Value& range);  // {min, max}; returns the previous range
  Value setData(Args a);               // the position; returns true
  Value getData() const { return Value(pos_); }
  Value keyboard(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  int position() const { return pos_; }
  bool horizontal = false;
  int pageSize = 10;

 protected:
  void moveTo(int pos, int command);
  int min_ = 1, max_ = 100, pos_ = 1;
};

}  // namespace xb
