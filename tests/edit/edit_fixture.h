// Settings and error block for the edit tests: German dates with century, and an error
// block that records every error and answers "default" (false), so a test can assert both
// the error and what the operation left behind.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "core/error.h"
#include "core/settings.h"
#include "core/value.h"

namespace xb::test {

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSettings();
    Set(set::kDateFormat, "dd.mm.yyyy");
    Set(set::kCentury, true);
    previous_ = ErrorBlock(Value(makeBlock([this](Args a) -> Value {
      if (auto e = a[0].as<ErrorObject>()) errors.push_back(e);
      return false;
    })));
  }
  void TearDown() override {
    ErrorBlock(previous_);
    resetSettings();
  }
  int lastGenCode() const { return errors.empty() ? 0 : errors.back()->genCode; }

  std::vector<ErrorRef> errors;

 private:
  Value previous_;
};

}  // namespace xb::test
