#include "core/object.h"

#include "core/error.h"

namespace xb {
namespace {
std::map<std::string, const ClassDesc*, ILess>& registry() {
  static std::map<std::string, const ClassDesc*, ILess> r;
  return r;
}
}  // namespace

ClassDesc::ClassDesc(std::string name, const ClassDesc* base,
                     const std::function<void(ClassDesc&)>& init)
    : name_(std::move(name)), base_(base) {
  if (init) init(*this);
  registry()[name_] = this;
}

bool ClassDesc::isDerivedFrom(std::string_view name) const {
  for (auto c = this; c; c = c->base_)
    if (iequals(c->name_, name)) return true;
  return false;
}

ClassDesc& ClassDesc::member(std::string name, Getter get, Setter set) {
  auto it = memberIndex_.find(name);
  if (it != memberIndex_.end()) {
    members_[it->second] = {std::move(name), std::move(get), std::move(set)};
  } else {
    memberIndex_[name] = members_.size();
    members_.push_back({std::move(name), std::move(get), std::move(set)});
  }
  return *this;
}

ClassDesc& ClassDesc::var(std::string name, Value initial) {
  vars_.emplace_back(name, std::move(initial));
  std::string key = name;
  return member(
      std::move(name), [key](Object& o) { return o.var(key); },
      [key](Object& o, const Value& v) { o.var(key) = v; });
}

ClassDesc& ClassDesc::method(std::string name, Method m) {
  if (!methods_.count(name)) methodOrder_.push_back(name);
  methods_[std::move(name)] = std::move(m);
  return *this;
}

ClassDesc& ClassDesc::factory(Factory f) {
  factory_ = std::move(f);
  return *this;
}

const ClassDesc::MemberEntry* ClassDesc::findMember(std::string_view name) const {
  for (auto c = this; c; c = c->base_) {
    auto it = c->memberIndex_.find(name);
    if (it != c->memberIndex_.end()) return &c->members_[it->second];
  }
  return nullptr;
}

const ClassDesc::Method* ClassDesc::findMethod(std::string_view name) const {
  for (auto c = this; c; c = c->base_) {
    auto it = c->methods_.find(name);
    if (it != c->methods_.end()) return &it->second;
  }
  return nullptr;
}

std::vector<std::string> ClassDesc::memberNames() const {
  std::vector<std::string> out = base_ ? base_->memberNames() : std::vector<std::string>{};
  for (auto& m : members_) {
    bool seen = false;
    for (auto& o : out) seen = seen || iequals(o, m.name);
    if (!seen) out.push_back(m.name);
  }
  return out;
}

std::vector<std::string> ClassDesc::methodNames() const {
  std::vector<std::string> out = base_ ? base_->methodNames() : std::vector<std::string>{};
  for (auto& m : methodOrder_) {
    bool seen = false;
    for (auto& o : out) seen = seen || iequals(o, m);
    if (!seen) out.push_back(m);
  }
  return out;
}

ObjectRef ClassDesc::create() const {
  if (factory_) return factory_();
  return std::make_shared<GenericObject>(*this);
}

const ClassDesc* ClassDesc::find(std::string_view name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : it->second;
}

const ClassDesc& Object::staticClass() {
  static const ClassDesc d("Object", nullptr);
  return d;
}
const ClassDesc& Object::classDesc() const { return staticClass(); }

Value& Object::var(std::string_view name) {
  if (!varsReady_) {
    varsReady_ = true;
    std::vector<const ClassDesc*> chain;
    for (auto c = &classDesc(); c; c = c->base()) chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
      for (auto& [n, init] : (*it)->vars()) vars_[n] = init;
  }
  auto it = vars_.find(name);
  if (it == vars_.end()) it = vars_.emplace(std::string(name), Value()).first;
  return it->second;
}

Value Object::get(std::string_view member) {
  if (auto m = classDesc().findMember(member)) return m->get(*this);
  auto e = makeError(gen::kNoMember, "Unknown member " + className() + ":" + std::string(member),
                     std::string(member));
  e->args = arrayValue({Value(self())});
  e->canSubstitute = true;
  return substituteError(e);
}

void Object::set(std::string_view member, const Value& v) {
  auto m = classDesc().findMember(member);
  if (m && m->set) {
    m->set(*this, v);
    return;
  }
  auto e = makeError(m ? gen::kReadOnly : gen::kNoMember,
                     (m ? "Read-only member " : "Unknown member ") + className() + ":" +
                         std::string(member),
                     "_" + std::string(member));
  e->args = arrayValue({Value(self()), v});
  e->canDefault = true;
  settleError(e, {}, {});
}

Value Object::call(std::string_view method, Args args) {
  if (auto m = classDesc().findMethod(method)) return (*m)(*this, args);
  auto e = makeError(gen::kNoMethod, "Unknown method " + className() + ":" + std::string(method),
                     std::string(method));
  e->args = arrayValue({Value(self())});
  e->canSubstitute = true;
  return substituteError(e);
}

bool IsMemberVar(const Value& obj, std::string_view name) {
  return obj.isObject() && obj.object()->classDesc().findMember(name) != nullptr;
}
bool IsMethod(const Value& obj, std::string_view name) {
  return obj.isObject() && obj.object()->classDesc().findMethod(name) != nullptr;
}

namespace {
Value notAnObject(const Value& receiver, std::string_view what) {
  auto e = makeError(gen::kNoMethod,
                     "Message " + std::string(what) + " sent to a value of type " + ValType(receiver),
                     std::string(what));
  e->args = arrayValue({receiver});
  e->canSubstitute = true;
  return substituteError(e);
}
}  // namespace

Value Send(const Value& receiver, std::string_view method, Args args) {
  if (!receiver.isObject()) return notAnObject(receiver, method);
  return receiver.object()->call(method, args);
}
Value Send(const Value& receiver, std::string_view method, std::initializer_list<Value> args) {
  return Send(receiver, method, Args(args));
}
Value GetMember(const Value& receiver, std::string_view member) {
  if (!receiver.isObject()) return notAnObject(receiver, member);
  return receiver.object()->get(member);
}
void SetMember(const Value& receiver, std::string_view member, const Value& v) {
  if (!receiver.isObject()) {
    notAnObject(receiver, "_" + std::string(member));
    return;
  }
  receiver.object()->set(member, v);
}

}  // namespace xb
