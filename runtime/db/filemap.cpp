#include "db/filemap.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>

namespace xb::db {
namespace {

// The guard's table of live maps. Fixed size and lock-free, because the fault handler reads
// it; a map that finds no free entry is not made (the table is read with pread instead).
struct Slot {
  std::atomic<uintptr_t> begin{0}, end{0};
  std::atomic<int> lost{0};
  std::atomic<bool> used{false};
};
constexpr int kSlots = 256;
Slot slots[kSlots];

uintptr_t pageSize = 4096;
struct sigaction previous {};

void onBusError(int sig, siginfo_t* info, void* context) {
  const auto addr = reinterpret_cast<uintptr_t>(info->si_addr);
  for (Slot& s : slots) {
    const uintptr_t b = s.begin.load(std::memory_order_acquire);
    if (b == 0 || addr < b || addr >= s.end.load(std::memory_order_acquire)) continue;
    // A page of a map whose file was cut short: zeros in its place, and the reader is told.
    void* page = reinterpret_cast<void*>(addr & ~(pageSize - 1));
    if (::mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      if (s.lost.exchange(1, std::memory_order_relaxed) == 0) FileMap::lostMaps.fetch_add(1, std::memory_order_relaxed);
      return;
    }
    break;
  }
  // Not ours: as if this handler were not there.
  if ((previous.sa_flags & SA_SIGINFO) && previous.sa_sigaction) {
    previous.sa_sigaction(sig, info, context);
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(sig);
  } else {
    // The default action: the fault repeats on return and ends the process as it would have.
    ::signal(SIGBUS, SIG_DFL);
  }
}

void installGuard() {
  static std::once_flag once;
  std::call_once(once, [] {
    pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction sa {};
    sa.sa_sigaction = onBusError;
    sa.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGBUS, &sa, &previous);
  });
}

}  // namespace

std::atomic<int> FileMap::lostMaps{0};

bool FileMap::map(int fd, size_t length) {
  unmap();
  if (length == 0) return false;
  installGuard();
  int slot = -1;
  for (int i = 0; i < kSlots && slot < 0; ++i) {
    bool expected = false;
    if (slots[i].used.compare_exchange_strong(expected, true)) slot = i;
  }
  if (slot < 0) return false;
  void* p = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) {
    slots[slot].used.store(false);
    return false;
  }
  Slot& s = slots[slot];
  s.lost.store(0, std::memory_order_relaxed);
  s.end.store(reinterpret_cast<uintptr_t>(p) + length, std::memory_order_release);
  s.begin.store(reinterpret_cast<uintptr_t>(p), std::memory_order_release);
  data_ = static_cast<const char*>(p);
  length_ = length;
  slot_ = slot;
  lost_ = &s.lost;
  return true;
}

void FileMap::unmap() {
  if (!data_) return;
  Slot& s = slots[slot_];
  s.begin.store(0, std::memory_order_release);
  s.end.store(0, std::memory_order_release);
  ::munmap(const_cast<char*>(data_), length_);
  if (s.lost.exchange(0, std::memory_order_relaxed) != 0) lostMaps.fetch_sub(1, std::memory_order_relaxed);
  s.used.store(false, std::memory_order_release);
  data_ = nullptr;
  length_ = 0;
  slot_ = -1;
  lost_ = nullptr;
}

}  // namespace xb::db
