#include "db/codepage.h"

#include <iconv.h>

#include <cctype>
#include <map>
#include <mutex>

#include "core/text.h"

namespace xb::db {
namespace {

// Unicode code point of one byte of a single-byte code page, through iconv.
std::optional<char32_t> unicodeOfByte(iconv_t cd, unsigned char b) {
  char in[1] = {static_cast<char>(b)};
  char out[8];
  char* ip = in;
  char* op = out;
  size_t il = 1, ol = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 || ol != 4)
    return std::nullopt;
  auto* u = reinterpret_cast<unsigned char*>(out);
  return static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (u[3] << 24));
}

std::string upperAscii(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::shared_ptr<const CodePage> CodePage::cp850() {
  static auto cp = byName("CP850");
  return cp;
}

std::shared_ptr<const CodePage> CodePage::byName(const std::string& rawName) {
  static std::mutex mu;
  static std::map<std::string, std::shared_ptr<const CodePage>> cache;
  std::string name = upperAscii(rawName);
  if (name == "UTF8") name = "UTF-8";
  if (name == "IBM850" || name == "850") name = "CP850";
  std::lock_guard lock(mu);
  if (auto it = cache.find(name); it != cache.end()) return it->second;

  auto cp = std::make_shared<CodePage>();
  cp->name_ = name;
  if (name == "CP850") {
    cp->identity_ = true;
    for (int i = 0; i < 256; ++i) {
      cp->toCp_[i] = static_cast<unsigned char>(i);
      cp->fromCp_[i] = static_cast<int16_t>(i);
    }
  } else if (name == "UTF-8") {
    cp->utf8_ = true;
  } else {
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    cp->fromCp_.fill(-1);
    for (int b = 0; b < 256; ++b) {
      auto u = unicodeOfByte(cd, static_cast<unsigned char>(b));
      auto c = u ? unicodeToCp(*u) : std::nullopt;
      cp->toCp_[b] = c ? *c : '?';
      if (c && cp->fromCp_[*c] < 0) cp->fromCp_[*c] = static_cast<int16_t>(b);
    }
    iconv_close(cd);
  }
  cache[name] = cp;
  return cp;
}

std::string CodePage::decode(std::string_view raw) const {
  std::string out;
  decode(raw, out);
  return out;
}

void CodePage::decode(std::string_view raw, std::string& out) const {
  if (identity_) {
    out.assign(raw.data(), raw.size());
  } else if (utf8_) {
    out = utf8ToCpLossy(raw);
  } else {
    out.resize(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) out[i] = static_cast<char>(toCp_[static_cast<unsigned char>(raw[i])]);
  }
}

std::optional<std::string> CodePage::encode(std::string_view text) const {
  if (identity_) return std::string(text);
  if (utf8_) return cpToUtf8(text);
  std::string out(text.size(), ' ');
  for (size_t i = 0; i < text.size(); ++i) {
    int16_t b = fromCp_[static_cast<unsigned char>(text[i])];
    if (b < 0) return std::nullopt;
    out[i] = static_cast<char>(b);
  }
  return out;
}

std::optional<std::string> codePageOfLanguageDriver(uint8_t ldid) {
  switch (ldid) {
    case 0x00: return std::nullopt;  // not marked
    case 0x01: return "CP437";
    case 0x02: return "CP850";
    case 0x03: return "CP1252";
    case 0x04: return "MACINTOSH";
    case 0x08: return "CP865";
    case 0x09: return "CP437";
    case 0x0A: return "CP850";
    case 0x0B: return "CP437";
    case 0x0D: return "CP437";
    case 0x0E: return "CP850";
    case 0x0F: return "CP437";
    case 0x10: return "CP850";
    case 0x11: return "CP437";
    case 0x12: return "CP850";
    case 0x14: return "CP850";
    case 0x15: return "CP437";
    case 0x16: return "CP850";
    case 0x17: return "CP865";
    case 0x18: return "CP437";
    case 0x19: return "CP437";
    case 0x1A: return "CP850";
    case 0x1B: return "CP437";
    case 0x1D: return "CP850";
    case 0x1F: return "CP852";
    case 0x22: return "CP852";
    case 0x23: return "CP852";
    case 0x24: return "CP860";
    case 0x25: return "CP850";
    case 0x26: return "CP866";
    case 0x37: return "CP850";
    case 0x40: return "CP852";
    case 0x4D: return "CP936";
    case 0x4E: return "CP949";
    case 0x4F: return "CP950";
    case 0x50: return "CP874";
    case 0x57: return "CP1252";
    case 0x58: return "CP1252";
    case 0x59: return "CP1252";
    case 0x64: return "CP852";
    case 0x65: return "CP866";
    case 0x66: return "CP865";
    case 0x67: return "CP861";
    case 0x6A: return "CP737";
    case 0x6B: return "CP857";
    case 0x6C: return "CP863";
    case 0x78: return "CP950";
    case 0x79: return "CP949";
    case 0x7A: return "CP936";
    case 0x7B: return "CP932";
    case 0x7C: return "CP874";
    case 0x86: return "CP737";
    case 0x87: return "CP852";
    case 0x88: return "CP857";
    case 0xC8: return "CP1250";
    case 0xC9: return "CP1251";
    case 0xCA: return "CP1254";
    case 0xCB: return "CP1253";
    case 0xCC: return "CP1257";
  }
  return std::nullopt;
}

std::optional<std::string> codePageOfCpgText(std::string_view text) {
  std::string t;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (t.empty()) return std::nullopt;
  if (t == "UTF-8" || t == "UTF8") return "UTF-8";
  if (t.rfind("ANSI", 0) == 0) t = t.substr(4);
  if (t.rfind("CP", 0) == 0 && t.size() > 2 && std::isdigit(static_cast<unsigned char>(t[2]))) return t;
  for (std::string_view prefix : {"ISO-8859", "ISO8859", "8859"}) {
    if (t.rfind(prefix, 0) != 0) continue;
    std::string part = t.substr(prefix.size());
    while (!part.empty() && (part[0] == '-' || part[0] == '_')) part.erase(0, 1);
    if (!part.empty()) return "ISO-8859-" + part;
  }
  bool digits = true;
  for (char c : t) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  if (digits) return "CP" + t;
  return t;
}

}  // namespace xb::db
