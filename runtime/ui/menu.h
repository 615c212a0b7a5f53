// Popup menu and clipboard.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/object.h"
#include "ui/window.h"

namespace xb {

namespace menustyle {
inline constexpr int kText = 1;
inline constexpr int kSeparator = 4;  // {NIL, NIL, 4, 0} adds a separator
}  // namespace menustyle
namespace menuattr {
inline constexpr int kChecked = 1;
inline constexpr int kDisabled = 2;
}  // namespace menuattr

struct MenuItem {
  Value caption;  // text; "~" marks the mnemonic letter
  Value action;   // a block run when the item is chosen, or NIL
  int style = menustyle::kText;
  int attr = 0;
  bool enabled = true;
  bool checked = false;
  bool isSeparator() const { return style == menustyle::kSeparator; }
};

// Menu layout: a padding above and below the rows, rows of a text line plus 6 pixels,
// separators 8 pixels; as wide as the widest caption plus 50.
inline constexpr double kMenuPadding = 3;
inline constexpr double kMenuSeparatorHeight = 8;

// A popup menu: a top-level part, shown by popUp until an item is chosen or the menu is left
// (Esc, a click outside). While it is open it holds the input capture; the application's
// focus does not move. A chosen item raises itemSelected with its number: the item's own
// block when it has one, otherwise the menu's itemSelected slot, evaluated with
// (number, NIL, menu).
class XbpMenu : public XbpWindow {
  XB_CLASS()
 public:
  XbpMenu() { visible_ = false; }

  // {caption, action [, style [, attr]]}. Returns the number of items.
  Value addItem(const Value& item);
  Value insItem(const Value& n, const Value& item);
  Value delItem(const Value& n);
  Value getItem(const Value& n);
  Value setItem(const Value& n, const Value& item);
  Value numItems() const { return Value(static_cast<int>(items_.size())); }
  Value enableItem(const Value& n);
  Value disableItem(const Value& n);
  Value isItemEnabled(const Value& n);
  Value checkItem(const Value& n, const Value& on = Value(true));
  Value isItemChecked(const Value& n);

  // Shows the menu at a point of `part` (desktop point when part is NIL) and runs its own
  // event loop until it closes. Returns the chosen item number, 0 when none was chosen.
  virtual Value popUp(const Value& part, const Value& pos, const Value& defaultItem = {},
                      const Value& control = {});
  // Ends an open menu with item n (the item must be enabled and not a separator).
  bool choose(int n);
  void cancel();
  // Also lets go of the items' blocks.
  Value destroy() override;

  // ev::kMenuSelect with mp1 = n chooses item n of the open menu (a backend's or a script's
  // way to pick an item without keys or clicks).
  Value handleEvent(int code, const Value& mp1, const Value& mp2) override;
  Value keyboard(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  Value lbUp(const Value& mp1, const Value& mp2 = {}) override;
  Value motion(const Value& mp1, const Value& mp2 = {}) override;
  Value itemSelected(const Value& mp1 = {}, const Value& mp2 = {}) override;
  std::string labelText() const override { return title; }

  std::string title;

  // ---- read by the renderer ----
  const std::vector<MenuItem>& items() const { return items_; }
  bool isOpen() const { return open_; }
  int highlighted() const { return highlight_; }
  // Caption without "~", and the mnemonic letter (0 when none).
  static std::string shownCaption(const std::string& caption);
  static char mnemonic(const std::string& caption);
  // Item under a point of the menu, 0 when none (separators count as none).
  int itemAt(Point local) const;
  // Row of item n (1-based): distance of its top edge from the menu's top edge, and height.
  double rowTop(int n) const;
  double rowHeight(int n) const;

 protected:
  bool isTopLevelKind() const override { return true; }
  Size defaultSize() const override { return {160, 40}; }
  bool validItem(const Value& n, const char* method);
  std::optional<MenuItem> itemOf(const Value& v, const char* method);
  void layoutForItems();
  void moveHighlight(int dir);

  std::vector<MenuItem> items_;
  bool open_ = false;
  int chosen_ = 0;
  int highlight_ = 0;
};

namespace clipformat {
inline constexpr int kText = 1;
}

// Access to the clipboard for one exchange: new, create, open, getBuffer/setBuffer, close,
// destroy. Text only, code page 850 inside.
class XbpClipboard : public Object {
  XB_CLASS()
 public:
  XbpClipboard() = default;
  Value create();
  Value open();
  Value close();
  Value destroy();
  // The text (format 1) or NIL when the clipboard holds none.
  Value getBuffer(const Value& format = Value(clipformat::kText));
  Value setBuffer(const Value& data, const Value& format = Value(clipformat::kText));
  Value clear();
  Value queryFormats();
  bool isOpen() const { return state_ == State::open; }

 private:
  enum class State { init, created, open, destroyed } state_ = State::init;
  bool ready(const char* method);
};

}  // namespace xb
