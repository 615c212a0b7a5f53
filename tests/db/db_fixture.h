// Shared set-up of the database tests: a temporary directory, a fresh database layer and
// an error block that records every error and answers with the default.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/settings.h"
#include "db/db.h"

namespace xb::test {

namespace fs = std::filesystem;

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db::resetForTesting();
    resetSettings();
    dir = fs::temp_directory_path() /
          ("xb-db-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    previous = ErrorBlock(Value(makeBlock([this](Args a) {
      auto e = a[0].as<ErrorObject>();
      errors.push_back(e);
      return answer ? answer(e) : Value(false);
    })));
  }
  void TearDown() override {
    answer = [](const ErrorRef&) { return Value(false); };
    DbCloseAll();
    db::resetForTesting();
    ErrorBlock(previous);
    resetSettings();
    fs::remove_all(dir);
  }

  std::string path(const std::string& name) const { return (dir / name).string(); }

  // The customer table most tests use: text, number with decimals, date, logical.
  std::string makeCustomers(const std::string& name = "cust.dbf") {
    std::string p = path(name);
    EXPECT_TRUE(DbCreate(p, arrayValue({arrayValue({"NAME", "C", 20, 0}), arrayValue({"AMOUNT", "N", 10, 2}),
                                        arrayValue({"BORN", "D", 8, 0}), arrayValue({"ACTIVE", "L", 1, 0})})));
    return p;
  }

  // Opens `file` shared in a new area and appends rows {name, amount}.
  void fill(const std::string& file, const std::vector<std::pair<std::string, double>>& rows) {
    ASSERT_TRUE(DbUseArea(true, "", file, "FILL", true));
    for (auto& [n, v] : rows) {
      ASSERT_TRUE(DbAppend());
      FieldPut("NAME", n);
      FieldPut("AMOUNT", v);
    }
    DbCloseArea();
  }

  const ErrorObject& lastError() const { return *errors.back(); }
  int lastGenCode() const { return errors.empty() ? 0 : errors.back()->genCode; }

  fs::path dir;
  std::vector<ErrorRef> errors;
  std::function<Value(const ErrorRef&)> answer;
  Value previous;
};

inline std::string readFile(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
inline void writeFile(const std::string& p, const std::string& data) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << data;
}

}  // namespace xb::test
