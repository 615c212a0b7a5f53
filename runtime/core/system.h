// What the runtime tells about itself, the application and the operating system, and the
// application's table of named variables.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/value.h"

namespace xb {

// Full path of the program (withPath) or its file name.
std::string AppName(bool withPath = false);
void setAppName(std::string fullPath);  // the entry point records argv[0]

// 3 for a GUI application; the terminal backend reports 2.
int AppType();
void setAppType(int type);

// Version() gives "major.minor"; Version(1..3) the components as texts.
std::string Version(int component = 0);
// The runtime's version number: major << 24 | minor << 16 | build.
uint32_t runtimeVersionNumber();
// Makes the runtime report another version number (0: the real one), for the start-up check.
void setReportedVersionForTesting(uint32_t version);

std::string OS();

// Text of an operating-system error code (Windows numbering, errno mapped by osCodeOfErrno).
std::string DosErrorMessage(int osCode);
int osCodeOfErrno(int err);

// Named application variables (visible by name to every routine).
bool MemVarExists(std::string_view name);
// An undefined name raises a run-time error naming it.
Value MemVarGet(std::string_view name);
void MemVarPut(std::string_view name, const Value& v);
void MemVarRelease(std::string_view name);
void MemVarClear();

}  // namespace xb
