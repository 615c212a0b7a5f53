#include "db/table.h"

#include <cctype>
#include <set>

#include "core/errcodes.h"
#include "core/text.h"

namespace xb::db {

void Table::fail(int genCode, std::string description, int osCode, bool canRetry) const {
  throw DbFailure{genCode, osCode, std::move(description), path_, engine(), canRetry};
}

void checkStructure(std::vector<FieldDef>& fields, const std::string& file, const char* engine) {
  auto bad = [&](int gen, const std::string& what) {
    throw DbFailure{gen, 0, what + " (" + file + ")", file, engine, false};
  };
  if (fields.empty()) bad(gen::kArgument, "A table needs at least one field");
  std::set<std::string, ILess> names;
  int offset = 1;
  for (auto& f : fields) {
    f.name = cpUpper(f.name);
    if (f.name.empty() || f.name.size() > 10) bad(gen::kArgument, "Field name \"" + f.name + "\" must have 1 to 10 characters");
    for (unsigned char c : f.name)
      if (!(std::isalnum(c) || c == '_') || c >= 128)
        bad(gen::kArgument, "Field name \"" + f.name + "\" may only hold letters A-Z, digits and _");
    if (std::isdigit(static_cast<unsigned char>(f.name[0]))) bad(gen::kArgument, "Field name \"" + f.name + "\" must not start with a digit");
    if (!names.insert(f.name).second) bad(gen::kArgument, "Field " + f.name + " appears twice");
    f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(f.type)));
    switch (f.type) {
      case 'C':
        if (f.len < 1 || f.len > 254) bad(gen::kArgument, "Field " + f.name + ": a character field holds 1 to 254 characters");
        f.dec = 0;
        break;
      case 'N':
      case 'F':
        f.type = 'N';
        if (f.len < 1 || f.len > 20) bad(gen::kArgument, "Field " + f.name + ": a numeric field is 1 to 20 wide");
        if (f.dec < 0 || (f.dec > 0 && f.dec > f.len - 2)) bad(gen::kArgument, "Field " + f.name + ": the decimals do not fit the width");
        break;
      case 'D': f.len = 8; f.dec = 0; break;
      case 'L': f.len = 1; f.dec = 0; break;
      case 'M':
        bad(gen::kUnsupported, "Field " + f.name + ": memo fields are not supported");
        break;
      default:
        bad(gen::kArgument, "Field " + f.name + ": unknown field type \"" + std::string(1, f.type) + "\"");
    }
    f.offset = offset;
    offset += f.len;
  }
  if (offset > 65535) bad(gen::kArgument, "The record is longer than 65535 bytes");
}

}  // namespace xb::db
