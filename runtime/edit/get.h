// The masked-edit engine: one value of type character, number, date or logical, shown
// through a picture, edited in place and turned back into a value. The engine reads and
// writes its variable only through its block (no argument: read; one argument: write).
// With the focus, `buffer` after a load is exactly Transform(value, picture): both use
// the formatting core of edit/picture.h.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/object.h"
#include "core/value.h"
#include "edit/picture.h"

namespace xb {

class Get : public Object {
  XB_CLASS()
 public:
  Get() = default;

  // new( row, col, block, name, picture ): creates and initialises an engine.
  static std::shared_ptr<Get> New(const Value& row, const Value& col, const Value& block,
                                  const Value& name = {}, const Value& picture = {}) {
    return make<Get>(row, col, block, name, picture);
  }
  // The same for a subclass (the edit field's invisible engine).
  template <class T>
  static std::shared_ptr<T> make(const Value& row, const Value& col, const Value& block,
                                 const Value& name = {}, const Value& picture = {}) {
    auto g = std::make_shared<T>();
    g->row = row;
    g->col = col;
    g->init(block, name, picture);
    return g;
  }
  // The engine's own initialisation: variable block, variable name, picture, and the two
  // optional further arguments, stored as `preBlock` and `postBlock` (NIL or blocks).
  virtual void init(const Value& block, const Value& name, const Value& picture,
                    const Value& preBlock = {}, const Value& postBlock = {});
  // Class initialisation: registers the class descriptor and returns it.
  static const ClassDesc& initClass();

  // The drawing step, run at the end of every method. There is no screen here: the base
  // engine works out the visible part of the text (scrolling of "@S<n>"), which is what a
  // painter shows; a subclass replaces it to draw (or, for the edit field, to do nothing).
  virtual void display();

  // ---- members ----
  // The formatted text; NIL before the first load or after NIL was assigned.
  Value buffer() const;
  // A text shorter than the template is padded with blanks (the edit field trims numbers),
  // the template's literals are put back; a longer text or another kind is refused with a
  // run-time error and changes nothing. NIL is accepted.
  virtual void setBuffer(const Value& text);
  int pos() const { return pos_; }
  void setPos(const Value& p);  // clamped to 1 .. length + 1
  std::string type() const;     // "C", "N", "D", "L", or "U" for NIL
  const Value& picture() const { return picture_; }
  void setPicture(const Value& picture);  // text or NIL; reloads the text
  bool hasFocus() const { return hasFocus_; }
  bool clear() const { return clear_; }
  void setClear(const Value& flag);
  bool typeOut() const { return typeOut_; }
  bool rejected() const { return rejected_; }
  bool changed() const { return changed_; }
  const Value& original() const { return original_; }
  const Value& block() const { return block_; }
  const std::string& name() const { return name_; }
  const Value& preBlock() const { return preBlock_; }
  const Value& postBlock() const { return postBlock_; }
  Value row, col;

  // The part of the text a screen shows (all of it without "@S").
  const std::string& visibleText() const { return visible_; }
  int scrollOffset() const { return scrollOffset_; }

  // ---- methods ----
  virtual void setFocus();
  virtual void killFocus();
  virtual void reset();
  virtual void UpdateBuffer();
  virtual void _assign();
  virtual bool badDate() const;
  virtual void home();
  virtual void _End();
  virtual void Left();
  virtual void Right();
  virtual void ToDecPos();
  // One character typed; a longer text types each of its characters in turn.
  virtual void Insert(std::string_view ch);
  virtual void Overstrike(std::string_view ch);
  virtual void BackSpace();
  virtual void Delete();
  virtual void DelWordLeft();
  virtual void DelWordRight();
  virtual void DelEnd();
  virtual void CondClear();

  // The value the text stands for, as _assign would write it; nullopt when the text is no
  // value (a bad date, the overflow stars of a number).
  std::optional<Value> untransform() const;

 protected:
  Value varGet() const;
  void varPut(const Value& v) const;

 private:
  void load();
  void ensureText();  // a NIL buffer is reloaded from the variable
  void typeChar(unsigned char c, bool insert);
  void finishEdit();
  int firstEditable() const;
  int lastEditable() const;
  int nextEditable(int p) const;  // 1-based positions; 0 = none
  int prevEditable(int p) const;
  int runEnd(int p) const;
  bool editableAt(int p) const;
  void removeAt(int p, int count);

  Value block_;
  std::string name_;
  Value picture_;
  Value preBlock_, postBlock_;
  edit::Picture pic_;
  edit::Layout layout_;
  bool loaded_ = false;    // layout_ and original_ come from a load
  bool haveText_ = false;  // buffer is not NIL
  std::string text_;
  std::string loadedText_;  // the text of `original`
  Value original_;
  char typeLetter_ = 'U';  // ValType of `original`
  int pos_ = 1;
  bool hasFocus_ = false;
  bool clear_ = false;
  bool typeOut_ = false;
  bool rejected_ = false;
  bool changed_ = false;
  std::string visible_;
  int scrollOffset_ = 0;
};

}  // namespace xb
