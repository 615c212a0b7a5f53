#include "core/error.h"

#include <cstdio>
#include <vector>

#include "core/output.h"

namespace xb {

const ClassDesc& ErrorObject::staticClass() {
  static const ClassDesc d("Error", &Object::staticClass(), [](ClassDesc& c) {
    c.field("genCode", &ErrorObject::genCode)
        .field("subSystem", &ErrorObject::subSystem)
        .field("subCode", &ErrorObject::subCode)
        .field("severity", &ErrorObject::severity)
        .field("description", &ErrorObject::description)
        .field("fileName", &ErrorObject::fileName)
        .field("operation", &ErrorObject::operation)
        .field("osCode", &ErrorObject::osCode)
        .field("args", &ErrorObject::args)
        .field("canRetry", &ErrorObject::canRetry)
        .field("canDefault", &ErrorObject::canDefault)
        .field("canSubstitute", &ErrorObject::canSubstitute)
        .field("cargo", &ErrorObject::cargo)
        .field("thread", &ErrorObject::thread)
        .field("tries", &ErrorObject::tries)
        .factory([] { return std::make_shared<ErrorObject>(); });
  });
  return d;
}

ErrorRef makeError(int genCode, std::string description, std::string operation,
                   std::string subSystem) {
  auto e = std::make_shared<ErrorObject>();
  e->genCode = genCode;
  e->description = std::move(description);
  e->operation = std::move(operation);
  e->subSystem = std::move(subSystem);
  return e;
}

namespace {

struct ErrorState {
  Value block;
  bool blockSet = false;
  int errorLevel = 0;
  int recoveryDepth = 0;
};
ErrorState& state() {
  static ErrorState s;
  return s;
}

std::string describe(const ErrorObject& e) {
  std::string t = "Error " + e.subSystem + "/" + std::to_string(e.genCode);
  if (!e.description.empty()) t += "  " + e.description;
  if (!e.operation.empty()) t += ": " + e.operation;
  if (!e.fileName.empty()) t += " (" + e.fileName + ")";
  if (e.osCode) t += " [OS " + std::to_string(e.osCode) + "]";
  return t;
}

// Until the application installs its own block: report and end with exit code 1.
Value defaultBlock() {
  static Value b = Value(makeBlock([](Args a) -> Value {
    if (auto e = a[0].as<ErrorObject>()) {
      OutErr(describe(*e) + "\r\n");
    }
    ErrorLevel(1);
    QUIT();
  }));
  return b;
}

}  // namespace

Value ErrorBlock() { return state().blockSet ? state().block : defaultBlock(); }

Value ErrorBlock(const Value& newBlock) {
  Value old = ErrorBlock();
  state().block = newBlock;
  state().blockSet = true;
  return old;
}

Value raiseError(const ErrorRef& e) {
  Value block = ErrorBlock();
  if (!block.isBlock()) {
    // An error block that is not a block cannot answer; report and end.
    OutErr(describe(*e) + "\r\n");
    ErrorLevel(1);
    QUIT();
  }
  return block.block()->eval({Value(e)});
}

Value settleError(const ErrorRef& e, const std::function<std::optional<Value>()>& retry,
                  const Value& defaultValue) {
  for (;;) {
    Value answer = raiseError(e);
    if (answer.isLogical()) {
      if (answer.logical() && e->canRetry && retry) {
        ++e->tries;
        if (auto r = retry()) return *r;
        continue;
      }
      if (!answer.logical() && e->canDefault) return defaultValue;
    }
    if (e->canSubstitute) return answer;
    if (e->canDefault && answer.isNil()) return defaultValue;
    // The handler gave an answer this operation cannot take.
    OutErr(describe(*e) + "\r\n");
    ErrorLevel(1);
    QUIT();
  }
}

Value substituteError(const ErrorRef& e) {
  e->canSubstitute = true;
  return settleError(e, {}, {});
}

void Break(const Value& value) { throw BreakSignal{value}; }

bool recoverable(const std::function<void()>& body,
                 const std::function<void(const Value&)>& recover) {
  struct Depth {
    Depth() { ++state().recoveryDepth; }
    ~Depth() { --state().recoveryDepth; }
  };
  Value caught;
  {
    Depth d;
    try {
      body();
      return true;
    } catch (BreakSignal& b) {
      caught = std::move(b.value);
    }
  }
  if (recover) recover(caught);
  return false;
}

int recoveryDepth() { return state().recoveryDepth; }

void QUIT() { throw QuitSignal{}; }

int ErrorLevel() { return state().errorLevel; }
int ErrorLevel(int newLevel) {
  int old = state().errorLevel;
  state().errorLevel = newLevel;
  return old;
}

}  // namespace xb
