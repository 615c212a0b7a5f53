// The demo program as a user starts it: headless, driven by a script file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct DemoRun {
  int exitCode = -1;
  std::string output;  // standard output and standard error
};

DemoRun runDemo(const std::string& args, const std::string& prefix = "") {
  std::string cmd = prefix + std::string(DEMO_PATH) + " " + args + " 2>&1";
  DemoRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// The demo with an environment variable removed.
DemoRun runDemoWithout(const std::string& variable, const std::string& args) {
  return runDemo(args, "env -u " + variable + " -u WAYLAND_DISPLAY ");
}

class DemoBinaryTest : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("xb-demo-" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string script(const std::string& name, const std::string& text) {
    fs::path p = dir / name;
    std::ofstream(p) << text;
    return p.string();
  }
};

TEST_F(DemoBinaryTest, OpensTestComboAndExitsZeroWhenClosed) {
  DemoRun r = runDemo("--backend headless --script " + std::string(SCRIPT_DIR) + "/close.script");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output.find("expect"), std::string::npos) << r.output;
}

TEST_F(DemoBinaryTest, ScriptScreenshotWritesTheDialogAsPng) {
  fs::path png = dir / "demo.png";
  DemoRun r = runDemo("--backend headless --script " +
                      script("shot.script", "screenshot " + png.string() + " main\nclose\n"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  ASSERT_TRUE(fs::exists(png));
  std::ifstream in(png, std::ios::binary);
  char magic[8] = {};
  in.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  EXPECT_GT(fs::file_size(png), 1000u);
}

TEST_F(DemoBinaryTest, AFailedExpectationIsNotASuccess) {
  DemoRun r = runDemo("--backend headless --script " +
                  script("wrong.script", "expect-geometry main 0 0 10 10\nclose\n"));
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.output.find("wrong.script:1: expect-geometry"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("expected (0, 0)"), std::string::npos) << r.output;
}

TEST_F(DemoBinaryTest, UnknownKeyNameNamesTheLineAndRunsNothing) {
  DemoRun r = runDemo("--backend headless --script " +
                  script("bad.script", "# comment\nkey F4\nkey Hyper+Q\nclose\n"));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("bad.script:3"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Hyper+Q"), std::string::npos) << r.output;
}

TEST_F(DemoBinaryTest, BadArgumentsAreRefusedWithUsage) {
  for (const char* args : {"--colour red", "--backend nosuch", "--backend=sdl --script x", "--script"}) {
    DemoRun r = runDemo(args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_NE(r.output.find("usage"), std::string::npos) << args << ": " << r.output;
  }
  DemoRun missing = runDemo("--backend headless --script " + (dir / "none.script").string());
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.output.find("cannot open"), std::string::npos) << missing.output;
}

TEST_F(DemoBinaryTest, WithoutADisplayItSaysSoInOneLineAndWhatToRunInstead) {
  DemoRun noDisplay = runDemoWithout("DISPLAY", "");
  EXPECT_EQ(noDisplay.exitCode, 2);
  EXPECT_EQ(std::count(noDisplay.output.begin(), noDisplay.output.end(), '\n'), 1) << noDisplay.output;
  EXPECT_NE(noDisplay.output.find("no display"), std::string::npos) << noDisplay.output;
  EXPECT_NE(noDisplay.output.find("--backend=headless"), std::string::npos) << noDisplay.output;
  // The option it names works as it is written.
  DemoRun headless = runDemoWithout(
      "DISPLAY", "--backend=headless --script=" + std::string(SCRIPT_DIR) + "/close.script");
  EXPECT_EQ(headless.exitCode, 0) << headless.output;
}

TEST_F(DemoBinaryTest, EndOfScriptEndsTheProgramThroughItsNormalExit) {
  DemoRun r = runDemo("--backend headless --script " + script("short.script", "key Tab\n"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("no more input"), std::string::npos) << r.output;
}

}  // namespace
