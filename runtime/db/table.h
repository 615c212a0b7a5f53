// The engines' common view of a table: a file of fixed-length records, each starting with
// the delete flag, and the locks of shared use. The DBF engine and the text engines
// implement it; work areas and indexes only talk to this interface.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/codepage.h"
#include "db/filemap.h"

namespace xb::db {

// A failure inside an engine. Work-area functions turn it into a run-time error object.
struct DbFailure {
  int genCode = 0;
  int osCode = 0;
  std::string description;
  std::string fileName;
  std::string subSystem;
  bool canRetry = false;
};

struct FieldDef {
  std::string name;  // upper case, at most 10 characters
  char type = 'C';   // C, N, D, L
  int len = 0;
  int dec = 0;
  int offset = 0;  // from the start of the record, the delete flag is byte 0
};

struct OpenOptions {
  bool shared = true;
  bool readOnly = false;
  bool durable = false;  // flush to the disk on commit (setting 41, bit 1)
};

class Table {
 public:
  virtual ~Table() = default;

  virtual const char* engine() const = 0;
  const std::string& path() const { return path_; }
  const std::vector<FieldDef>& fields() const { return fields_; }
  int recordLength() const { return recLen_; }
  bool shared() const { return opts_.shared; }
  bool readOnly() const { return opts_.readOnly; }
  const CodePage& codePage() const { return *cp_; }

  // Number of records. `fresh` reads it again from the file (other processes append).
  virtual uint32_t recCount(bool fresh) = 0;
  // Reads record n (1-based) into dst (recordLength() bytes). `sequential` allows a
  // read-ahead buffer for the next records.
  virtual void read(uint32_t recno, char* dst, bool sequential) = 0;
  virtual void write(uint32_t recno, const char* src) = 0;
  // Appends a record and returns its number.
  virtual uint32_t append(const char* src) = 0;
  // Forgets read-ahead data so the next read sees other processes' writes.
  virtual void invalidate() { windowCount_ = 0; }
  // Record n from the read window, or nullptr when it is not there. Inline and not virtual:
  // reading on to the next record is the hot path of every scan of a table. The bytes are
  // only good when windowLost() is false after they were read.
  const char* cachedRecord(uint32_t recno) const {
    if (recno - windowFirst_ >= windowCount_) return nullptr;  // also below windowFirst_
    return window_ + static_cast<size_t>(recno - windowFirst_) * static_cast<size_t>(recLen_);
  }
  bool windowLost() const { return windowLost_ && FileMap::isSet(*windowLost_); }

  // Locks of shared use; without sharing they always succeed. `waitSeconds` 0 tries once.
  virtual bool lockRecord(uint32_t, double) { return true; }
  virtual void unlockRecord(uint32_t) {}
  virtual bool lockFile(double) { return true; }
  virtual void unlockAll() {}
  // Serialises writers of the table's index files among processes.
  virtual void lockIndexes() {}
  virtual void unlockIndexes() {}

  // Commit point: write what is pending and, when durable, flush it to the disk.
  virtual void flush() {}
  virtual void close() = 0;

  [[noreturn]] void fail(int genCode, std::string description, int osCode = 0,
                         bool canRetry = false) const;

 protected:
  std::string path_;
  std::vector<FieldDef> fields_;
  int recLen_ = 1;
  OpenOptions opts_;
  std::shared_ptr<const CodePage> cp_;
  // The read window of engines that have one: records windowFirst_ ..
  // windowFirst_+windowCount_-1 at window_, in a map of the file or a read-ahead buffer. A
  // map sets windowLost_ when its file was cut short under it.
  const char* window_ = nullptr;
  uint32_t windowFirst_ = 0, windowCount_ = 0;
  const std::atomic<int>* windowLost_ = nullptr;
};

// A record that a window can hand out as it is: a delete flag first, and a last byte that is
// no zero. A record cut off by a shorter file ends in the zeros the kernel shows behind the
// file's end; those (and the rare record that really ends in a zero byte) are read with
// pread, which tells the two apart.
inline bool plainRecord(const char* rec, size_t len) {
  return (rec[0] == ' ' || rec[0] == '*') && rec[len - 1] != '\0';
}

// Checks a structure for DbCreate and fills the offsets; fails with a clear error.
void checkStructure(std::vector<FieldDef>& fields, const std::string& file, const char* engine);

}  // namespace xb::db
