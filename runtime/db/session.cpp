#include "db/session.h"

#include <memory>

#include "db/db.h"

namespace xb {
namespace db {
namespace {

std::shared_ptr<Session>& defaultRef() {
  static auto s = std::make_shared<Session>();
  return s;
}

// The object DacSession() returns: the class itself, answering getDefault.
class SessionClass : public Object {
  XB_CLASS()
};

}  // namespace

const ClassDesc& Session::staticClass() {
  static const ClassDesc d("DacSession", &Object::staticClass(), [](ClassDesc& c) {
    c.method("getLastError", [](Object& o, Args) { return Value(static_cast<Session&>(o).lastError); })
        .method("getLastMessage", [](Object& o, Args) { return Value(static_cast<Session&>(o).lastMessage); });
  });
  return d;
}

const ClassDesc& SessionClass::staticClass() {
  static const ClassDesc d("DacSessionClass", &Object::staticClass(), [](ClassDesc& c) {
    c.method("getDefault", [](Object&, Args) { return Value(defaultRef()); });
  });
  return d;
}

Session& defaultSession() { return *defaultRef(); }

}  // namespace db

Value DbSession() { return Value(db::defaultRef()); }

Value DacSession() {
  static auto cls = std::make_shared<db::SessionClass>();
  return Value(cls);
}

}  // namespace xb
