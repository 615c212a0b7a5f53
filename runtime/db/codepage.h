// Code pages of table files. Text inside the runtime is CP850; a table marked with another
// code page (language-driver byte or a .cpg file beside it) is converted on read and write.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace xb::db {

class CodePage {
 public:
  // "CP850", "CP1252", "ISO-8859-1", "UTF-8", ... (iconv names); nullptr when unknown.
  static std::shared_ptr<const CodePage> byName(const std::string& name);
  static std::shared_ptr<const CodePage> cp850();

  const std::string& name() const { return name_; }
  bool identity() const { return identity_; }
  bool utf8() const { return utf8_; }

  // Table bytes to CP850. A character CP850 cannot hold becomes '?' (the record on disk
  // keeps it: only fields that are written are converted back).
  std::string decode(std::string_view raw) const;
  // The same into `out`, reusing its capacity.
  void decode(std::string_view raw, std::string& out) const;
  // CP850 to table bytes; nullopt when a character cannot be held by the table's code page.
  std::optional<std::string> encode(std::string_view cp850) const;

 private:
  std::string name_;
  bool identity_ = false;
  bool utf8_ = false;
  std::array<unsigned char, 256> toCp_{};   // table byte -> CP850 byte
  std::array<int16_t, 256> fromCp_{};       // CP850 byte -> table byte, -1 when none
};

// The language-driver byte of the DBF header and its code page.
std::optional<std::string> codePageOfLanguageDriver(uint8_t ldid);
// Reads a .cpg file's text ("UTF-8", "1252", "ANSI 1252", "850") as an iconv name.
std::optional<std::string> codePageOfCpgText(std::string_view text);

inline constexpr uint8_t kLdidCp850 = 0x02;

}  // namespace xb::db
