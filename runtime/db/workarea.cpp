// Work areas: the current record buffer of each open table, positioning, field access,
// record locks and the controlling index.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>

#include "core/date.h"
#include "core/error.h"
#include "core/format.h"
#include "core/settings.h"
#include "core/text.h"
#include "db/db.h"
#include "db/engine.h"
#include "db/fieldparse.h"
#include "db/index.h"
#include "db/session.h"

namespace xb {
namespace db {

void resetEnginesForTesting();

Cursor* current = nullptr;

namespace {

namespace fs = std::filesystem;

// A work area: its cursor (table, current record, position; see db/cursor.h) and the rest.
struct WorkArea : Cursor {
  int number = 0;
  std::string alias;
  std::string engine;
  bool indexEngine = false;
  std::vector<std::unique_ptr<Index>> orders;
  bool found = false;
  // While the buffer is dirty, the record as it was before the first change.
  std::vector<char> orig;
  std::string scratch;  // texts converted from the table's code page, reused
  std::vector<uint32_t> locks;
  bool fileLock = false;
};

struct State {
  std::map<int, std::unique_ptr<WorkArea>> areas;
  int current = 1;
};
State& st() {
  static State s;
  return s;
}
// areas[current] when used. A plain pointer outside State: the per-record calls (FieldGet,
// DbSkip, Eof) read it without the initialisation guard of st(). db::current is the same
// area seen as its cursor, for the inline steps of a scan.
WorkArea* curArea = nullptr;

void setCurrent(WorkArea* a) {
  curArea = a;
  current = a;
}

void refreshCurrent() {
  auto it = st().areas.find(st().current);
  setCurrent(it == st().areas.end() ? nullptr : it->second.get());
}

[[noreturn]] void failNoTable(const char* op) {
  throw DbFailure{gen::kNoTable, 0, std::string("No table in use in work area ") + std::to_string(st().current) + " (" + op + ")", "", "DBFDBE", false};
}

WorkArea& need(const char* op) {
  if (!curArea) failNoTable(op);
  return *curArea;
}

ErrorRef toError(const DbFailure& f, const char* op) {
  auto e = makeError(f.genCode, f.description, op, f.subSystem.empty() ? "DBFDBE" : f.subSystem);
  e->subCode = f.genCode;
  e->fileName = f.fileName;
  e->osCode = f.osCode;
  e->canRetry = f.canRetry;
  e->canDefault = true;
  auto& s = defaultSession();
  s.lastError = f.genCode;
  s.lastMessage = f.description;
  return e;
}

// Runs an operation; a failure goes to the error block: retry runs it again, default
// gives `dflt`.
template <class F>
Value guarded(const char* op, F&& fn, const Value& dflt = {}) {
  defaultSession().clear();
  try {
    return fn();
  } catch (const DbFailure& f) {
    auto e = toError(f, op);
    return settleError(
        e,
        [&]() -> std::optional<Value> {
          try {
            return fn();
          } catch (const DbFailure& again) {
            e->description = again.description;
            e->osCode = again.osCode;
            e->genCode = again.genCode;
            return std::nullopt;
          }
        },
        dflt);
  }
}


[[noreturn]] void failArea(const WorkArea& a, int gen, const std::string& what, int os = 0) {
  // A lock may be free a moment later; a wrong value stays wrong.
  const bool canRetry = gen == gen::kLock;
  throw DbFailure{gen, os, what + " (" + a.table->path() + ")", a.table->path(), a.table->engine(), canRetry};
}

int fieldIndex(const WorkArea& a, const Value& field) {
  const auto& fs = a.table->fields();
  if (field.isNum()) {
    double n = field.num();
    if (n >= 1 && n <= static_cast<double>(fs.size()) && n == std::floor(n)) return static_cast<int>(n) - 1;
    failArea(a, gen::kNoField, "Field number " + numberDefaultText(n) + " does not exist");
  }
  if (field.isChar()) {
    std::string_view name = field.str();
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (size_t i = 0; i < fs.size(); ++i)
      if (iequals(fs[i].name, name)) return static_cast<int>(i);
    failArea(a, gen::kNoField, "Field " + std::string(name) + " does not exist");
  }
  failArea(a, gen::kArgument, "A field is named by a number or a text, not a value of type " + ValType(field));
}

void blank(WorkArea& a) {
  std::fill(a.buf.begin(), a.buf.end(), ' ');
  a.rec = a.buf.data();
}

// Brings the current record into buf, before it is changed or the window moves.
void ownRecord(WorkArea& a) {
  if (!a.inWindow()) return;
  std::memcpy(a.buf.data(), a.rec, a.buf.size());
  a.rec = a.buf.data();
}

// Before the first change of a clean buffer: keep the record as it was, for the old index
// keys and for rollback.
void keepOriginal(WorkArea& a) {
  ownRecord(a);
  if (!a.dirty) std::memcpy(a.orig.data(), a.buf.data(), a.buf.size());
}

bool holdsLock(const WorkArea& a, uint32_t recno) {
  return a.fileLock || std::find(a.locks.begin(), a.locks.end(), recno) != a.locks.end();
}

// Before a change of the buffer: the change must be possible, so it can be written later.
void checkWritable(WorkArea& a) {
  if (a.table->readOnly()) failArea(a, gen::kTableReadOnly, "Table is open read-only");
  if (a.eof) failArea(a, gen::kNoRecord, "No current record to write (end of file)");
  if (a.table->shared() && !holdsLock(a, a.recno))
    failArea(a, gen::kUnlocked, "Record " + std::to_string(a.recno) + " is not locked", oscode::kLockViolation);
}

uint32_t count(WorkArea& a, bool fresh) { return a.table->recCount(fresh); }

void writeBuffer(WorkArea& a) {
  if (!a.dirty) return;
  if (a.table->shared() && !holdsLock(a, a.recno))
    failArea(a, gen::kUnlocked, "Record " + std::to_string(a.recno) + " is not locked", oscode::kLockViolation);
  a.table->write(a.recno, a.buf.data());
  for (auto& ix : a.orders) {
    std::string oldKey = ix->keyOf(a.orig.data());
    std::string newKey = ix->keyOf(a.buf.data());
    if (oldKey != newKey) ix->update(a.recno, &oldKey, newKey);
  }
  a.dirty = false;
}

void saveOrders(WorkArea& a) {
  for (auto& ix : a.orders) ix->save();
}

// Makes record n current (beyond the last one: the end-of-file position).
void load(WorkArea& a, uint32_t n, bool sequential) {
  // The window may move (or go) below, so the record is no longer read from it.
  ownRecord(a);
  uint32_t c = count(a, false);
  if (n > c && a.table->shared()) c = count(a, true);
  if (n >= 1 && n <= c) {
    // Until the read succeeds buf holds no record, and fields read from it are errors.
    a.unreadable = true;
    a.table->read(n, a.buf.data(), sequential);
    a.unreadable = false;
    a.recno = n;
    a.eof = false;
  } else {
    a.recno = c + 1;
    blank(a);
    a.eof = true;
  }
  a.dirty = false;
}

Index* orderOf(WorkArea& a) {
  if (a.order < 1 || a.order > static_cast<int>(a.orders.size())) return nullptr;
  return a.orders[static_cast<size_t>(a.order) - 1].get();
}

// The first (top) or last record, in index order when an index is in use.
void goEnd(WorkArea& a, bool top) {
  writeBuffer(a);
  a.table->invalidate();
  a.bof = false;
  if (Index* ix = orderOf(a)) {
    ix->refresh();
    const auto& entries = ix->entries();
    if (entries.empty()) load(a, 0xFFFFFFFFu, false);
    else load(a, top ? entries.begin()->second : entries.rbegin()->second, false);
  } else if (top) {
    load(a, 1, true);
  } else {
    load(a, count(a, true), false);
  }
  if (a.eof) a.bof = true;
}

void goTop(WorkArea& a) { goEnd(a, true); }
void goBottom(WorkArea& a) { goEnd(a, false); }

void skip(WorkArea& a, long n) {
  writeBuffer(a);
  if (n == 0) {
    a.table->invalidate();
    load(a, a.recno, false);
    return;
  }
  a.bof = false;
  Index* ix = orderOf(a);
  if (!ix) {
    if (n > 0) {
      if (a.eof) return;
      uint64_t target = uint64_t{a.recno} + static_cast<uint64_t>(n);
      load(a, target > 0xFFFFFFFEu ? 0xFFFFFFFEu : static_cast<uint32_t>(target), n == 1);
    } else {
      uint32_t c = count(a, a.eof);
      int64_t target = static_cast<int64_t>(a.eof ? c + 1 : a.recno) + n;
      if (target < 1) {
        load(a, 1, false);
        a.bof = true;
      } else {
        load(a, static_cast<uint32_t>(target), false);
      }
    }
    return;
  }
  // In index order: from the current entry along the keys.
  const auto& entries = ix->entries();
  Index::Iter it;
  if (a.eof) {
    it = entries.end();
  } else {
    // The buffer was written above, so it holds the record as it is in the index.
    it = ix->find(ix->keyOf(a.rec), a.recno);
    if (it == entries.end()) it = ix->lowerBound(ix->keyOf(a.rec));
  }
  if (n > 0) {
    while (n-- > 0 && it != entries.end()) ++it;
    if (it == entries.end()) load(a, 0xFFFFFFFFu, false);
    else load(a, it->second, false);
  } else {
    bool hitTop = false;
    while (n++ < 0) {
      if (it == entries.begin()) {
        hitTop = true;
        break;
      }
      --it;
    }
    if (entries.empty()) {
      load(a, 0xFFFFFFFFu, false);
      a.bof = true;
    } else {
      load(a, it->second, false);
      a.bof = hitTop;
    }
  }
}

bool lockRecord(WorkArea& a, uint32_t recno) {
  if (recno == 0) {
    if (a.eof) return false;
    recno = a.recno;
  }
  if (!a.table->shared()) return true;
  if (holdsLock(a, recno)) return true;
  double wait = Set(set::kLockWait).num();
  if (!a.table->lockRecord(recno, wait))
    failArea(a, gen::kLock, "Record " + std::to_string(recno) + " is locked by another user", oscode::kLockViolation);
  a.locks.push_back(recno);
  // The record as the lock holder before us left it.
  if (recno == a.recno && !a.eof && !a.dirty) load(a, recno, false);
  return true;
}

void unlockAll(WorkArea& a) {
  writeBuffer(a);
  saveOrders(a);
  a.table->unlockAll();
  a.locks.clear();
  a.fileLock = false;
}

void closeArea(int number) {
  auto it = st().areas.find(number);
  if (it == st().areas.end()) return;
  WorkArea& a = *it->second;
  writeBuffer(a);
  saveOrders(a);
  a.table->flush();
  a.table->close();
  st().areas.erase(it);
  refreshCurrent();
}

int lowestFree() {
  int n = 1;
  for (auto& [k, v] : st().areas) {
    if (k != n) break;
    ++n;
  }
  return n;
}

WorkArea* areaByAlias(std::string_view alias) {
  for (auto& [k, v] : st().areas)
    if (iequals(v->alias, alias)) return v.get();
  return nullptr;
}

// Number of an area named by number or alias; 0 when an alias is not in use.
int areaNumber(const Value& area) {
  if (area.isNum()) return static_cast<int>(area.num());
  if (area.isChar()) {
    std::string s = area.str();
    while (!s.empty() && s.back() == ' ') s.pop_back();
    if (auto a = areaByAlias(s)) return a->number;
    return 0;
  }
  return -1;
}

std::vector<std::string> splitKey(const Value& keyFields) {
  std::vector<std::string> names;
  if (keyFields.isArray()) {
    for (auto& v : keyFields.array()->items()) names.push_back(v.str());
  } else {
    std::string s = keyFields.str();
    size_t pos = 0;
    while (pos <= s.size()) {
      size_t plus = s.find('+', pos);
      std::string part = s.substr(pos, plus == std::string::npos ? std::string::npos : plus - pos);
      part.erase(0, part.find_first_not_of(' '));
      part.erase(part.find_last_not_of(' ') + 1);
      names.push_back(part);
      if (plus == std::string::npos) break;
      pos = plus + 1;
    }
  }
  return names;
}

std::string withExtension(const std::string& file, const char* ext) {
  fs::path p(file);
  if (p.has_extension()) return file;
  return file + ext;
}

// A number field in any form the general way: blanks around it, a plus sign, an exponent,
// a comma for the point (some writers put one). False when it is no number.
bool generalNumber(const char* raw, size_t len, double& v) {
  size_t b = 0, e = len;
  while (b < e && raw[b] == ' ') ++b;
  while (e > b && raw[e - 1] == ' ') --e;
  v = 0;
  if (b == e) return true;
  const char* s = raw + b;
  if (*s == '+') ++s;
  auto [p, ec] = std::from_chars(s, raw + e, v);
  if (ec == std::errc() && p == raw + e) return true;
  std::string t(s, raw + e);
  std::replace(t.begin(), t.end(), ',', '.');
  auto [p2, ec2] = std::from_chars(t.data(), t.data() + t.size(), v);
  return ec2 == std::errc() && p2 == t.data() + t.size();
}

// Field `index` (0-based) of the area's record into `out`: the usual contents as the cursor
// reads them, the rest here (other code pages, other number texts, blank dates, the other
// letters of a logical). False when the bytes are no value of the field's type
// (failBadField then says why). Neither throws nor, when `out` already holds a value of the
// field's kind, allocates.
bool decodeInto(WorkArea& a, size_t index, Value& out) {
  if (a.readField(index, out)) return true;
  if (a.unreadable) return false;
  FieldPlan& f = a.plan[index];
  const char* raw = a.rec + f.offset;
  bool read = true;
  switch (f.type) {
    case 'C':
      a.table->codePage().decode(std::string_view(raw, static_cast<size_t>(f.len)), a.scratch);
      out.assignText(a.scratch);
      break;
    case 'N': {
      double v = 0;
      read = generalNumber(raw, static_cast<size_t>(f.len), v);
      if (read) out.assignNumber(Number{v, f.len, f.dec});
      break;
    }
    case 'D':
      // All blanks (or NULs) are the empty date; anything else is no date.
      read = std::all_of(raw, raw + 8, [](char c) { return c == ' ' || c == '\0'; });
      if (read) out.assignDate(0);
      break;
    case 'L':
      switch (raw[0]) {
        case 't': case 'Y': case 'y': out.assignLogical(true); break;
        case 'f': case 'N': case 'n': case ' ': case '?': case '\0': out.assignLogical(false); break;
        default: read = false;
      }
      break;
    default:
      out = Value();
  }
  // Zeros from a window whose file was cut short while they were read are no record (see
  // FileMap); the caller reads the record again the long way.
  return read && !(a.inWindow() && a.table->windowLost());
}

[[noreturn]] void failBadField(const WorkArea& a, size_t index) {
  const FieldDef& f = a.table->fields()[index];
  const std::string raw(a.rec + f.offset, static_cast<size_t>(f.len));
  const std::string where = f.name + " of record " + std::to_string(a.recno);
  switch (f.type) {
    case 'N': failArea(a, gen::kCorruption, "Field " + where + " holds no number: \"" + raw + "\"");
    case 'D': failArea(a, gen::kCorruption, "Date field " + where + " holds no date: \"" + raw + "\"");
    case 'L': failArea(a, gen::kCorruption, "Logical field " + where + " holds \"" + raw + "\"");
    default: failArea(a, gen::kCorruption, "Field " + where + " cannot be read");
  }
}

Value decodeField(WorkArea& a, size_t index) {
  Value v;
  if (decodeInto(a, index, v)) return v;
  // A record that could not be read, or a window lost under it: read it again the long
  // way, which tells what became of it (or gives the record after all).
  if (a.unreadable || (a.inWindow() && a.table->windowLost())) {
    load(a, a.recno, false);
    if (decodeInto(a, index, v)) return v;
  }
  failBadField(a, index);
}

void encodeField(WorkArea& a, const FieldDef& f, const Value& v) {
  char* raw = a.buf.data() + f.offset;
  const size_t len = static_cast<size_t>(f.len);
  auto wrongType = [&](const char* want) {
    failArea(a, gen::kDataType, "Field " + f.name + " takes " + want + ", not a value of type " + ValType(v));
  };
  switch (f.type) {
    case 'C': {
      if (!v.isChar()) wrongType("a text");
      std::string_view s = v.str();
      // Trailing blanks beyond the width are no loss; anything else is.
      if (s.size() > len && s.find_first_not_of(' ', len) == std::string_view::npos) s = s.substr(0, len);
      if (s.size() > len)
        failArea(a, gen::kDataWidth, "Text of " + std::to_string(s.size()) + " characters is too wide for field " +
                                         f.name + " (" + std::to_string(len) + ")");
      auto enc = a.table->codePage().encode(s);
      if (!enc)
        failArea(a, gen::kDataType, "Text for field " + f.name + " holds characters that code page " +
                                        a.table->codePage().name() + " cannot store");
      std::string_view e = *enc;
      if (e.size() > len && e.find_first_not_of(' ', len) == std::string_view::npos) e = e.substr(0, len);
      if (e.size() > len)
        failArea(a, gen::kDataWidth, "Text is too wide for field " + f.name + " in code page " +
                                         a.table->codePage().name());
      std::memcpy(raw, e.data(), e.size());
      std::memset(raw + e.size(), ' ', len - e.size());
      break;
    }
    case 'N': {
      if (!v.isNum()) wrongType("a number");
      std::string t = numberToText(v.num(), f.len, f.dec);
      if (t.find('*') != std::string::npos || t.size() != len)
        failArea(a, gen::kDataWidth, "Number " + numberDefaultText(v.num()) + " is too wide for field " + f.name +
                                         " (" + std::to_string(f.len) + "," + std::to_string(f.dec) + ")");
      std::memcpy(raw, t.data(), len);
      break;
    }
    case 'D': {
      if (!v.isDate()) wrongType("a date");
      if (v.date() == 0) {
        std::memset(raw, ' ', 8);
        break;
      }
      Ymd d = ymdOf(v.date());
      if (d.year < 1 || d.year > 9999) failArea(a, gen::kDataWidth, "Date is out of range for field " + f.name);
      char t[9];
      std::snprintf(t, sizeof t, "%04d%02d%02d", d.year, d.month, d.day);
      std::memcpy(raw, t, 8);
      break;
    }
    case 'L':
      if (!v.isLogical()) wrongType("a logical value");
      raw[0] = v.logical() ? 'T' : 'F';
      break;
  }
}

std::vector<FieldDef> structureOf(const Value& s, const std::string& file) {
  if (!s.isArray()) throw DbFailure{gen::kArgument, 0, "The structure of a table is an array (" + file + ")", file, "DBFDBE", false};
  std::vector<FieldDef> out;
  for (auto& row : s.array()->items()) {
    if (!row.isArray() || row.array()->size() < 3)
      throw DbFailure{gen::kArgument, 0, "Each field of a structure is {name, type, width, decimals} (" + file + ")", file, "DBFDBE", false};
    auto& r = *row.array();
    FieldDef f;
    f.name = r.at(1).str();
    f.type = r.at(2).str().empty() ? '?' : r.at(2).str()[0];
    f.len = static_cast<int>(r.at(3).num());
    f.dec = r.size() >= 4 ? static_cast<int>(r.at(4).num()) : 0;
    out.push_back(f);
  }
  return out;
}

}  // namespace

void resetForTesting() {
  for (auto& [n, a] : st().areas) {
    if (a->table) a->table->close();
  }
  st().areas.clear();
  st().current = 1;
  setCurrent(nullptr);
  resetEnginesForTesting();
  defaultSession().clear();
}

}  // namespace db

using namespace db;

bool DbCreate(const std::string& file, const Value& structure, const std::string& engine) {
  return guarded("DbCreate", [&]() -> Value {
           const EngineInfo* e = findEngine(engine);
           if (!e || e->table == TableKind::None)
             throw DbFailure{gen::kNoEngine, 0, "Database engine " + (engine.empty() ? std::string("(default)") : engine) + " is not loaded", file, engine.empty() ? "DBFDBE" : engine, false};
           std::string path = withExtension(file, e->table == TableKind::Dbf ? ".dbf" : ".txt");
           createTable(e->table, path, structureOf(structure, path));
           return Value(true);
         }, Value(false)).isTrue();
}

Value DbStruct() {
  auto out = makeArray();
  if (!curArea) return Value(out);
  for (auto& f : curArea->table->fields())
    out->add(arrayValue({Value(f.name), Value(std::string(1, f.type)), Value(f.len), Value(f.dec)}));
  return Value(out);
}

bool DbUseArea(bool newArea, const std::string& engine, const std::string& file, const std::string& alias,
               const Value& shared, bool readOnly) {
  return guarded("DbUseArea", [&]() -> Value {
           const EngineInfo* e = findEngine(engine);
           if (!e || e->table == TableKind::None)
             throw DbFailure{gen::kNoEngine, 0, "Database engine " + (engine.empty() ? std::string("(default)") : engine) + " is not loaded", file, engine.empty() ? "DBFDBE" : engine, false};
           std::string path = withExtension(file, e->table == TableKind::Dbf ? ".dbf" : ".txt");
           std::string name = alias;
           while (!name.empty() && name.back() == ' ') name.pop_back();
           if (name.empty()) name = cpUpper(fs::path(path).stem().string());
           int number = newArea ? lowestFree() : st().current;
           if (!newArea) closeArea(number);
           if (areaByAlias(name))
             throw DbFailure{gen::kDupAlias, 0, "Alias " + name + " is already in use", path, e->name, false};
           OpenOptions opts;
           opts.shared = shared.isLogical() ? shared.logical() : !setFlag(set::kExclusive);
           opts.readOnly = readOnly;
           opts.durable = (setNumber(set::kDbOption) & 1) != 0;
           auto area = std::make_unique<WorkArea>();
           area->number = number;
           area->alias = name;
           area->engine = e->name;
           area->indexEngine = e->index;
           area->table = openTable(e->table, path, opts);
           area->buf.assign(static_cast<size_t>(area->table->recordLength()), ' ');
           area->orig = area->buf;
           area->rec = area->buf.data();
           for (const FieldDef& f : area->table->fields())
             area->plan.push_back({f.type, f.type == 'C' && area->table->codePage().identity(),
                                   static_cast<int16_t>(f.len), static_cast<int16_t>(f.dec), f.offset,
                                   fieldparse::numberShape(f.len, f.dec, f.offset), {}});
           area->fields = area->plan.size();
           WorkArea& a = *area;
           st().areas[number] = std::move(area);
           st().current = number;
           refreshCurrent();
           goTop(a);
           return Value(true);
         }, Value(false)).isTrue();
}

bool DbSelectArea(const Value& area) {
  return guarded("DbSelectArea", [&]() -> Value {
           int n = areaNumber(area);
           if (area.isNum() && n == 0) n = lowestFree();
           if (n < 1 || n > 65535)
             throw DbFailure{gen::kNoAlias, 0, "Work area " + (area.isChar() ? area.str() : numberDefaultText(area.num())) + " does not exist", "", "DBFDBE", false};
           st().current = n;
           refreshCurrent();
           return Value(true);
         }, Value(false)).isTrue();
}

int Select(const Value& alias) {
  if (alias.isNil()) return st().current;
  int n = areaNumber(alias);
  return n < 0 ? 0 : n;
}

std::string Alias(int area) {
  auto it = st().areas.find(area == 0 ? st().current : area);
  return it == st().areas.end() ? std::string() : it->second->alias;
}

bool Used() { return curArea != nullptr; }

Value WorkSpaceList() {
  auto out = makeArray();
  for (auto& [n, a] : st().areas) out->add(Value(n));
  return Value(out);
}

Value inArea(const Value& area, const std::function<Value()>& fn) {
  const int previous = st().current;
  struct Restore {
    int n;
    ~Restore() {
      st().current = n;
      refreshCurrent();
    }
  } restore{previous};
  if (!DbSelectArea(area)) return {};
  return fn();
}

Value DbInArea(const Value& area, const Value& block) {
  return inArea(area, [&] { return Eval(block); });
}

void DbCloseArea() {
  if (!curArea) return;
  guarded("DbCloseArea", [&]() -> Value {
    closeArea(st().current);
    return {};
  });
}

void DbCloseAll() {
  std::vector<int> numbers;
  for (auto& [n, a] : st().areas) numbers.push_back(n);
  for (int n : numbers) {
    st().current = n;
    refreshCurrent();
    DbCloseArea();
  }
  st().current = 1;
  refreshCurrent();
}

uint32_t RecNo() { return curArea ? curArea->recno : 0; }

uint32_t LastRec() {
  if (!curArea) return 0;
  return static_cast<uint32_t>(guarded("LastRec", [&]() -> Value { return Value(count(*curArea, true)); }, Value(0)).num());
}

void DbGoto(uint32_t recno) {
  guarded("DbGoto", [&]() -> Value {
    WorkArea& a = need("DbGoto");
    writeBuffer(a);
    a.bof = false;
    load(a, recno == 0 ? 0xFFFFFFFFu : recno, false);
    return {};
  });
}

void DbGoTop() {
  guarded("DbGoTop", [&]() -> Value {
    goTop(need("DbGoTop"));
    return {};
  });
}

void DbGoBottom() {
  guarded("DbGoBottom", [&]() -> Value {
    goBottom(need("DbGoBottom"));
    return {};
  });
}

namespace db {
void skipSlow(long n) {
  guarded("DbSkip", [&]() -> Value {
    skip(need("DbSkip"), n);
    return {};
  });
}
}  // namespace db

bool Bof() { return curArea ? curArea->bof : true; }
bool Found() { return curArea ? curArea->found : false; }

int FCount() { return curArea ? static_cast<int>(curArea->table->fields().size()) : 0; }

int FieldPos(const std::string& name) {
  if (!curArea) return 0;
  std::string_view n = name;
  while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
  const auto& fs = curArea->table->fields();
  for (size_t i = 0; i < fs.size(); ++i)
    if (iequals(fs[i].name, n)) return static_cast<int>(i) + 1;
  return 0;
}

std::string FieldName(int pos) {
  if (!curArea) return "";
  const auto& fs = curArea->table->fields();
  if (pos < 1 || pos > static_cast<int>(fs.size())) return "";
  return fs[static_cast<size_t>(pos) - 1].name;
}

Value FieldGet(const Value& field) {
  Value v;  // the only value returned, so it is built in the caller's place
  WorkArea* a = curArea;
  if (a && field.isNum()) {
    // By position, the common case: the error machinery only for a bad field.
    const double n = field.num();
    if (n >= 1 && n <= static_cast<double>(a->plan.size()) && n == std::floor(n) &&
        decodeInto(*a, static_cast<size_t>(n) - 1, v))
      return v;
  }
  v = guarded("FieldGet", [&]() -> Value {
    WorkArea& w = need("FieldGet");
    return decodeField(w, static_cast<size_t>(fieldIndex(w, field)));
  });
  return v;
}

namespace db {
// FieldGetInto for what the cursor does not read in line: the other contents the long way,
// and the errors.
bool fieldGetIntoSlow(int pos, Value& out) {
  WorkArea* a = curArea;
  if (a && static_cast<size_t>(pos) - 1 < a->plan.size() && decodeInto(*a, static_cast<size_t>(pos) - 1, out))
    return true;
  bool read = false;
  Value v = guarded("FieldGet", [&]() -> Value {
    WorkArea& w = need("FieldGet");
    Value r = decodeField(w, static_cast<size_t>(fieldIndex(w, Value(pos))));
    read = true;
    return r;
  });
  out = std::move(v);
  return read;
}
}  // namespace db

Value FieldPut(const Value& field, const Value& value) {
  return guarded("FieldPut", [&]() -> Value {
    WorkArea& a = need("FieldPut");
    const FieldDef& f = a.table->fields()[static_cast<size_t>(fieldIndex(a, field))];
    checkWritable(a);
    keepOriginal(a);
    encodeField(a, f, value);
    a.dirty = true;
    return value;
  });
}

bool IsFieldVar(const Value& name) {
  if (!name.isChar()) return false;
  std::string s = name.str();
  auto arrow = s.find("->");
  if (arrow != std::string::npos) {
    std::string alias = s.substr(0, arrow);
    while (!alias.empty() && alias.back() == ' ') alias.pop_back();
    WorkArea* a = areaByAlias(alias);
    if (!a) return false;
    std::string field = s.substr(arrow + 2);
    return inArea(Value(a->number), [&] { return Value(FieldPos(field) > 0); }).isTrue();
  }
  return FieldPos(s) > 0;
}

Value FieldBlock(const std::string& name) {
  return guarded("FieldBlock", [&]() -> Value {
    WorkArea& a = need("FieldBlock");
    fieldIndex(a, Value(name));
    return Value(makeBlock([name](Args args) -> Value {
      if (args.size() == 0) return FieldGet(Value(name));
      return FieldPut(Value(name), args[0]);
    }));
  });
}

Value FieldWBlock(const std::string& name, const Value& area) {
  return guarded("FieldWBlock", [&]() -> Value {
    int n = areaNumber(area);
    auto it = st().areas.find(n);
    if (it == st().areas.end())
      throw DbFailure{gen::kNoAlias, 0, "Work area " + (area.isChar() ? area.str() : numberDefaultText(area.num())) + " is not in use", "", "DBFDBE", false};
    fieldIndex(*it->second, Value(name));
    Value areaNo(n);
    return Value(makeBlock([name, areaNo](Args args) -> Value {
      Value v = args.size() ? args[0] : Value();
      bool put = args.size() > 0;
      return inArea(areaNo, [&] { return put ? FieldPut(Value(name), v) : FieldGet(Value(name)); });
    }));
  });
}

bool DbAppend(bool releaseLocks) {
  return guarded("DbAppend", [&]() -> Value {
           WorkArea& a = need("DbAppend");
           if (a.table->readOnly()) failArea(a, gen::kTableReadOnly, "Table is open read-only");
           writeBuffer(a);
           if (releaseLocks && !a.locks.empty()) {
             saveOrders(a);
             a.table->unlockAll();
             a.locks.clear();
             a.fileLock = false;
           }
           blank(a);
           a.buf[0] = ' ';
           uint32_t recno = a.table->append(a.buf.data());
           if (a.table->shared() && !a.fileLock) a.locks.push_back(recno);
           a.recno = recno;
           a.eof = a.bof = false;
           a.orig = a.buf;
           for (auto& ix : a.orders) ix->update(recno, nullptr, ix->keyOf(a.buf.data()));
           a.dirty = true;  // text engines write the record at the next commit point
           return Value(true);
         }, Value(false)).isTrue();
}

void DbDelete() {
  guarded("DbDelete", [&]() -> Value {
    WorkArea& a = need("DbDelete");
    checkWritable(a);
    keepOriginal(a);
    a.buf[0] = '*';
    a.dirty = true;
    return {};
  });
}

void DbRecall() {
  guarded("DbRecall", [&]() -> Value {
    WorkArea& a = need("DbRecall");
    checkWritable(a);
    keepOriginal(a);
    a.buf[0] = ' ';
    a.dirty = true;
    return {};
  });
}

bool Deleted() { return curArea && curArea->rec && curArea->rec[0] == '*'; }

void DbCommit() {
  if (!curArea) return;
  guarded("DbCommit", [&]() -> Value {
    WorkArea& a = *curArea;
    writeBuffer(a);
    saveOrders(a);
    a.table->flush();
    return {};
  });
}

void DbCommitAll() {
  inArea(Value(st().current), [] {
    for (auto& [n, a] : st().areas) {
      st().current = n;
      refreshCurrent();
      DbCommit();
    }
    return Value();
  });
}

void DBRROLLBACK() {
  WorkArea* a = curArea;
  if (!a || !a->dirty) return;
  a->buf = a->orig;
  a->rec = a->buf.data();
  a->dirty = false;
}

bool DbRLock(uint32_t recno) {
  return guarded("DbRLock", [&]() -> Value {
           WorkArea& a = need("DbRLock");
           return Value(lockRecord(a, recno));
         }, Value(false)).isTrue();
}

void DbRUnlock(uint32_t recno) {
  guarded("DbRUnlock", [&]() -> Value {
    WorkArea& a = need("DbRUnlock");
    if (recno == 0) {
      unlockAll(a);
      return {};
    }
    if (recno == a.recno) writeBuffer(a);
    saveOrders(a);
    auto it = std::find(a.locks.begin(), a.locks.end(), recno);
    if (it != a.locks.end()) {
      a.table->unlockRecord(recno);
      a.locks.erase(it);
    }
    return {};
  });
}

Value DbRLockList() {
  auto out = makeArray();
  if (curArea)
    for (uint32_t r : curArea->locks) out->add(Value(r));
  return Value(out);
}

bool FLock() {
  return guarded("FLock", [&]() -> Value {
           WorkArea& a = need("FLock");
           if (a.fileLock || !a.table->shared()) return Value(true);
           if (!a.table->lockFile(Set(set::kLockWait).num()))
             failArea(a, gen::kLock, "Table is locked by another user", oscode::kLockViolation);
           a.fileLock = true;
           a.locks.clear();
           if (!a.eof && !a.dirty) load(a, a.recno, false);
           return Value(true);
         }, Value(false)).isTrue();
}

void DbUnlock() {
  if (!curArea) return;
  guarded("DbUnlock", [&]() -> Value {
    unlockAll(*curArea);
    return {};
  });
}

// ---- indexes ----

bool OrdCreate(const std::string& file, const Value& keyFields) {
  return guarded("OrdCreate", [&]() -> Value {
           WorkArea& a = need("OrdCreate");
           if (!a.indexEngine)
             failArea(a, gen::kNoEngine, "Engine " + a.engine + " of this work area keeps no index files");
           writeBuffer(a);
           std::string path = withExtension(file, ".ntx");
           auto ix = Index::create(path, *a.table, splitKey(keyFields));
           for (auto it = a.orders.begin(); it != a.orders.end(); ++it)
             if ((*it)->path() == path) {
               a.orders.erase(it);
               break;
             }
           a.orders.push_back(std::move(ix));
           a.order = static_cast<int>(a.orders.size());
           goTop(a);
           return Value(true);
         }, Value(false)).isTrue();
}

bool OrdListAdd(const std::string& file) {
  return guarded("OrdListAdd", [&]() -> Value {
           WorkArea& a = need("OrdListAdd");
           if (!a.indexEngine)
             failArea(a, gen::kNoEngine, "Engine " + a.engine + " of this work area keeps no index files");
           writeBuffer(a);
           a.orders.push_back(Index::open(withExtension(file, ".ntx"), *a.table));
           if (a.order == 0) {
             a.order = static_cast<int>(a.orders.size());
             goTop(a);
           }
           return Value(true);
         }, Value(false)).isTrue();
}

void OrdListClear() {
  if (!curArea) return;
  guarded("OrdListClear", [&]() -> Value {
    WorkArea& a = *curArea;
    writeBuffer(a);
    saveOrders(a);
    a.orders.clear();
    a.order = 0;
    return {};
  });
}

std::string OrdSetFocus(const Value& order) {
  if (!curArea) return "";
  WorkArea& a = *curArea;
  Index* old = orderOf(a);
  std::string oldName = old ? old->name() : "";
  if (order.isNil()) return oldName;
  guarded("OrdSetFocus", [&]() -> Value {
    if (order.isNum()) {
      int n = static_cast<int>(order.num());
      if (n < 0 || n > static_cast<int>(a.orders.size()))
        failArea(a, gen::kNoOrder, "Order " + std::to_string(n) + " does not exist");
      a.order = n;
      return {};
    }
    std::string name = cpUpper(order.str());
    for (size_t i = 0; i < a.orders.size(); ++i)
      if (a.orders[i]->name() == name) {
        a.order = static_cast<int>(i) + 1;
        return {};
      }
    failArea(a, gen::kNoOrder, "Order " + name + " does not exist");
  });
  return oldName;
}

int OrdCount() { return curArea ? static_cast<int>(curArea->orders.size()) : 0; }

std::string OrdKey(const Value& order) {
  if (!curArea) return "";
  WorkArea& a = *curArea;
  int n = order.isNum() ? static_cast<int>(order.num()) : a.order;
  if (order.isChar())
    for (size_t i = 0; i < a.orders.size(); ++i)
      if (a.orders[i]->name() == cpUpper(order.str())) n = static_cast<int>(i) + 1;
  if (n < 1 || n > static_cast<int>(a.orders.size())) return "";
  return a.orders[static_cast<size_t>(n) - 1]->keyText();
}

bool DbSeek(const Value& key, bool softSeek) {
  return guarded("DbSeek", [&]() -> Value {
           WorkArea& a = need("DbSeek");
           Index* ix = orderOf(a);
           if (!ix) failArea(a, gen::kNoOrder, "No index is the controlling order");
           writeBuffer(a);
           ix->refresh();
           auto k = ix->keyOfValue(key);
           if (!k) failArea(a, gen::kDataType, "Seek value of type " + ValType(key) + " does not fit the key " + ix->keyText());
           auto it = ix->lowerBound(*k);
           bool hit = it != ix->entries().end() && it->first.compare(0, k->size(), *k) == 0;
           a.found = hit;
           a.bof = false;
           if (hit || (softSeek && it != ix->entries().end())) load(a, it->second, false);
           else load(a, 0xFFFFFFFFu, false);
           return Value(hit);
         }, Value(false)).isTrue();
}

}  // namespace xb
