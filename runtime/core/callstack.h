// The application's call stack, read from the real machine stack: routine names and
// source lines, innermost first, the runtime's own frames left out.
#pragma once
#include <string>

namespace xb {

// Level 0 is the routine that calls ProcName; an empty name ends the stack.
// Methods read "Class:Method", code blocks "(b)" + the routine that made them.
std::string ProcName(int level = 0);
int ProcLine(int level = 0);

// Turns a demangled C++ function name into the name ProcName reports (tests use it).
std::string routineName(const std::string& demangled);

}  // namespace xb
