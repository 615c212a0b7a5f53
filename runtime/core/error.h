// The run-time error system: error objects, the error block, Break and recovery points,
// QUIT and ErrorLevel.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/errcodes.h"
#include "core/object.h"
#include "core/value.h"

namespace xb {

enum Severity { kWarning = 1, kError = 2, kCatastrophic = 3 };

class ErrorObject : public Object {
  XB_CLASS()
 public:
  int genCode = 0;
  std::string subSystem = "BASE";
  int subCode = 0;
  int severity = kError;
  std::string description;
  std::string fileName;
  std::string operation;
  int osCode = 0;
  Value args;  // NIL or an array of the operands
  bool canRetry = false;
  bool canDefault = false;
  bool canSubstitute = false;
  Value cargo;
  int thread = 1;
  int tries = 0;
};
using ErrorRef = std::shared_ptr<ErrorObject>;

// Builds an error object; the flags say which answers the failing operation understands.
ErrorRef makeError(int genCode, std::string description, std::string operation = {},
                   std::string subSystem = "BASE");

// The current error block; setting returns the previous one. Until an application installs
// its own, a default block writes the error to the standard error stream and ends the
// application with exit code 1.
Value ErrorBlock();
Value ErrorBlock(const Value& newBlock);

// Hands the error to the error block and returns its answer as it is.
Value raiseError(const ErrorRef& e);

// The full protocol of a failing operation: raise the error; answer true retries (the
// retry function returns a value when it now succeeds, nullopt when it failed again, which
// raises once more with `tries` counted), false takes the default, anything else
// substitutes the result. An answer the operation cannot take ends the application.
Value settleError(const ErrorRef& e, const std::function<std::optional<Value>()>& retry,
                  const Value& defaultValue = {});
// For operations that only understand a substitute result.
Value substituteError(const ErrorRef& e);

// Control flow signals. They are caught by recovery points and the entry point only.
struct BreakSignal {
  Value value;
};
struct QuitSignal {};

// Throws to the innermost recovery point with the value.
[[noreturn]] void Break(const Value& value = {});
// Runs body; a Break inside it runs recover with the Break value. The C++ form of a
// begin-sequence/recover block. Returns true when the body ran to its end.
bool recoverable(const std::function<void()>& body,
                 const std::function<void(const Value&)>& recover = {});
int recoveryDepth();

// Ends the application: unwinds to the entry point, which runs the exit procedures and
// exits with ErrorLevel().
[[noreturn]] void QUIT();
int ErrorLevel();
int ErrorLevel(int newLevel);  // returns the previous level

}  // namespace xb
