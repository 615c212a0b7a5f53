#include "core/output.h"

#include <cstdio>
#include <memory>

#include "core/format.h"
#include "core/settings.h"
#include "core/system.h"
#include <cerrno>
#include "core/text.h"

namespace xb {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct OutputState {
  ConsoleSink console = nullptr;
  ConsoleSink error = nullptr;
  FilePtr alternate, extra, printer;
};
OutputState& out() {
  static OutputState s;
  return s;
}

FilePtr* fileOf(int which) {
  switch (which) {
    case set::kAltFile: return &out().alternate;
    case set::kExtraFile: return &out().extra;
    case set::kPrintFile: return &out().printer;
  }
  return nullptr;
}

// Console gets the text as it is; files get CP850 with CR LF line ends.
void write(std::string_view text) {
  if (setFlag(set::kConsole)) {
    if (out().console) out().console(text);
    else {
      std::string u = cpToUtf8(text);
      std::fwrite(u.data(), 1, u.size(), stdout);
      std::fflush(stdout);
    }
  }
  auto toFile = [&](int flag, FilePtr& f) {
    if (f && setFlag(flag)) {
      std::fwrite(text.data(), 1, text.size(), f.get());
      std::fflush(f.get());
    }
  };
  toFile(set::kAlternate, out().alternate);
  toFile(set::kExtra, out().extra);
  toFile(set::kPrinter, out().printer);
}

std::string joined(Args args) {
  std::string s;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) s += ' ';
    s += outputText(args[i]);
  }
  return s;
}

}  // namespace

std::string outputText(const Value& v) {
  switch (v.type()) {
    case Type::Nil: return "NIL";
    case Type::Character: return v.str();
    case Type::Numeric: return numberDefaultText(v.num(), v.number().width, v.number().decimals);
    case Type::Date: return dateToText(v.date());
    case Type::Logical: return v.logical() ? ".T." : ".F.";
    case Type::Array: return "{...}";
    case Type::Object: return "{...}";
    case Type::Block: return "{||...}";
  }
  return {};
}

void QOut(Args args) { write("\r\n" + joined(args)); }
void QOut(std::initializer_list<Value> args) { QOut(Args(args)); }
void QQOut(Args args) { write(joined(args)); }
void QQOut(std::initializer_list<Value> args) { QQOut(Args(args)); }

void OutErr(std::string_view text) {
  if (out().error) {
    out().error(text);
    return;
  }
  std::string u = cpToUtf8(text);
  std::fwrite(u.data(), 1, u.size(), stderr);
  std::fflush(stderr);
}
void OutErr(Args args) { OutErr(joined(args)); }

void setConsoleSink(ConsoleSink sink) { out().console = sink; }
void setErrorSink(ConsoleSink sink) { out().error = sink; }

namespace detail {

bool openOutputFile(int which, const std::string& name, bool append, int& osCode) {
  FilePtr* slot = fileOf(which);
  if (!slot) return false;
  if (name.empty()) {
    slot->reset();
    return true;
  }
  std::FILE* f = std::fopen(name.c_str(), append ? "ab" : "wb");
  if (!f) {
    osCode = osCodeOfErrno(errno);
    return false;
  }
  slot->reset(f);
  return true;
}

void closeOutputFiles() {
  out().alternate.reset();
  out().extra.reset();
  out().printer.reset();
}

}  // namespace detail
}  // namespace xb
