// The common base of all window parts: geometry, the part tree, callback slots, event
// methods and the state the renderer reads.
//
// A part is made with newPart<T>(parent, owner, pos, size, presParam, visible) (the `new`
// of the toolkit: construct, then the virtual init) and shown with create(...). Parts are
// held by shared_ptr; a parent holds its children, every back-reference is weak.
//
// Every event method (keyboard, lbDown, setInputFocus, ...) does the part's own behaviour
// first and then evaluates the callback slot of the same name with (mp1, mp2, self).
// A subclass that replaces such a method calls the base version where it wants both.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/value.h"

namespace xb {

class XbpWindow;
class XbpPresSpace;
using WindowRef = std::shared_ptr<XbpWindow>;
using WeakWindow = std::weak_ptr<XbpWindow>;

struct Point {
  double x = 0, y = 0;
};
struct Size {
  double w = 0, h = 0;
};
// A rectangle with its lower-left corner at (x, y), y upwards.
struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
  bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + w && p.y < y + h; }
};

Value pointValue(double x, double y);  // {x, y}
// A two-element array of numbers, or nullopt.
std::optional<Point> pointOf(const Value& v);
std::optional<Size> sizeOf(const Value& v);

// Callback slots: assignable members holding a code block or NIL.
enum class Slot : uint8_t {
  close,
  setInputFocus,
  killInputFocus,
  setDisplayFocus,
  killDisplayFocus,
  keyboard,
  tabActivate,
  activate,
  paint,
  itemMarked,
  itemSelected,
  lbDown,
  lbUp,
  lbClick,
  lbDblClick,
  rbDown,
  rbUp,
  rbClick,
  rbDblClick,
  mbDown,
  mbUp,
  mbClick,
  motion,
  wheel,
  move,
  resize,
  scroll,
  quit,
  count
};
const char* slotName(Slot s);

// Presentation parameter numbers (setPresParam).
namespace pp {
inline constexpr int kFgColor = 2;
inline constexpr int kBgColor = 4;
inline constexpr int kHiliteFgColor = 6;
inline constexpr int kHiliteBgColor = 8;
inline constexpr int kDisabledFgColor = 10;
inline constexpr int kDisabledBgColor = 12;
inline constexpr int kBorderColor = 14;
inline constexpr int kFont = 15;  // compound font name, e.g. "10.DejaVu Sans"
}  // namespace pp

// Life of a part.
enum class PartStatus : uint8_t { initialised, created, destroyed };

class XbpWindow : public Object {
  XB_CLASS()
 public:
  XbpWindow();
  ~XbpWindow() override;
  XbpWindow(const XbpWindow&) = delete;
  XbpWindow& operator=(const XbpWindow&) = delete;

  // ---- life cycle (the toolkit's Init/Create/destroy override these) ----
  // Stores the arguments; NIL leaves the default. Returns self.
  virtual Value init(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
                     const Value& size = {}, const Value& presParam = {},
                     const Value& visible = {});
  // Arguments given here replace those of init. A part without a parent fails with a
  // run-time error (top-level parts default to the desktop). Returns self.
  virtual Value create(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
                       const Value& size = {}, const Value& presParam = {},
                       const Value& visible = {});
  // Destroys the children, leaves the parent, gives up the focus, empties the callback
  // slots (so blocks that hold the part are released). Returns self.
  virtual Value destroy();
  PartStatus status() const { return status_; }
  bool isDestroyed() const { return status_ == PartStatus::destroyed; }
  bool isCreated() const { return status_ == PartStatus::created; }

  // ---- tree and geometry ----
  virtual Value show();
  virtual Value hide();
  virtual bool isVisible() const;  // own flag and every ancestor's
  virtual Value toFront();
  virtual Value toBack();
  // With no argument: the parent. With a part: moves this part there, returns the old one.
  virtual Value setParent(Args a);
  Value setOwner(Args a);
  virtual Value childList() const;
  virtual Value setPos(const Value& pos);
  virtual Value setSize(const Value& size);
  virtual Value setPosAndSize(const Value& pos, const Value& size);
  virtual Value currentPos() const;
  virtual Value currentSize() const;
  virtual Value configure() { return selfValue(); }

