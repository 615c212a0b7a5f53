// Text output of QOut/QQOut/OutErr to the console and the files switched on by Set.
#pragma once
#include <string>
#include <string_view>

#include "core/value.h"

namespace xb {

// QOut starts a new line (CR LF) and writes its arguments separated by blanks; QQOut writes
// them where the last output ended. Each goes to every output switched on: the console
// (17), the alternate file (18/19), the extra file (21/22), the printer file (23/24).
void QOut(Args args = {});
void QOut(std::initializer_list<Value> args);
void QQOut(Args args = {});
void QQOut(std::initializer_list<Value> args);
// Writes to the standard error stream as it is.
void OutErr(std::string_view cp850Text);
void OutErr(Args args);

// Where console output goes (tests capture it). The sink gets CP850 text.
using ConsoleSink = void (*)(std::string_view cp850Text);
void setConsoleSink(ConsoleSink sink);  // nullptr: standard output, converted to UTF-8
void setErrorSink(ConsoleSink sink);    // nullptr: standard error, converted to UTF-8

// The text form of a value for output (numbers as Str without a width, dates by setting 4).
std::string outputText(const Value& v);

namespace detail {
// Called by Set when an output file changes; closes the previous file.
bool openOutputFile(int which, const std::string& name, bool append, int& osCode);
void closeOutputFiles();
}  // namespace detail

}  // namespace xb
