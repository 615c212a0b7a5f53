// Edit parts: the single-line edit XbpSle and the multi-line XbpMle, on a shared base that
// holds the text, the marked range and the native editing keys and mouse actions.
//
// Positions are 1-based byte positions in the CP850 text. The marked range {start, end}
// marks the characters from the smaller position up to one before the larger; the caret
// stands at `end`. Nothing is marked when both are equal.
#pragma once
#include <string>

#include "ui/window.h"

namespace xb {

// Inner space between the frame of an edit part and its text, in pixels.
inline constexpr double kEditPadding = 3;

class XbpEditBase : public XbpWindow {
  XB_CLASS()
 public:
  // setData(text) shows the text; setData() with no argument takes it from dataLink.
  // Returns true. Resets `changed` and puts the caret at the start.
  virtual Value setData(Args a);
  // The text; with a dataLink the text is also written through it.
  virtual Value getData(Args a = {});
  Value editBuffer() const { return Value(text_); }
  Value queryMarked() const;
  virtual Value setMarked(const Value& range);
  virtual Value setFirstChar(const Value& pos);
  Value queryFirstChar() const { return Value(firstChar_); }
  // Clipboard: copy returns the number of characters copied (0: nothing marked, the
  // clipboard is left alone); cut and paste need `editable`.
  virtual Value copyMarked();
  virtual Value cutMarked();
  virtual Value pasteMarked();
  virtual Value delMarked();
  // Empties the text. Returns true.
  virtual Value clear();

  Value keyboard(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDown(const Value& mp1, const Value& mp2 = {}) override;
  Value lbUp(const Value& mp1, const Value& mp2 = {}) override;
  Value lbDblClick(const Value& mp1, const Value& mp2 = {}) override;
  Value motion(const Value& mp1, const Value& mp2 = {}) override;
  bool takesFocusOnClick() const override { return true; }
  std::string labelText() const override { return text_; }

  // The edit part's own handling of a key, without the callback slot; true when the key
  // meant something here.
  virtual bool nativeKey(int key);

  // ---- members ----
  Value dataLink;
  bool editable = true;
  bool changed = false;
  int bufferLength = 32;
  bool autoTab = false;
  bool unReadable = false;  // shows every character as '*'
  int align = 1;            // 1 left, 2 right, 3 centre

  // ---- read by the renderer ----
  const std::string& text() const { return text_; }
  int markStart() const { return anchor_; }
  int markEnd() const { return caret_; }
  int caret() const { return caret_; }
  int firstChar() const { return firstChar_; }
  // Pixel x of the boundary before position `pos` (1-based), relative to the part.
  double caretX(int pos) const;
  // The position whose boundary lies nearest to x (relative to the part) on the line that
  // starts at `lineStart` (1-based) and holds `lineLen` characters.
  int positionAtX(double x, int lineStart, int lineLen) const;

 protected:
  int len() const { return static_cast<int>(text_.size()); }
  int clampPos(int p) const { return p < 1 ? 1 : p > len() + 1 ? len() + 1 : p; }
  // Replaces the marked characters with `ins` (cut to what bufferLength allows); the caret
  // ends after the inserted text. Returns the number of characters inserted.
  int replaceMarked(const std::string& ins);
  void moveCaret(int pos, bool extend);
  virtual void keepCaretVisible();
  std::string markedText() const;
  virtual std::string lineBreak() const { return {}; }
  // The line around a position: 1-based start and length (the whole text for one line).
  virtual void lineOf(int pos, int& start, int& length) const;
  virtual int positionAtPoint(Point local) const;
  // The first position shown on the line that starts at lineStart.
  virtual int visibleStart(int lineStart) const { return lineStart > firstChar_ ? lineStart : firstChar_; }
  // One caret step from pos (dir +1 or -1), a line break counting as one step.
  int stepFrom(int pos, int dir) const;

  std::string text_;
  int anchor_ = 1;
  int caret_ = 1;
  int firstChar_ = 1;
  bool dragging_ = false;
};

class XbpSle : public XbpEditBase {
  XB_CLASS()
 public:
  XbpSle() = default;
};

class XbpMle : public XbpEditBase {
  XB_CLASS()
 public:
  XbpMle() { bufferLength = 32000; }
  bool nativeKey(int key) override;
  bool wordWrap = true;
  bool ignoreTab = true;
  // First visible line (1-based), for the renderer.
  int firstLine() const { return firstLine_; }
  int lineCount() const;

 protected:
  std::string lineBreak() const override { return "\r\n"; }
  void lineOf(int pos, int& start, int& length) const override;
  int positionAtPoint(Point local) const override;
  void keepCaretVisible() override;
  int visibleStart(int lineStart) const override { return lineStart; }
  int lineNumberOf(int pos) const;
  // Start of the n-th line (1-based), or 0 when there are fewer lines.
  int lineStartOf(int n) const;

  int firstLine_ = 1;
};

}  // namespace xb
