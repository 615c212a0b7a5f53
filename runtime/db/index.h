// The index engine ("NTXDBE"): an ordered list of (key, record number) for a table, kept
// in memory while in use and written to its file at commit points. The file layout is
// described in docs/database.md.
#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "core/value.h"
#include "db/table.h"

namespace xb::db {

class Index {
 public:
  using Entry = std::pair<std::string, uint32_t>;
  using Iter = std::set<Entry>::const_iterator;

  // Builds the index from every record of the table and writes its file.
  static std::unique_ptr<Index> create(const std::string& path, Table& table,
                                       const std::vector<std::string>& keyFields);
  static std::unique_ptr<Index> open(const std::string& path, Table& table);

  const std::string& path() const { return path_; }
  std::string name() const;  // base name without extension, upper case
  std::string keyText() const;  // "NAME+CITY"

  std::string keyOf(const char* record) const;
  // Key (or key prefix) of a seek value; nullopt when the value does not fit the key.
  std::optional<std::string> keyOfValue(const Value& v) const;

  const std::set<Entry>& entries() const { return entries_; }
  Iter find(const std::string& key, uint32_t recno) const { return entries_.find({key, recno}); }
  Iter lowerBound(const std::string& key) const { return entries_.lower_bound({key, 0}); }

  // A record's key changed (old empty when it is new).
  void update(uint32_t recno, const std::string* oldKey, const std::string& newKey);
  // Writes the file when there are changes, merging other processes' changes in.
  void save();
  // Reads the file again when another process has rewritten it.
  void refresh();

 private:
  Index(std::string path, Table& table) : path_(std::move(path)), table_(table) {}
  void resolveFields(const std::vector<std::string>& names);
  void load();        // from the file, replacing entries_
  void writeFile();   // entries_ to the file
  bool changedOnDisk() const;
  void rememberStamp();

  struct Part {
    int field;  // index into table fields
  };
  std::string path_;
  Table& table_;
  std::vector<Part> parts_;
  int keyLen_ = 0;
  std::set<Entry> entries_;
  struct Change {
    bool add;
    Entry entry;
  };
  std::vector<Change> pending_;
  struct Stamp {
    ino_t ino = 0;
    int64_t mtimeNs = 0;
    off_t size = -1;
  } stamp_;
};

}  // namespace xb::db
