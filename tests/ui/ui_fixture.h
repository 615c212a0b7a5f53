// A headless window layer for each test: fresh backend, empty queue, an error block that
// records run-time errors and lets the operation continue with its default.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backend/headless/headless.h"
#include "core/error.h"
#include "ui/dialog.h"
#include "ui/events.h"

namespace xb::test {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hb = headless::HeadlessBackend::install();
    resetUiForTesting();
    setUiDiagnosticHook([this](const std::string& t) { diags.push_back(t); });
    oldBlock = ErrorBlock(Value(makeBlock([this](Args a) -> Value {
      if (auto e = a[0].as<ErrorObject>()) errors.push_back(e);
      return Value(false);
    })));
  }
  void TearDown() override {
    resetUiForTesting();
    ErrorBlock(oldBlock);
    setBackend(nullptr);
  }

  std::shared_ptr<XbpDialog> dialog(double w = 400, double h = 300) {
    auto d = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(30, 50), pointValue(w, h));
    d->create();
    return d;
  }
  Value area(const std::shared_ptr<XbpDialog>& d) { return Value(d->drawingArea()); }

  bool errorWith(int genCode, const std::string& part) const {
    for (auto& e : errors)
      if (e->genCode == genCode && e->description.find(part) != std::string::npos) return true;
    return false;
  }
  bool diagWith(const std::string& part) const {
    for (auto& d : diags)
      if (d.find(part) != std::string::npos) return true;
    return false;
  }

  std::shared_ptr<headless::HeadlessBackend> hb;
  std::vector<ErrorRef> errors;
  std::vector<std::string> diags;
  Value oldBlock;
};

// A block that appends `name` to a log when evaluated.
inline Value logBlock(std::vector<std::string>& log, std::string name) {
  return Value(makeBlock([&log, name](Args) -> Value {
    log.push_back(name);
    return Value();
  }));
}

}  // namespace xb::test
