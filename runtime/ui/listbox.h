// List box and combo box.
//
// A list box holds text items (tab characters line the columns up at the tab stops) and a
// marking: the numbers of the marked items (1-based). The user marks by click or arrow
// keys, which raises itemMarked; a double click or Enter raises itemSelected. Marking by
// the program (setData) raises nothing.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ui/window.h"

namespace xb {

class XbpSle;

namespace markmode {
inline constexpr int kSingle = 1;
inline constexpr int kMultiple = 2;
}  // namespace markmode

class XbpListBox : public XbpWindow {
  XB_CLASS()
 public:
  XbpListBox() = default;

  // Items. addItem returns the new number of items; the others return true, or the text.
  // Item numbers out of range raise a run-time error naming the number.
  Value addItem(const Value& text);
  Value insItem(const Value& n, const Value& text);
  Value delItem(const Value& n);
  Value getItem(const Value& n);
  Value setItem(const Value& n, const Value& text);
  virtual Value clear();
  Value numItems() const { return Value(static_cast<int>(items_.size())); }

  // The marking: an array of item numbers. setData({k}) or setData(k) marks exactly that
  // item, setData({}) none; setData() takes the marking from dataLink.
  virtual Value getData(Args a = {});
  virtual Value setData(Args a);

  Value getTopItem() const { return Value(top_); }
  Value setTopItem(const Value& n);
  Value getVisibleItems() const { return Value(visibleRows()); }
  Value getItemsHeight() const { return Value(itemHeight_); }
  Value setItemsHeight(const Value& h);
  Value setColumnWidth(const Value& w);
  Value getColumnWidth() const { return Value(columnWidth_); }
  Value setTabStops(const Value& stops);
  Value getTabStops() const;

  // Native: click and arrow keys mark, double click and Enter select.
  Value keyboard(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDblClick(const Value& mp1, const Value& mp2 = {}) override;
  Value wheel(const Value& mp1, const Value& mp2 = {}) override;
  Value itemMarked(const Value& mp1 = {}, const Value& mp2 = {}) override;
  Value itemSelected(const Value& mp1 = {}, const Value& mp2 = {}) override;
  bool takesFocusOnClick() const override { return true; }
  // The item under a point of the part, 0 when none.
  int itemAt(Point local) const;

  // Called by the itemMarked / itemSelected methods after the slot: lets a composite (the
  // combo box) follow its list. C++ only.
  std::function<void(int eventCode)> notify;

  Value dataLink;
  int markMode = markmode::kSingle;
  bool horizScroll = false;
  bool vertScroll = true;

  // ---- read by the renderer ----
  const std::vector<std::string>& items() const { return items_; }
  const std::set<int>& marked() const { return marked_; }
  int firstMarked() const { return marked_.empty() ? 0 : *marked_.begin(); }
  int cursorItem() const { return cursor_; }  // the item the keyboard stands on
  int topItem() const { return top_; }
  double itemHeight() const { return itemHeight_; }
  const std::vector<double>& tabStops() const { return tabStops_; }
  int visibleRows() const;
  // Whether the last marking by the user came from the mouse (a click) or from a key.
  bool lastMarkByMouse() const { return lastByMouse_; }

 protected:
  bool validItem(const Value& n, const char* method, bool allowAppend = false);
  void markByUser(int item);
  void keepVisible(int item);

  std::vector<std::string> items_;
  std::set<int> marked_;
  int cursor_ = 0;
  int top_ = 1;
  double itemHeight_ = 16;
  double columnWidth_ = 0;
  std::vector<double> tabStops_;
  bool lastByMouse_ = false;
};

namespace combotype {
inline constexpr int kSimple = 1;        // list always shown
inline constexpr int kDropDown = 2;      // list opens below the edit line
inline constexpr int kDropDownList = 3;  // as 2, the edit line cannot be typed into
}  // namespace combotype

// A combo box: an edit line (member XbpSLE) over a list (member XbpListBox), with a
// drop-down button at the right end of the edit line. The combo box holds the focus; keys
// go to its edit line unless they work the list (F4 / Alt+Down open or close it, Up and
// Down step through the items, Enter and Esc close an open list).
inline constexpr double kComboEditHeight = 20;
inline constexpr double kComboButtonWidth = 16;

class XbpComboBox : public XbpWindow {
  XB_CLASS()
 public:
  XbpComboBox() = default;

  Value init(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
             const Value& size = {}, const Value& presParam = {},
             const Value& visible = {}) override;
  Value create(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
               const Value& size = {}, const Value& presParam = {},
               const Value& visible = {}) override;
  Value setSize(const Value& size) override;

  std::shared_ptr<XbpSle> sle() const { return sle_; }
  std::shared_ptr<XbpListBox> listBox() const { return list_; }

  // The edit line's text.
  virtual Value setData(Args a);
  virtual Value getData(Args a = {});

  // Opens (true) or closes (false) the list; returns whether it is open.
  Value listBoxFocus(const Value& open);
  bool isDropped() const { return dropped_; }

  Value keyboard(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  Value killInputFocus(const Value& mp1 = {}, const Value& mp2 = {}) override;
  bool takesFocusOnClick() const override { return true; }
  bool hitsAt(Point local) const override;
  std::string labelText() const override;

  int type = combotype::kDropDown;
  Value dataLink;

  // Read by the renderer: the drop-down button, part-relative.
  Rect buttonRect() const;

 protected:
  void layout();
  void takeItem(int item);
  void onList(int eventCode);

  std::shared_ptr<XbpSle> sle_;
  std::shared_ptr<XbpListBox> list_;
  bool dropped_ = false;
};

}  // namespace xb
