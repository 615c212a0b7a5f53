// Installs an error block that records every error and gives a chosen answer; restores
// the previous block and the settings when the test ends.
#pragma once
#include <functional>
#include <vector>

#include "core/error.h"
#include "core/settings.h"

namespace xb::test {

class ErrorCapture {
 public:
  explicit ErrorCapture(std::function<Value(const ErrorRef&)> answer =
                            [](const ErrorRef&) { return Value(false); })
      : answer_(std::move(answer)) {
    previous_ = ErrorBlock(Value(makeBlock([this](Args a) {
      auto e = a[0].as<ErrorObject>();
      errors.push_back(e);
      return answer_(e);
    })));
  }
  ~ErrorCapture() {
    ErrorBlock(previous_);
    resetSettings();
  }
  ErrorCapture(const ErrorCapture&) = delete;
  ErrorCapture& operator=(const ErrorCapture&) = delete;

  void answerWith(std::function<Value(const ErrorRef&)> answer) { answer_ = std::move(answer); }
  const ErrorObject& last() const { return *errors.back(); }

  std::vector<ErrorRef> errors;

 private:
  std::function<Value(const ErrorRef&)> answer_;
  Value previous_;
};

}  // namespace xb::test
