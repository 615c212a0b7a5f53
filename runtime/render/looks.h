// The look of each kind of part: its state in, a draw list out. Nothing here knows Cairo
// or the window classes, so a character-cell painter can use the same looks.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "render/draw.h"

namespace xb::render {

// Colours a part was given; nullopt keeps the part's default.
struct Colours {
  std::optional<double> fg, bg;
};

struct DialogLook {
  double w = 0, h = 0;
  std::string title;
  bool active = true;
  bool titleBar = true;
  double border = 4, titleHeight = 24;
  Font font;
};
DrawList dialogLook(const DialogLook& d);

// Plain client area (a dialog's drawing area, a window without a look of its own).
DrawList areaLook(double w, double h, Colours c);

struct EditLook {
  double w = 0, h = 0;
  std::string text;
  int firstChar = 0;  // 0-based index shown at the left edge
  int selStart = 0, selEnd = 0;
  int caret = 0;  // 0-based, before this character
  bool focused = false;
  bool enabled = true;
  bool editable = true;
  bool border = true;
  HAlign align = HAlign::Left;
  Colours colours;
  Font font;
};
DrawList editLook(const EditLook& e);
// The text box of an edit line: the text starts `padding` pixels from the left edge (the
// edit part measures clicks and the caret from there).
inline constexpr double kEditTextInset = 3;
Rect editTextBox(double w, double h, bool border);

struct MleLook {
  double w = 0, h = 0;
  std::string text;  // lines separated by CR LF or LF
  int firstLine = 0, firstCol = 0;
  int selStart = 0, selEnd = 0;  // indices into text
  int caret = 0;
  bool focused = false, enabled = true, editable = true, border = true;
  Colours colours;
  Font font;
};
DrawList mleLook(const MleLook& m, Metrics& metrics);

struct ScrollBarLook {
  double w = 0, h = 0;
  bool horizontal = false;
  int minimum = 1, maximum = 100, position = 1, pageSize = 10;
  bool enabled = true;
};
DrawList scrollBarLook(const ScrollBarLook& s);

struct TabLook {
  double w = 0, h = 0;
  std::string caption;
  int index = 1;  // 1-based place of the tab
  double tabWidth = 90, tabHeight = 22;
  bool front = true;
  Font font;
};
DrawList tabPageLook(const TabLook& t);

struct ButtonLook {
  double w = 0, h = 0;
  std::string caption;  // "~" marks the mnemonic
  bool pressed = false, focused = false, enabled = true, isDefault = false;
  Colours colours;
  Font font;
};
DrawList buttonLook(const ButtonLook& b);

struct StaticLook {
  enum Kind { text, groupBox, raisedBox, recessedBox, raisedFrame, recessedFrame, fgBox, bgBox,
              fgFrame, bgFrame, hLine, vLine } kind = text;
  double w = 0, h = 0;
  std::string caption;
  HAlign halign = HAlign::Left;
  VAlign valign = VAlign::Top;
  bool enabled = true;
  Colours colours;
  Font font;
};
DrawList staticLook(const StaticLook& s, Metrics& metrics);

struct ListLook {
  double w = 0, h = 0;
  std::vector<std::string> items;
  int topItem = 0;              // 0-based first item shown
  std::vector<bool> marked;     // per item
  int cursor = -1;              // item with the focus rectangle
  bool focused = false, enabled = true, border = true;
  std::vector<double> tabStops;  // in widths of the digit 0
  double itemHeight = 0;         // 0: the font's line height + 2
  Colours colours;
  std::optional<double> markFg, markBg;  // colours of marked items
  Font font;
};
DrawList listLook(const ListLook& l, Metrics& metrics);
double listItemHeight(const ListLook& l, Metrics& metrics);
// Whether the list shows a scroll bar, and how many items fit.
int listVisibleItems(const ListLook& l, Metrics& metrics);

// The drop-down button of a combo box.
DrawList dropButtonLook(double w, double h, bool pressed, bool enabled);

struct MenuItemLook {
  std::string caption;  // "~" marks the mnemonic; empty with separator
  bool separator = false;
  bool enabled = true;
  bool checked = false;
};
struct MenuLook {
  std::vector<MenuItemLook> items;
  int highlighted = -1;
  Font font;
};
// Size of a popup menu and the rectangle of each item (top-left based).
struct MenuLayout {
  double w = 0, h = 0;
  std::vector<Rect> items;
};
MenuLayout menuLayout(const MenuLook& m, Metrics& metrics);
DrawList menuLook(const MenuLook& m, Metrics& metrics);
// The same with rows placed by the menu part itself.
DrawList menuLook(const MenuLook& m, const MenuLayout& layout);

// Caption without "~" and the index of the mnemonic character (-1 none); "~~" is a tilde.
std::string stripMnemonic(const std::string& caption, int& mnemonic);

}  // namespace xb::render
