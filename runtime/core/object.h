// Objects and class descriptors. Every runtime and toolkit class has a descriptor with its
// name, base class, members and methods; names compare without regard to case. By-name
// access (IsMemberVar, IsMethod, member read/write, method calls) goes through it, so an
// application's own class that declares, say, a `dataLink` member is treated like ours.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "core/value.h"

namespace xb {

class Object;

class ClassDesc {
 public:
  using Getter = std::function<Value(Object&)>;
  using Setter = std::function<void(Object&, const Value&)>;
  using Method = std::function<Value(Object&, Args)>;
  using Factory = std::function<ObjectRef()>;

  // Registers the class under its name. `init` declares members and methods.
  ClassDesc(std::string name, const ClassDesc* base, const std::function<void(ClassDesc&)>& init = {});
  ClassDesc(const ClassDesc&) = delete;
  ClassDesc& operator=(const ClassDesc&) = delete;

  const std::string& name() const { return name_; }
  const ClassDesc* base() const { return base_; }
  bool isDerivedFrom(std::string_view name) const;

  // A member with accessor functions; a null setter makes it read-only.
  ClassDesc& member(std::string name, Getter get, Setter set = {});
  // A member stored in the object's own table of instance variables (classes made at run time).
  ClassDesc& var(std::string name, Value initial = {});
  // A typed C++ data member.
  template <class C, class T>
  ClassDesc& field(std::string name, T C::*ptr);
  ClassDesc& method(std::string name, Method m);
  // How `new` makes an instance by class name (ClassDesc::find(...)->create()).
  ClassDesc& factory(Factory f);

  struct MemberEntry {
    std::string name;
    Getter get;
    Setter set;
  };
  const MemberEntry* findMember(std::string_view name) const;
  const Method* findMethod(std::string_view name) const;
  std::vector<std::string> memberNames() const;  // own and inherited, declaration order
  std::vector<std::string> methodNames() const;
  const std::vector<std::pair<std::string, Value>>& vars() const { return vars_; }

  ObjectRef create() const;
  static const ClassDesc* find(std::string_view name);

 private:
  std::string name_;
  const ClassDesc* base_;
  std::vector<MemberEntry> members_;
  std::map<std::string, size_t, ILess> memberIndex_;
  std::map<std::string, Method, ILess> methods_;
  std::vector<std::string> methodOrder_;
  std::vector<std::pair<std::string, Value>> vars_;
  Factory factory_;
};

class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  virtual const ClassDesc& classDesc() const;
  static const ClassDesc& staticClass();

  const std::string& className() const { return classDesc().name(); }
  bool isDerivedFrom(std::string_view name) const { return classDesc().isDerivedFrom(name); }

  // By-name access. A missing member or method raises the run-time error for it.
  Value get(std::string_view member);
  void set(std::string_view member, const Value& v);
  Value call(std::string_view method, Args args = {});
  Value call(std::string_view method, std::initializer_list<Value> args) {
    return call(method, Args(args));
  }

  // Instance variables declared with ClassDesc::var.
  Value& var(std::string_view name);

  ObjectRef self() { return shared_from_this(); }
  std::weak_ptr<Object> weakSelf() { return weak_from_this(); }

 protected:
  Object() = default;

 private:
  std::map<std::string, Value, ILess> vars_;
  bool varsReady_ = false;
};

// An instance of a class declared at run time: only instance variables and methods of
// its descriptor.
class GenericObject : public Object {
 public:
  explicit GenericObject(const ClassDesc& d) : desc_(d) {}
  const ClassDesc& classDesc() const override { return desc_; }

 private:
  const ClassDesc& desc_;
};

bool IsMemberVar(const Value& obj, std::string_view name);
bool IsMethod(const Value& obj, std::string_view name);
// Sends a message by name. NIL or a non-object receiver raises the run-time error for a
// message that cannot be sent; the error block's answer substitutes the result.
Value Send(const Value& receiver, std::string_view method, Args args = {});
Value Send(const Value& receiver, std::string_view method, std::initializer_list<Value> args);
Value GetMember(const Value& receiver, std::string_view member);
void SetMember(const Value& receiver, std::string_view member, const Value& v);

// ---- typed field binding ----
namespace detail {
template <class T>
Value toValue(const T& v) {
  if constexpr (std::is_same_v<T, Value>) return v;
  else if constexpr (std::is_same_v<T, bool>) return Value(v);
  else if constexpr (std::is_arithmetic_v<T>) return Value(static_cast<double>(v));
  else if constexpr (std::is_same_v<T, std::string>) return Value(v);
  else return Value(v);  // shared_ptr of an object, ArrayRef, BlockRef
}
template <class T>
T fromValue(const Value& v) {
  if constexpr (std::is_same_v<T, Value>) return v;
  else if constexpr (std::is_same_v<T, bool>) return v.isTrue();
  else if constexpr (std::is_arithmetic_v<T>) return static_cast<T>(v.num());
  else if constexpr (std::is_same_v<T, std::string>) return v.str();
  else if constexpr (std::is_same_v<T, ArrayRef>) return v.array();
  else if constexpr (std::is_same_v<T, BlockRef>) return v.block();
  else return std::dynamic_pointer_cast<typename T::element_type>(v.object());
}
}  // namespace detail

template <class C, class T>
ClassDesc& ClassDesc::field(std::string name, T C::*ptr) {
  return member(
      std::move(name), [ptr](Object& o) { return detail::toValue(static_cast<C&>(o).*ptr); },
      [ptr](Object& o, const Value& v) { static_cast<C&>(o).*ptr = detail::fromValue<T>(v); });
}

// Declares the descriptor hooks of a C++ class; define staticClass() in the .cpp file.
#define XB_CLASS()                                                   \
 public:                                                             \
  static const ::xb::ClassDesc& staticClass();                       \
  const ::xb::ClassDesc& classDesc() const override { return staticClass(); }

}  // namespace xb
