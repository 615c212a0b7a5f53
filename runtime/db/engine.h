// Registry of loaded and built engines (internal to the database layer).
#pragma once
#include <memory>
#include <string>

#include "db/table.h"

namespace xb::db {

enum class TableKind { None, Dbf, Delimited, Sdf };

struct EngineInfo {
  std::string name;
  bool hidden = false;
  TableKind table = TableKind::None;  // None: an index engine alone
  bool index = false;                 // can keep index files
};

// The engine for DbUseArea/DbCreate; "" uses the default. nullptr when not loaded.
const EngineInfo* findEngine(const std::string& name);

std::unique_ptr<Table> openTable(TableKind kind, const std::string& path, const OpenOptions& opts);
void createTable(TableKind kind, const std::string& path, std::vector<FieldDef> fields);
// Text engines (textdbe.cpp).
std::unique_ptr<Table> openTextTable(TableKind kind, const std::string& path, const OpenOptions& opts);
void createTextTable(TableKind kind, const std::string& path, std::vector<FieldDef> fields);

}  // namespace xb::db
