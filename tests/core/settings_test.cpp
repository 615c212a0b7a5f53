#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/output.h"
#include "core/settings.h"
#include "core/system.h"
#include "support/error_capture.h"

namespace xb {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string console;
void captureConsole(std::string_view t) { console += t; }

TEST(SetTest, ReturnsTheOldValueAndTakesOnOff) {
  test::ErrorCapture errors;
  EXPECT_FALSE(Set(set::kInsert).logical());
  EXPECT_FALSE(Set(set::kInsert, true).logical());
  EXPECT_TRUE(Set(set::kInsert, "OFF").logical());
  EXPECT_FALSE(Set(set::kInsert).logical());
  Set(set::kInsert, "on");
  EXPECT_TRUE(setFlag(set::kInsert));
  EXPECT_EQ(Set(set::kDateFormat, "dd.mm.yyyy").str(), "mm/dd/yy");
  EXPECT_EQ(setText(set::kDateFormat), "dd.mm.yyyy");
  EXPECT_TRUE(errors.errors.empty());
}

TEST(SetTest, EveryNumberTheToolkitUsesExists) {
  test::ErrorCapture errors;
  for (int n : {4, 8, 17, 18, 19, 21, 23, 29, 40, 41}) {
    Set(n);
    EXPECT_TRUE(errors.errors.empty()) << n;
  }
}

TEST(SetTest, UnknownNumbersAndWrongValuesRaiseErrorsNamingThem) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value(false); });
  Set(999);
  ASSERT_EQ(errors.errors.size(), 1u);
  EXPECT_EQ(errors.last().genCode, gen::kUnknownSetting);
  EXPECT_NE(errors.last().description.find("999"), std::string::npos);
  Set(set::kInsert, 5);  // not a switch value: the setting stays as it was
  EXPECT_EQ(errors.errors.size(), 2u);
  EXPECT_FALSE(setFlag(set::kInsert));
  Set(set::kDateFormat, Value());
  EXPECT_EQ(errors.errors.size(), 3u);
  EXPECT_EQ(setText(set::kDateFormat), "mm/dd/yy");
}

TEST(OutputTest, AlternateFileGetsCp850WithCrLfAndAppendsWhenAdditive) {
  test::ErrorCapture errors;
  fs::path file = fs::temp_directory_path() / ("xb-alt-" + std::to_string(::getpid()) + ".txt");
  console.clear();
  setConsoleSink(captureConsole);
  Set(set::kAltFile, file.string());
  Set(set::kAlternate, true);
  QOut({cp("Grüße"), 12, true});
  QQOut({"!"});
  Set(set::kAlternate, false);
  QOut({"console only"});
  Set(set::kAltFile, "");
  EXPECT_EQ(readFile(file), "\r\nGr\x81\xE1" "e         12 .T.!");
  Set(set::kAltFile, file.string(), true);  // additive: appended
  Set(set::kAlternate, true);
  QOut({"more"});
  Set(set::kAltFile, "");
  EXPECT_EQ(readFile(file), "\r\nGr\x81\xE1" "e         12 .T.!\r\nmore");
  Set(set::kConsole, false);
  QOut({"hidden"});
  setConsoleSink(nullptr);
  EXPECT_EQ(console, "\r\nGr\x81\xE1" "e         12 .T.!\r\nconsole only\r\nmore");
  fs::remove(file);
  EXPECT_TRUE(errors.errors.empty());
}

TEST(SystemTest, NamedVariablesAndDosErrorMessages) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value("none"); });
  MemVarPut("oCB", 5);
  EXPECT_TRUE(MemVarExists("OCB"));
  EXPECT_EQ(MemVarGet("ocb").num(), 5);
  MemVarRelease("oCB");
  EXPECT_EQ(MemVarGet("oCB").str(), "none");
  EXPECT_EQ(errors.last().genCode, gen::kNoMember);
  EXPECT_NE(errors.last().description.find("oCB"), std::string::npos);
  EXPECT_EQ(DosErrorMessage(32), cp("Die Datei wird von einem anderen Prozess verwendet"));
  EXPECT_EQ(osCodeOfErrno(ENOENT), 2);
  EXPECT_EQ(osCodeOfErrno(ENOSPC), 112);
  EXPECT_GE(runtimeVersionNumber() & ~0xFFu, 22020096u);
  EXPECT_EQ(Version(), Version(1) + "." + Version(2));
  EXPECT_EQ(AppType(), 3);
}

}  // namespace
}  // namespace xb
