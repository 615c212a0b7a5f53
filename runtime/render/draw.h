// What a part draws, apart from how it is drawn. A part's look is a short list of drawing
// operations in the part's own pixel coordinates (origin top-left, y down); the Cairo
// painter executes it on an image, and a character-cell painter can execute the same list
// in a terminal. Colours are the runtime's colour numbers, text is CP850.
#pragma once
#include <string>
#include <variant>
#include <vector>

namespace xb::render {

struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
  double right() const { return x + w; }
  double bottom() const { return y + h; }
  Rect inset(double d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
  Rect moved(double dx, double dy) const { return {x + dx, y + dy, w, h}; }
  Rect intersect(const Rect& o) const;
  Rect unite(const Rect& o) const;  // bounding box; an empty side is ignored
  bool contains(double px, double py) const {
    return px >= x && py >= y && px < x + w && py < y + h;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Font {
  std::string family = "DejaVu Sans";
  double points = 9;
  bool bold = false;
  bool italic = false;
  friend bool operator==(const Font&, const Font&) = default;
};
// Reads a compound font name "size.Family [Bold] [Italic]" ("10.DejaVu Sans Bold"); a name
// without a size keeps 9 points. An empty name gives the default font.
Font parseFont(const std::string& compoundName);
std::string compoundName(const Font& f);

enum class FrameStyle : unsigned char {
  Line,     // one line in the op's colour
  Raised,   // 3D, light top-left: buttons, menus
  Sunken,   // 3D, dark top-left: edit lines, lists
  Pressed,  // a pressed button: flat dark line with a shadow inside
  Etched,   // group boxes
  Focus,    // dotted focus rectangle
};

enum class HAlign : unsigned char { Left, Center, Right };
enum class VAlign : unsigned char { Top, Center, Bottom };

struct FillOp {
  Rect r;
  double colour;
};

struct FrameOp {
  Rect r;
  FrameStyle style = FrameStyle::Line;
  double colour = 0;  // Line and Focus
  double width = 1;
};

struct LineOp {
  double x1, y1, x2, y2;
  double colour = 0;
  double width = 1;
  bool dashed = false;
};

enum class Direction : unsigned char { Down, Up, Left, Right };
// A small filled arrow head centred in the rectangle (drop-down buttons, scroll bars).
struct ArrowOp {
  Rect r;
  Direction dir = Direction::Down;
  double colour = 0;
};

// One line of text in a box. Byte indices refer to the CP850 text.
struct TextOp {
  Rect box;  // also the clip
  std::string text;
  Font font;
  double fg = 0;
  HAlign halign = HAlign::Left;
  VAlign valign = VAlign::Center;
  std::vector<double> tabStops;  // pixel positions from the left of the box
  int firstChar = 0;             // index of the first character shown at the left edge
  int mnemonic = -1;             // index of the underlined character
  int selStart = 0, selEnd = 0;  // marked range [start, end)
  double selFg = 0, selBg = 0;
  int caret = -1;  // caret before this index; -1 no caret
  bool embossed = false;  // disabled text: drawn with a light shadow
};

using DrawOp = std::variant<FillOp, FrameOp, LineOp, ArrowOp, TextOp>;
using DrawList = std::vector<DrawOp>;

// Text measures a look needs to lay out text. The Cairo painter measures with Pango; a
// cell painter counts characters.
class Metrics {
 public:
  virtual ~Metrics() = default;
  virtual double lineHeight(const Font& f) = 0;
  virtual double textWidth(const Font& f, const std::string& cp850) = 0;
  // Width of the digit 0: the unit of list tab stops.
  virtual double charWidth(const Font& f) = 0;
  // x of the caret before `index` (0-based) of the text laid out from x 0.
  virtual double xOfIndex(const Font& f, const std::string& cp850, int index) = 0;
  // The index whose caret position is nearest to x (0 .. size).
  virtual int indexAtX(const Font& f, const std::string& cp850, double x) = 0;
};

}  // namespace xb::render
