#include "core/settings.h"

#include <array>
#include <vector>

#include "core/error.h"
#include "core/output.h"

namespace xb {
namespace {

enum class Kind { Flag, Number, Text, File };

struct Entry {
  Kind kind;
  Value initial;
};

// Settings the runtime knows; a number without an entry does not exist.
const std::vector<std::pair<int, Entry>>& table() {
  static const std::vector<std::pair<int, Entry>> t = {
      {set::kExact, {Kind::Flag, false}},
      {set::kDecimals, {Kind::Number, 2}},
      {set::kDateFormat, {Kind::Text, "mm/dd/yy"}},
      {set::kEpoch, {Kind::Number, 1900}},
      {set::kExclusive, {Kind::Flag, true}},
      {set::kConsole, {Kind::Flag, true}},
      {set::kAlternate, {Kind::Flag, false}},
      {set::kAltFile, {Kind::File, ""}},
      {set::kDevice, {Kind::Text, "SCREEN"}},
      {set::kExtra, {Kind::Flag, false}},
      {set::kExtraFile, {Kind::File, ""}},
      {set::kPrinter, {Kind::Flag, false}},
      {set::kPrintFile, {Kind::File, ""}},
      {set::kInsert, {Kind::Flag, false}},
      {set::kCentury, {Kind::Flag, false}},
      {set::kDbOption, {Kind::Number, 0}},
      {set::kLockWait, {Kind::Number, 1}},
  };
  return t;
}

std::array<Value, set::kLast + 1>& values() {
  static std::array<Value, set::kLast + 1> v = [] {
    std::array<Value, set::kLast + 1> a;
    for (auto& [n, e] : table()) a[n] = e.initial;
    return a;
  }();
  return v;
}

const Entry* entry(int n) {
  for (auto& [k, e] : table())
    if (k == n) return &e;
  return nullptr;
}

Value unknownSetting(int n) {
  auto e = makeError(gen::kUnknownSetting, "Setting " + std::to_string(n) + " does not exist", "SET");
  e->args = arrayValue({Value(n)});
  e->canSubstitute = true;
  return substituteError(e);
}

Value badSettingValue(int n, const Value& v, const std::string& what) {
  auto e = makeError(gen::kArgument, "Setting " + std::to_string(n) + " needs " + what, "SET");
  e->args = arrayValue({Value(n), v});
  e->canDefault = true;
  return settleError(e, {}, {});
}

}  // namespace

Value Set(int n) {
  if (!entry(n)) return unknownSetting(n);
  return values()[static_cast<size_t>(n)];
}

Value Set(int n, const Value& value, bool additive) {
  const Entry* e = entry(n);
  if (!e) return unknownSetting(n);
  Value& slot = values()[static_cast<size_t>(n)];
  Value old = slot;
  switch (e->kind) {
    case Kind::Flag:
      if (value.isLogical()) slot = value;
      else if (value.isChar() && iequals(value.str(), "ON")) slot = true;
      else if (value.isChar() && iequals(value.str(), "OFF")) slot = false;
      else badSettingValue(n, value, "a logical value or \"ON\"/\"OFF\"");
      break;
    case Kind::Number:
      if (value.isNum()) slot = value;
      else badSettingValue(n, value, "a number");
      break;
    case Kind::Text:
      if (value.isChar()) slot = value;
      else badSettingValue(n, value, "a text");
      break;
    case Kind::File: {
      if (!value.isChar() && !value.isNil()) {
        badSettingValue(n, value, "a file name");
        break;
      }
      const std::string name = value.str();
      int osCode = 0;
      for (;;) {
        if (detail::openOutputFile(n, name, additive, osCode)) {
          slot = Value(name);
          break;
        }
        auto err = makeError(gen::kCreate, "Cannot open output file", "SET", "TERM");
        err->fileName = name;
        err->osCode = osCode;
        err->canRetry = true;
        err->canDefault = true;
        Value answer = raiseError(err);
        if (answer.isTrue()) {
          ++err->tries;
          continue;
        }
        break;
      }
      break;
    }
  }
  return old;
}

bool setFlag(int n) { return Set(n).isTrue(); }
int setNumber(int n) { return static_cast<int>(Set(n).num()); }
std::string setText(int n) { return Set(n).str(); }

void resetSettings() {
  detail::closeOutputFiles();
  for (auto& [n, e] : table()) values()[static_cast<size_t>(n)] = e.initial;
}

}  // namespace xb
