#include "db/engine.h"

#include <map>
#include <set>
#include <vector>

#include "core/settings.h"
#include "core/text.h"
#include "db/db.h"
#include "db/dbf.h"

namespace xb {
namespace db {
namespace {

struct Registry {
  std::vector<EngineInfo> loaded;  // in load/build order
  std::string defaultName;
  std::set<std::string, ILess> unavailable;
};
Registry& reg() {
  static Registry r;
  return r;
}

// The engines this runtime has, with what each one is.
const EngineInfo* known(const std::string& name) {
  static const std::vector<EngineInfo> kKnown = {
      {"DBFDBE", false, TableKind::Dbf, false},
      {"NTXDBE", false, TableKind::None, true},
      {"DELDBE", false, TableKind::Delimited, false},
      {"SDFDBE", false, TableKind::Sdf, false},
  };
  for (auto& e : kKnown)
    if (iequals(e.name, name)) return &e;
  return nullptr;
}

EngineInfo* loadedEngine(const std::string& name) {
  for (auto& e : reg().loaded)
    if (iequals(e.name, name)) return &e;
  return nullptr;
}

}  // namespace

const EngineInfo* findEngine(const std::string& name) {
  if (!name.empty()) {
    // The DBF engine is always at hand, loaded or not.
    if (!loadedEngine(name) && iequals(name, "DBFDBE")) DbeLoad("DBFDBE", false);
    return loadedEngine(name);
  }
  if (!reg().defaultName.empty())
    if (auto e = loadedEngine(reg().defaultName)) return e;
  // The runtime's own default: a built composite, else the first visible table engine,
  // else the DBF engine, which is always at hand.
  for (auto& e : reg().loaded)
    if (!e.hidden && e.table == TableKind::Dbf && e.index) return &e;
  for (auto& e : reg().loaded)
    if (!e.hidden && e.table != TableKind::None) return &e;
  if (auto e = loadedEngine("DBFDBE")) return e;
  if (!DbeLoad("DBFDBE", false)) return nullptr;
  return loadedEngine("DBFDBE");
}

std::unique_ptr<Table> openTable(TableKind kind, const std::string& path, const OpenOptions& opts) {
  if (kind == TableKind::Dbf) return DbfTable::open(path, opts);
  return openTextTable(kind, path, opts);
}

void createTable(TableKind kind, const std::string& path, std::vector<FieldDef> fields) {
  if (kind == TableKind::Dbf) return DbfTable::create(path, std::move(fields));
  createTextTable(kind, path, std::move(fields));
}

void setEngineUnavailableForTesting(const std::string& name, bool unavailable) {
  if (unavailable) reg().unavailable.insert(name);
  else reg().unavailable.erase(name);
}

void resetEnginesForTesting() {
  reg().loaded.clear();
  reg().defaultName.clear();
  reg().unavailable.clear();
}

}  // namespace db

bool DbeLoad(const std::string& name, bool hidden) {
  using namespace db;
  const EngineInfo* k = known(name);
  if (!k || reg().unavailable.count(name)) return false;
  if (auto e = loadedEngine(name)) {
    e->hidden = hidden;
    return true;
  }
  EngineInfo e = *k;
  e.hidden = hidden;
  reg().loaded.push_back(e);
  return true;
}

bool DbeBuild(const std::string& name, const std::string& first, const std::string& second) {
  using namespace db;
  if (name.empty() || known(name) || reg().unavailable.count(name)) return false;
  const EngineInfo* a = loadedEngine(first);
  const EngineInfo* b = loadedEngine(second);
  // A table engine with an index engine; only the DBF tables keep indexes.
  if (!a || !b || a->table != TableKind::Dbf || a->index || b->table != TableKind::None || !b->index)
    return false;
  EngineInfo e{cpUpper(name), false, TableKind::Dbf, true};
  if (auto existing = loadedEngine(name)) {
    *existing = e;
    return true;
  }
  reg().loaded.push_back(e);
  return true;
}

Value DbeList(bool all) {
  auto out = makeArray();
  for (auto& e : db::reg().loaded)
    if (all || !e.hidden) out->add(arrayValue({Value(e.name), Value(e.hidden)}));
  return Value(out);
}

std::string DbeSetDefault() {
  auto e = db::findEngine("");
  return e ? e->name : std::string();
}

std::string DbeSetDefault(const std::string& name) {
  std::string old = DbeSetDefault();
  auto e = db::loadedEngine(name);
  if (!e || e->table == db::TableKind::None) return "";
  db::reg().defaultName = e->name;
  return old;
}

}  // namespace xb
