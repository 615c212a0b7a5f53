// A read-only view of a file's pages (mmap), so a scan of a table reads its records where
// the kernel keeps them instead of copying them out first.
//
// If another program cuts the file short while it is mapped, touching a page beyond the new
// end would kill the process with SIGBUS. A process-wide guard catches that fault for pages
// of these maps only: it puts a page of zeros in place of the lost one and marks the map as
// lost, so the reader sees zeros, checks lost(), and reports the table as damaged. Faults
// elsewhere go on to the handler that was there before.
#pragma once
#include <atomic>
#include <cstddef>

namespace xb::db {

class FileMap {
 public:
  FileMap() = default;
  ~FileMap() { unmap(); }
  FileMap(const FileMap&) = delete;
  FileMap& operator=(const FileMap&) = delete;

  // Maps `length` bytes of the file from its start. The length may reach beyond the file's
  // end: those pages become readable as the file grows. False (and nothing mapped) when no
  // map can be had; the caller then reads with pread.
  bool map(int fd, size_t length);
  void unmap();

  bool mapped() const { return data_ != nullptr; }
  const char* data() const { return data_; }
  size_t length() const { return length_; }
  // Set once a page of the map was lost to a file cut short; see lost().
  const std::atomic<int>* lostFlag() const { return lost_; }
  bool lost() const { return lost_ && isSet(*lost_); }

  // Reads a flag the fault guard sets: the fence keeps the compiler from moving the read
  // before the accesses to the map that may have faulted.
  static bool isSet(const std::atomic<int>& flag) {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    return flag.load(std::memory_order_relaxed) != 0;
  }
  // True while some map of the process has lost a page: one test for the reads of every
  // field, which look at their own table's map only then.
  static bool anyLost() { return isSet(lostMaps); }

  static std::atomic<int> lostMaps;

 private:
  const char* data_ = nullptr;
  size_t length_ = 0;
  int slot_ = -1;  // this map's entry in the guard's table
  const std::atomic<int>* lost_ = nullptr;
};

}  // namespace xb::db
