// The database layer of the runtime: engines, work areas, record buffers and locks,
// indexes and sessions. Functions act on the current work area unless they say otherwise;
// failures raise error objects through the error block (subSystem is the engine, fileName
// the table), and the error block's answer decides as for every run-time error.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/value.h"
#include "db/cursor.h"

namespace xb {

// ---- engines ----
// Loads "DBFDBE", "NTXDBE", "DELDBE" or "SDFDBE"; false for any other name. `hidden`
// (true when the engine is only meant as a part of a composite engine) keeps it out of
// DbeList(false) and from being the default engine; it can still be named explicitly.
bool DbeLoad(const std::string& name, bool hidden = false);
// Builds a composite of a table engine and an index engine ("DBFNTX" from "DBFDBE" and
// "NTXDBE"); false when a part is not loaded or the pair does not fit.
bool DbeBuild(const std::string& name, const std::string& first, const std::string& second);
// Array of {name, hidden} for every loaded or built engine; `all` false leaves out hidden ones.
Value DbeList(bool all = true);
// The default engine for DbUseArea/DbCreate without an engine name; with a name sets it
// (returns the previous one; "" when the name is not loaded).
std::string DbeSetDefault();
std::string DbeSetDefault(const std::string& name);

// ---- tables and work areas ----
// structure: array of {name, type, len, dec}. Replaces an existing file.
bool DbCreate(const std::string& file, const Value& structure, const std::string& engine = "");
Value DbStruct();
// Opens a table in the current area (newArea false) or in the lowest free one. alias ""
// uses the file's base name; shared NIL follows setting 8 (exclusive when it is on).
bool DbUseArea(bool newArea, const std::string& engine, const std::string& file,
               const std::string& alias = "", const Value& shared = {}, bool readOnly = false);
// Selects an area by number or alias; 0 selects the lowest free area.
bool DbSelectArea(const Value& area);
// Number of the current area, or of the area with that alias (0 when there is none).
int Select(const Value& alias = {});
std::string Alias(int area = 0);
bool Used();
// Numbers of the areas in use, ascending.
Value WorkSpaceList();
// The work-area switch (alias)->(expression): evaluates with that area selected and
// selects the previous one again afterwards, also when the evaluation breaks out.
Value DbInArea(const Value& area, const Value& block);
Value inArea(const Value& area, const std::function<Value()>& fn);
void DbCloseArea();
void DbCloseAll();

uint32_t RecNo();
uint32_t LastRec();
void DbGoto(uint32_t recno);
void DbGoTop();
void DbGoBottom();
// Inline: the steps of every scan of a table (see db/cursor.h).
inline void DbSkip(long n = 1) {
  db::Cursor* c = db::current;
  if (!(c && n == 1 && c->skipInWindow())) db::skipSlow(n);
}
inline bool Eof() { return db::current ? db::current->eof : true; }
bool Bof();
bool Found();

int FCount();
int FieldPos(const std::string& name);  // 0 when the field does not exist
std::string FieldName(int pos);         // "" when out of range
// Field by position or name. Numbers carry the field's width and decimals.
Value FieldGet(const Value& field);
// FieldGet by position into `out`, for loops over many records: when `out` holds a value of
// the field's kind (a text from the same field of the record before), it is overwritten in
// place, so reading a table with one Value per field allocates nothing after the first
// record. The value is the one FieldGet gives. False after an error (reported through the
// error block); `out` then holds the error's default answer (NIL).
[[gnu::always_inline]] inline bool FieldGetInto(int pos, Value& out) {
  db::Cursor* c = db::current;
  if (c && static_cast<size_t>(pos) - 1 < c->fields && c->readField(static_cast<size_t>(pos) - 1, out)) return true;
  return db::fieldGetIntoSlow(pos, out);
}
Value FieldPut(const Value& field, const Value& value);
// True when `name` is a text naming a field of the current area ("ALIAS->FIELD" names the
// field of that alias's area).
bool IsFieldVar(const Value& name);
// Data links for a field: called without argument they read the field of the current
// record, with one they write it. FieldBlock follows the current area, FieldWBlock stays
// with the given one.
Value FieldBlock(const std::string& name);
Value FieldWBlock(const std::string& name, const Value& area);

// ---- record buffer ----
// Appends a blank record, locks it (shared mode) and makes it current; `releaseLocks`
// drops the other record locks first.
bool DbAppend(bool releaseLocks = true);
void DbDelete();
void DbRecall();
bool Deleted();
// Writes the pending buffer (and, with setting 41 bit 1, flushes to the disk).
void DbCommit();
void DbCommitAll();
// Discards the pending buffer: the record is as it was last read or written.
void DBRROLLBACK();

// ---- locks (shared mode) ----
// Locks a record (0: the current one) and re-reads it when current; waits up to setting 42
// seconds, then raises a lock error (genCode 78); its default answer gives false.
bool DbRLock(uint32_t recno = 0);
// Releases one record lock (0: all locks of the area), writing a pending buffer first.
void DbRUnlock(uint32_t recno = 0);
Value DbRLockList();
bool FLock();
void DbUnlock();

// ---- indexes ("NTXDBE") ----
// Creates an index file on one or more fields ("NAME", "NAME+CITY" or an array of names),
// opens it and makes it the controlling order.
bool OrdCreate(const std::string& file, const Value& keyFields);
bool OrdListAdd(const std::string& file);
void OrdListClear();
// Controlling order by position (0: natural order) or by file base name; returns the
// previous one's name.
std::string OrdSetFocus(const Value& order = {});
int OrdCount();
std::string OrdKey(const Value& order = {});
// Seeks a key (a value for the first key field, or an array with one value per field; a
// text may be a prefix). softSeek positions on the next greater key when not found.
bool DbSeek(const Value& key, bool softSeek = false);

// ---- sessions ----
Value DbSession();
// The session class object: :getDefault() gives the default session.
Value DacSession();

namespace db {
// Back to the start state: closes every area, unloads every engine (tests).
void resetForTesting();
// Makes DbeLoad of that engine fail (tests of start-up procedures).
void setEngineUnavailableForTesting(const std::string& name, bool unavailable = true);
}  // namespace db

}  // namespace xb
