// The dynamic value of the runtime: NIL, character, number, date, logical, array, object or
// code block. Arrays, objects and blocks are shared and compare by identity.
#pragma once
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace xb {

class Object;
class Block;
class Array;
using ObjectRef = std::shared_ptr<Object>;
using BlockRef = std::shared_ptr<Block>;
using ArrayRef = std::shared_ptr<Array>;

enum class Type : uint8_t { Nil, Character, Numeric, Date, Logical, Array, Object, Block };

// A number remembers the width and decimals it came with (a table field, Str, Round), so
// formatting without a picture can use them; -1 means "not given".
struct Number {
  double value = 0;
  int16_t width = -1;
  int16_t decimals = -1;
};

struct DateValue {
  int32_t day = 0;  // Julian day number, 0 = empty date
};

class Value {
 public:
  Value() noexcept = default;
  Value(std::nullptr_t) noexcept {}
  Value(bool b) : v_(b) {}
  Value(int n) : v_(Number{static_cast<double>(n)}) {}
  Value(long n) : v_(Number{static_cast<double>(n)}) {}
  Value(long long n) : v_(Number{static_cast<double>(n)}) {}
  Value(unsigned n) : v_(Number{static_cast<double>(n)}) {}
  Value(unsigned long n) : v_(Number{static_cast<double>(n)}) {}
  Value(double n) : v_(Number{n}) {}
  Value(Number n) : v_(n) {}
  Value(DateValue d) : v_(d) {}
  Value(const char* s) : v_(std::string(s)) {}
  // Other pointers would silently become logicals.
  template <class T>
  Value(T*) = delete;
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(ArrayRef a);
  Value(BlockRef b);
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Value(std::shared_ptr<T> o) : Value(ObjectRef(std::move(o)), 0) {}

  static Value date(int32_t dayNumber) { return Value(DateValue{dayNumber}); }
  static Value number(double v, int width, int decimals) {
    return Value(Number{v, static_cast<int16_t>(width), static_cast<int16_t>(decimals)});
  }

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isNil() const { return type() == Type::Nil; }
  bool isChar() const { return type() == Type::Character; }
  bool isNum() const { return type() == Type::Numeric; }
  bool isDate() const { return type() == Type::Date; }
  bool isLogical() const { return type() == Type::Logical; }
  bool isArray() const { return type() == Type::Array; }
  bool isObject() const { return type() == Type::Object; }
  bool isBlock() const { return type() == Type::Block; }

  // Typed access. A value of another kind gives the empty value of the asked kind ("",
  // 0, empty date, false, null reference), so callers test the kind first where it matters.
  const std::string& str() const;
  double num() const;
  const Number& number() const;
  int32_t date() const;
  bool logical() const;
  const ArrayRef& array() const;
  const ObjectRef& object() const;
  const BlockRef& block() const;
  template <class T>
  std::shared_ptr<T> as() const {
    return std::dynamic_pointer_cast<T>(object());
  }

  bool isTrue() const { return isLogical() && logical(); }

  // Makes this value the text `s`. A value that already holds a text keeps its string and
  // its capacity, so a loop that reads many texts into the same value allocates only when
  // a text is longer than any before.
  [[gnu::always_inline]] void assignText(std::string_view s) {
    auto* t = std::get_if<std::string>(&v_);
    if (t && s.size() <= t->size()) {
      // Cheaper than assign(), which is written for every case. Before the resize, and
      // every byte read before any is written: s may be a part of *t.
      moveShort(t->data(), s.data(), s.size());
      if (s.size() != t->size()) t->resize(s.size());  // a field's texts all have its width
    } else {
      assignOtherText(s);
    }
  }
  // The same for the other kinds a table field gives: in place when the kind is already
  // there, without building a value and going through the variant's general assignment.
  void assignNumber(Number n) {
    if (auto* p = std::get_if<Number>(&v_)) *p = n;
    else v_.emplace<Number>(n);
  }
  void assignDate(int32_t dayNumber) {
    if (auto* p = std::get_if<DateValue>(&v_)) p->day = dayNumber;
    else v_.emplace<DateValue>(DateValue{dayNumber});
  }
  void assignLogical(bool b) {
    if (auto* p = std::get_if<bool>(&v_)) *p = b;
    else v_.emplace<bool>(b);
  }

 private:
  void assignOtherText(std::string_view s);
  // memmove, with the short texts of table fields and edit buffers copied in line.
  [[gnu::always_inline]] static void moveShort(char* d, const char* s, size_t n) {
    auto pair = [&](auto tag) {
      using Chunk = decltype(tag);
      Chunk a, b;
      std::memcpy(&a, s, sizeof a);
      std::memcpy(&b, s + n - sizeof b, sizeof b);
      std::memcpy(d, &a, sizeof a);
      std::memcpy(d + n - sizeof b, &b, sizeof b);
    };
    struct Bytes16 {
      uint64_t lo, hi;
    };
    if (n >= 16 && n <= 32) pair(Bytes16{});
    else if (n >= 8 && n < 16) pair(uint64_t{});
    else if (n >= 4 && n < 8) pair(uint32_t{});
    else std::memmove(d, s, n);
  }
  Value(ObjectRef o, int);
  std::variant<std::monostate, std::string, Number, DateValue, bool, ArrayRef, ObjectRef,
               BlockRef>
      v_;
};

// "U" for NIL, else "C", "N", "D", "L", "A", "O", "B".
std::string ValType(const Value& v);
char valTypeChar(const Value& v);

// Exactly equal (==): strings must be identical, references the same object. Values of
// different kinds are unequal (NIL is unequal to every number).
bool exactlyEqual(const Value& a, const Value& b);
// Equal (=): like exactlyEqual, but a string equals another when it begins with it
// (an empty right side always matches).
bool equal(const Value& a, const Value& b);

// The arguments a block or method receives. size() is PCount: an explicit NIL differs
// from a missing argument. Out-of-range access gives NIL.
class Args {
 public:
  Args() = default;
  Args(std::span<const Value> s) : s_(s) {}
  Args(std::initializer_list<Value> l) : s_(l.begin(), l.size()) {}
  Args(const std::vector<Value>& v) : s_(v) {}
  size_t size() const { return s_.size(); }
  bool empty() const { return s_.empty(); }
  const Value& operator[](size_t i) const;
  std::span<const Value> span() const { return s_; }

 private:
  std::span<const Value> s_;
};

// A code block: a shared callable taking any number of values.
class Block {
 public:
  using Fn = std::function<Value(Args)>;
  explicit Block(Fn fn) : fn_(std::move(fn)) {}
  Value eval(Args args) const { return fn_(args); }
  Value operator()(std::initializer_list<Value> args) const { return fn_(Args(args)); }

 private:
  Fn fn_;
};

inline BlockRef makeBlock(Block::Fn fn) { return std::make_shared<Block>(std::move(fn)); }

// A 1-based array of values.
class Array {
 public:
  Array() = default;
  explicit Array(std::vector<Value> items) : items_(std::move(items)) {}
  size_t size() const { return items_.size(); }
  // 1-based access; out of range raises a bound error through the error block.
  Value at(size_t i) const;
  void put(size_t i, Value v);
  void add(Value v) { items_.push_back(std::move(v)); }
  void resize(size_t n) { items_.resize(n); }
  void insert(size_t i, Value v);  // 1-based, i up to size()+1
  void erase(size_t i);            // 1-based
  std::vector<Value>& items() { return items_; }
  const std::vector<Value>& items() const { return items_; }

 private:
  std::vector<Value> items_;
};

inline ArrayRef makeArray(std::vector<Value> items = {}) {
  return std::make_shared<Array>(std::move(items));
}
inline Value arrayValue(std::initializer_list<Value> items) {
  return Value(makeArray(std::vector<Value>(items)));
}

// Evaluates a code block. A value that is not a block raises the run-time error for that
// (through the error block); the answer substitutes the result.
Value Eval(const Value& block, Args args = {});
Value Eval(const Value& block, std::initializer_list<Value> args);

// Array helpers with the runtime's names.
size_t Len(const Value& v);
Value AAdd(const Value& array, Value item);

}  // namespace xb
