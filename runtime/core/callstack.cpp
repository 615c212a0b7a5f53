#include "core/callstack.h"

#define BACKWARD_HAS_DW 1
#include <backward.hpp>

#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

namespace xb {
namespace {

struct Frame {
  std::string name;
  int line = 0;
};

bool isApplicationSource(const std::string& file) {
  static const std::string root = XB_SOURCE_ROOT;
  if (file.compare(0, root.size(), root) != 0) return false;
  std::string rel = file.substr(root.size());
  return rel.compare(0, 8, "runtime/") != 0;
}

// Splits at "::" outside of (), <>, {} and [].
std::vector<std::string> components(const std::string& s) {
  std::vector<std::string> out;
  int depth = 0;
  std::string cur;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '(' || c == '<' || c == '{' || c == '[') ++depth;
    if (c == ')' || c == '>' || c == '}' || c == ']') --depth;
    if (depth == 0 && c == ':' && i + 1 < s.size() && s[i + 1] == ':') {
      out.push_back(cur);
      cur.clear();
      ++i;
      continue;
    }
    cur += c;
  }
  out.push_back(cur);
  return out;
}

std::string withoutParameters(const std::string& c) {
  if (c.rfind("operator", 0) == 0) return "operator";
  auto p = c.find('(');
  auto t = c.find('<');
  auto cut = std::min(p, t);
  return cut == std::string::npos ? c : c.substr(0, cut);
}

struct Resolved {
  bool application = false;
  Frame frame;
};

// Resolving an address reads debug information, which is slow; each address is
// resolved once.
const Resolved& resolve(backward::TraceResolver& resolver, const backward::Trace& trace) {
  static std::unordered_map<void*, Resolved> cache;
  auto it = cache.find(trace.addr);
  if (it != cache.end()) return it->second;
  backward::ResolvedTrace t = resolver.resolve(trace);
  Resolved r;
  r.application = isApplicationSource(t.source.filename);
  if (r.application) r.frame = {routineName(t.object_function), static_cast<int>(t.source.line)};
  return cache.emplace(trace.addr, std::move(r)).first->second;
}

// The application frame at `level`, or nullopt past the end of the stack.
std::optional<Frame> applicationFrame(int level) {
  if (level < 0) return std::nullopt;
  backward::StackTrace st;
  st.load_here(256);
  static backward::TraceResolver resolver;  // keeps the debug information loaded
  resolver.load_stacktrace(st);
  int seen = 0;
  for (size_t i = 0; i < st.size(); ++i) {
    const Resolved& r = resolve(resolver, st[i]);
    if (!r.application) continue;
    if (seen++ == level) return r.frame;
  }
  return std::nullopt;
}

}  // namespace

std::string routineName(const std::string& demangled) {
  auto parts = components(demangled);
  std::vector<std::string> names;
  bool block = false;
  for (auto& c : parts) {
    if (c.rfind("{lambda", 0) == 0) {
      block = true;
      break;
    }
    std::string n = withoutParameters(c);
    if (n == "xb" || n == "(anonymous namespace)" || n == "std" || n.empty()) continue;
    names.push_back(n);
  }
  std::string r;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) r += ':';
    r += names[i];
  }
  return block ? "(b)" + r : r;
}

// Frame 0 is the caller's: the runtime's own frames are not application frames.
std::string ProcName(int level) {
  auto f = applicationFrame(level);
  return f ? f->name : std::string();
}

int ProcLine(int level) {
  auto f = applicationFrame(level);
  return f ? f->line : 0;
}

}  // namespace xb
