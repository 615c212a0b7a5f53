// The DBF engine ("DBFDBE"): dBase III tables with C, N, D and L fields.
#pragma once
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "db/table.h"

namespace xb::db {

// Byte offsets of the locks (Linux open-file-description locks, so every open table is
// its own owner: two processes and two work areas of one process exclude each other).
// They lie far beyond any table's end and never touch data bytes.
inline constexpr off_t kLockBase = off_t{1} << 40;
inline constexpr off_t kOpenLockByte = kLockBase - 1;    // shared: read lock, exclusive: write lock
inline constexpr off_t kAppendLockByte = kLockBase - 2;  // held while a record is appended
inline constexpr off_t kIndexLockByte = kLockBase - 3;   // held while an index file is rewritten

// Room a map of a table leaves to grow behind the file's end (tests make it small to see the
// map renewed); returns the previous room.
size_t setMapRoomForTesting(size_t bytes);

class DbfTable : public Table {
 public:
  static std::unique_ptr<DbfTable> open(const std::string& path, const OpenOptions& opts);
  // Creates (replaces) a table, marked as CP850. The file appears complete or not at all.
  static void create(const std::string& path, std::vector<FieldDef> fields);
  ~DbfTable() override;

  const char* engine() const override { return "DBFDBE"; }
  uint32_t recCount(bool fresh) override;
  void read(uint32_t recno, char* dst, bool sequential) override;
  void invalidate() override;
  void write(uint32_t recno, const char* src) override;
  uint32_t append(const char* src) override;
  bool lockRecord(uint32_t recno, double waitSeconds) override;
  void unlockRecord(uint32_t recno) override;
  bool lockFile(double waitSeconds) override;
  void unlockAll() override;
  void lockIndexes() override;
  void unlockIndexes() override;
  void flush() override;
  void close() override;

  uint32_t headerLength() const { return hdrLen_; }

 private:
  DbfTable() = default;
  void parseHeader();
  uint32_t countFromFile();
  // The read window: a map of the whole file with room to grow, or where no map can be had,
  // a read-ahead buffer of the next records.
  void mapFile();
  void dropMap();
  void fitWindow();
  off_t offsetOf(uint32_t recno) const {
    return static_cast<off_t>(hdrLen_) + static_cast<off_t>(recno - 1) * recLen_;
  }

  // Other open tables of this process on the same file: their read-ahead gets the record
  // this one writes, so a second work area never reads a record older than a commit (a
  // map needs nothing: it shows the kernel's pages, which the write changed).
  void registerFile();
  void unregisterFile();
  void othersChanged(uint32_t recno, const char* src);

  int fd_ = -1;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
  uint32_t hdrLen_ = 0;
  uint32_t count_ = 0;
  bool written_ = false;
  FileMap map_;
  std::vector<char> readAhead_;
};

}  // namespace xb::db