  // ---- colours and presentation parameters ----
  virtual Value setColorFG(Args a);  // returns the previous colour
  virtual Value setColorBG(Args a);
  // setPresParam({{id, value}, ...}) or setPresParam(id, value); returns the previous
  // array of presentation parameters.
  virtual Value setPresParam(Args a);
  Value presParam(int id) const;
  const std::map<int, Value>& presParams() const { return presParams_; }

  virtual Value enable();
  virtual Value disable();
  bool isEnabled() const;  // own flag and every ancestor's

  // ---- drawing ----
  virtual Value lockPS();
  virtual Value unlockPS(Args a = {});
  virtual Value presSpace();
  std::shared_ptr<XbpPresSpace> ps();
  // Asks the backend to redraw this part; called whenever what the part shows changes.
  virtual void invalidate();
  uint64_t paintSerial() const { return paintSerial_; }

  // ---- events ----
  // Calls the method of the event; codes of the application's own (user) events do nothing
  // here and may be handled by a subclass.
  virtual Value handleEvent(int code, const Value& mp1, const Value& mp2);
  virtual Value keyboard(const Value& mp1, const Value& mp2 = {});
  virtual Value lbDown(const Value& mp1, const Value& mp2 = {});
  virtual Value lbUp(const Value& mp1, const Value& mp2 = {});
  virtual Value lbClick(const Value& mp1, const Value& mp2 = {});
  virtual Value lbDblClick(const Value& mp1, const Value& mp2 = {});
  virtual Value rbDown(const Value& mp1, const Value& mp2 = {});
  virtual Value rbUp(const Value& mp1, const Value& mp2 = {});
  virtual Value rbClick(const Value& mp1, const Value& mp2 = {});
  virtual Value rbDblClick(const Value& mp1, const Value& mp2 = {});
  virtual Value mbDown(const Value& mp1, const Value& mp2 = {});
  virtual Value mbUp(const Value& mp1, const Value& mp2 = {});
  virtual Value mbClick(const Value& mp1, const Value& mp2 = {});
  virtual Value motion(const Value& mp1, const Value& mp2 = {});
  virtual Value wheel(const Value& mp1, const Value& mp2 = {});
  virtual Value setInputFocus(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value killInputFocus(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value setDisplayFocus(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value killDisplayFocus(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value paint(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value close(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value activate(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value itemMarked(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value itemSelected(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value tabActivate(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value scroll(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value move(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value resize(const Value& mp1 = {}, const Value& mp2 = {});
  virtual Value quit(const Value& mp1 = {}, const Value& mp2 = {});

  bool hasInputFocus() const;
  // Whether a left click gives this part the input focus (pointerFocus and the kind of
  // part); the part that takes it may be another one (a combo box for its edit line).
  virtual bool takesFocusOnClick() const { return false; }
  virtual WindowRef focusTargetOnClick();
  // A part inside a composite (the edit line of a combo box) hands its focus to the
  // composite: clicks focus the composite, which passes keys on.
  void setFocusProxy(const WindowRef& composite) { focusProxy_ = composite; }
  WindowRef focusProxy() const { return focusProxy_.lock(); }
  // False while the part's children are out of sight (a tab page in the background).
  virtual bool showsChildren() const { return true; }
  // Whether a point of the part's rectangle belongs to it for mouse input (a closed
  // drop-down combo box does not own the room its list opens into).
  virtual bool hitsAt(Point) const { return true; }

  // ---- callback slots ----
  const Value& slot(Slot s) const { return slots_[static_cast<size_t>(s)]; }
  void setSlot(Slot s, const Value& block) { slots_[static_cast<size_t>(s)] = block; }
  // Evaluates the slot's block with (mp1, mp2, self); NIL when the slot is empty.
  Value callSlot(Slot s, const Value& mp1, const Value& mp2);

  // ---- members ----
  Value cargo;
  bool tabStop = false;
  bool pointerFocus = true;
  bool clipChildren = false;
  bool clipSiblings = true;
  Value group;
  Value helpLink;

  // ---- read by the renderer and the backends ----
  WindowRef parent() const { return parent_.lock(); }
  WindowRef owner() const { return owner_.lock(); }
  const std::vector<WindowRef>& children() const { return children_; }
  // Children front-most first (z order; childList keeps creation order).
  std::vector<WindowRef> childrenFrontFirst() const;
  Point pos() const { return pos_; }
  Size size() const { return size_; }
  Rect absoluteRect() const;  // on the desktop, lower-left origin
  Point toLocal(Point desktop) const;
  bool visibleFlag() const { return visible_; }
  bool enabledFlag() const { return enabled_; }
  uint64_t zOrder() const { return z_; }
  Value colorFG() const { return presParam(pp::kFgColor); }
  Value colorBG() const { return presParam(pp::kBgColor); }
  std::string font() const;
  // Top-level part (child of the desktop) this part belongs to; itself for a top-level one.
  WindowRef topLevel();
  // Topmost visible part under a point in this part's coordinates (this part itself when
  // no child is there), or null when the point is outside.
  WindowRef hitTest(Point local);
  // What the part shows as its name (caption, title), empty when nothing.
  virtual std::string labelText() const { return {}; }
  // "XbpSle" or "XbpPushButton 'Test'" for messages.
  std::string describe() const;

  Value selfValue() { return Value(self()); }
  WindowRef selfRef() { return std::static_pointer_cast<XbpWindow>(self()); }

 protected:
  // Raises the run-time error for a method called on a destroyed part and returns false;
  // true when the part may be used.
  bool usable(const char* method);
  // Parts that live on the desktop default to it as parent.
  virtual bool isTopLevelKind() const { return false; }
  // Default size when none is given.
  virtual Size defaultSize() const { return {100, 20}; }
  // Called by create once the part is in the tree.
  virtual void created() {}
  // Takes the arguments of init/create (NIL leaves a value as it is). create does not run
  // the virtual init again, so a subclass's init runs exactly once, from `new`.
  void applyPartArgs(const char* method, const Value& parent, const Value& owner, const Value& pos,
                     const Value& size, const Value& presParam, const Value& visible);
  void attachTo(const WindowRef& newParent);
  void detach();
  void raiseZ();

  WeakWindow parent_;
  WeakWindow owner_;
  WeakWindow focusProxy_;
  std::vector<WindowRef> children_;
  Point pos_;
  Size size_;
  bool visible_ = true;
  bool enabled_ = true;
  PartStatus status_ = PartStatus::initialised;
  uint64_t z_ = 0;
  uint64_t paintSerial_ = 0;
  std::map<int, Value> presParams_;
  std::array<Value, static_cast<size_t>(Slot::count)> slots_;
  std::shared_ptr<XbpPresSpace> ps_;
  int psLocks_ = 0;
  bool posGiven_ = false, sizeGiven_ = false;
};

// The toolkit's `new`: constructs the part and runs its (virtual) init with the arguments.
template <class T, class... A>
std::shared_ptr<T> newPart(A&&... args) {
  auto p = std::make_shared<T>();
  p->init(Value(std::forward<A>(args))...);
  return p;
}

// The `new` by class name: the class's factory, then init with the arguments.
Value newObjectByName(std::string_view className, Args args);

// The value a setData shows: its argument (an explicit NIL included) or, called without
// one, what the data link reads; nullopt when there is neither.
std::optional<Value> dataArgument(Args a, const Value& dataLink);

// The part a value holds, or null (not an object or not a window part).
WindowRef windowOf(const Value& v);

// Raises the run-time error of the window layer and returns the error block's answer
// (canDefault: answering false continues with `fallback`).
Value uiError(int genCode, const std::string& description, const std::string& operation,
              const Value& fallback = {});

// The drawing area of a dialog, the desktop's base: a plain client window.
class XbpIWindow : public XbpWindow {
  XB_CLASS()
 public:
  XbpIWindow() = default;
};

}  // namespace xb
