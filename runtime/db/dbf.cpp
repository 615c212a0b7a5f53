#include "db/dbf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>
#include <utility>

#include "core/errcodes.h"
#include "core/system.h"
#include "core/text.h"

namespace xb::db {
namespace {

namespace fs = std::filesystem;

uint32_t le32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void put16(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

// Today as the three date bytes of the header (year - 1900, month, day).
void putToday(unsigned char* p) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  p[0] = static_cast<unsigned char>(tm.tm_year);
  p[1] = static_cast<unsigned char>(tm.tm_mon + 1);
  p[2] = static_cast<unsigned char>(tm.tm_mday);
}

bool ofdLock(int fd, short type, off_t start, off_t len, bool wait) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = len;
  for (;;) {
    if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0) return true;
    if (errno == EINTR) continue;
    return false;
  }
}

// Tries a lock until it is had or the wait is over; short sleeps that grow, so a lock held
// for a moment is taken at once and a long wait does not spin.
bool ofdLockWait(int fd, off_t start, off_t len, double waitSeconds) {
  using clock = std::chrono::steady_clock;
  auto deadline = clock::now() + std::chrono::duration<double>(waitSeconds < 0 ? 0 : waitSeconds);
  auto pause = std::chrono::microseconds(20);
  for (;;) {
    if (ofdLock(fd, F_WRLCK, start, len, false)) return true;
    if (errno != EAGAIN && errno != EACCES) return false;
    if (clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(2)) pause *= 2;
  }
}

bool fullPwrite(int fd, const void* buf, size_t len, off_t off) {
  auto* p = static_cast<const char*>(buf);
  while (len > 0) {
    ssize_t n = ::pwrite(fd, p, len, off);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    p += n;
    len -= static_cast<size_t>(n);
    off += n;
  }
  return true;
}

ssize_t fullPread(int fd, void* buf, size_t len, off_t off) {
  auto* p = static_cast<char*>(buf);
  size_t done = 0;
  while (done < len) {
    ssize_t n = ::pread(fd, p + done, len - done, off + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

constexpr size_t kReadAhead = 64 * 1024;
// Room to grow behind the end of a mapped table: appended records are read without mapping
// the file again until it has doubled or grown by this much.
size_t mapRoom = 16 * 1024 * 1024;

// Never destroyed: a program may end with tables open, and their destructors (run with the
// work areas' at exit, possibly after this map's) still unregister from it.
std::multimap<std::pair<dev_t, ino_t>, DbfTable*>& openFiles() {
  static auto* m = new std::multimap<std::pair<dev_t, ino_t>, DbfTable*>;
  return *m;
}

}  // namespace

size_t setMapRoomForTesting(size_t bytes) { return std::exchange(mapRoom, bytes); }

std::unique_ptr<DbfTable> DbfTable::open(const std::string& path, const OpenOptions& opts) {
  std::unique_ptr<DbfTable> t(new DbfTable());
  t->path_ = path;
  t->opts_ = opts;
  // Locks of the write kind need a descriptor open for writing, so a read-only table is
  // opened for writing too where the file allows it; the engine itself never writes it.
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  bool writable = fd >= 0;
  if (fd < 0 && opts.readOnly && (errno == EACCES || errno == EROFS || errno == EPERM))
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    if (err == ENOENT) t->fail(gen::kNoFile, "Table file does not exist: " + path, oscode::kFileNotFound, true);
    t->fail(gen::kOpen, "Table cannot be opened: " + path, osCodeOfErrno(err), true);
  }
  t->fd_ = fd;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) t->fail(gen::kOpen, "Not a regular file: " + path, oscode::kAccessDenied);
  // Shared users hold a read lock on the open byte, an exclusive user a write lock.
  if (!ofdLock(fd, opts.shared || !writable ? F_RDLCK : F_WRLCK, kOpenLockByte, 1, false)) {
    int err = errno;
    if (err == EAGAIN || err == EACCES)
      t->fail(gen::kOpen, opts.shared ? "Table is open exclusively by another user: " + path
                                      : "Table is in use by another user: " + path,
              oscode::kSharingViolation, true);
    t->fail(gen::kOpen, "Table cannot be locked: " + path, osCodeOfErrno(err), true);
  }
  t->dev_ = st.st_dev;
  t->ino_ = st.st_ino;
  t->parseHeader();
  t->mapFile();
  t->registerFile();
  return t;
}

DbfTable::~DbfTable() {
  unregisterFile();
  if (fd_ >= 0) ::close(fd_);
}

void DbfTable::registerFile() { openFiles().emplace(std::make_pair(dev_, ino_), this); }

void DbfTable::unregisterFile() {
  auto [b, e] = openFiles().equal_range({dev_, ino_});
  for (auto it = b; it != e; ++it)
    if (it->second == this) {
      openFiles().erase(it);
      return;
    }
}

void DbfTable::othersChanged(uint32_t recno, const char* src) {
  auto [b, e] = openFiles().equal_range({dev_, ino_});
  for (auto it = b; it != e; ++it) {
    DbfTable* t = it->second;
    if (t == this || t->map_.mapped()) continue;
    if (recno - t->windowFirst_ < t->windowCount_)
      std::memcpy(t->readAhead_.data() + (recno - t->windowFirst_) * static_cast<size_t>(recLen_), src,
                  static_cast<size_t>(recLen_));
  }
}

void DbfTable::parseHeader() {
  struct stat st {};
  fstat(fd_, &st);
  const off_t size = st.st_size;
  unsigned char h[32];
  if (size < 32 || fullPread(fd_, h, 32, 0) != 32)
    fail(gen::kCorruption, "Not a DBF table (file too short): " + path_);
  const uint8_t version = h[0];
  const bool knownVersion = version == 0x03 || version == 0x83 || version == 0x8B || version == 0xF5 ||
                            version == 0x30 || version == 0x31 || version == 0x04;
  if (!knownVersion) fail(gen::kCorruption, "Not a DBF table (unknown version byte): " + path_);
  if (h[2] > 12 || h[3] > 31)
    fail(gen::kCorruption, "Not a DBF table (no valid date in the header): " + path_);
  const uint32_t count = le32(h + 4);
  hdrLen_ = le16(h + 8);
  recLen_ = le16(h + 10);
  if (hdrLen_ < 32 + 32 + 1 || static_cast<off_t>(hdrLen_) > size)
    fail(gen::kCorruption, "Corrupt table header (header length " + std::to_string(hdrLen_) + "): " + path_);
  if (recLen_ < 2) fail(gen::kCorruption, "Corrupt table header (record length " + std::to_string(recLen_) + "): " + path_);

  std::string hdr(hdrLen_, '\0');
  if (fullPread(fd_, hdr.data(), hdrLen_, 0) != static_cast<ssize_t>(hdrLen_))
    fail(gen::kCorruption, "Table header cannot be read: " + path_);
  int offset = 1;
  size_t pos = 32;
  bool terminated = false;
  while (pos < hdrLen_) {
    if (static_cast<unsigned char>(hdr[pos]) == 0x0D) {
      terminated = true;
      break;
    }
    if (pos + 32 > hdrLen_) break;
    const char* d = hdr.data() + pos;
    size_t nameLen = 0;
    while (nameLen < 11 && d[nameLen] != '\0') ++nameLen;
    if (nameLen == 11 || nameLen == 0)
      fail(gen::kCorruption, "Corrupt table header (field " + std::to_string(fields_.size() + 1) +
                                 " has no terminated name): " + path_);
    FieldDef f;
    f.name = cpUpper(std::string_view(d, nameLen));
    for (unsigned char c : f.name)
      if (c < 32 || c == 127)
        fail(gen::kCorruption, "Corrupt table header (field " + std::to_string(fields_.size() + 1) +
                                   " has an unreadable name): " + path_);
    f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
    f.len = static_cast<unsigned char>(d[16]);
    f.dec = static_cast<unsigned char>(d[17]);
    switch (f.type) {
      case 'C': f.dec = 0; break;
      case 'N':
      case 'F':
        f.type = 'N';
        if (f.len < 1 || f.len > 32 || f.dec >= f.len)
          fail(gen::kCorruption, "Corrupt table header (field " + f.name + " has width " +
                                     std::to_string(f.len) + " and " + std::to_string(f.dec) + " decimals): " + path_);
        break;
      case 'D':
        if (f.len != 8) fail(gen::kCorruption, "Corrupt table header (date field " + f.name + " is not 8 wide): " + path_);
        break;
      case 'L':
        if (f.len != 1) fail(gen::kCorruption, "Corrupt table header (logical field " + f.name + " is not 1 wide): " + path_);
        break;
      case 'M':
      case 'B':
      case 'G':
      case 'P':
        fail(gen::kUnsupported, "Memo field " + f.name + " is not supported: " + path_);
      default:
        fail(gen::kCorruption, "Field " + f.name + " has the unknown type \"" + std::string(1, f.type) + "\": " + path_);
    }
    if (f.len < 1) fail(gen::kCorruption, "Corrupt table header (field " + f.name + " has width 0): " + path_);
    f.offset = offset;
    offset += f.len;
    fields_.push_back(std::move(f));
    pos += 32;
  }
  if (!terminated) fail(gen::kCorruption, "Corrupt table header (the field list has no end mark): " + path_);
  if (fields_.empty()) fail(gen::kCorruption, "Corrupt table header (no fields): " + path_);
  if (offset != recLen_)
    fail(gen::kCorruption, "Corrupt table header (record length " + std::to_string(recLen_) +
                               " does not match the fields, which need " + std::to_string(offset) + "): " + path_);

  // Records present in the file. A count one beyond them is what a writer leaves that
  // updates the count before the record and dies in between: the smaller number is the
  // truth. Anything more is damage we do not guess about.
  const uint64_t present = static_cast<uint64_t>(size - hdrLen_) / static_cast<uint64_t>(recLen_);
  if (count > present + 1)
    fail(gen::kCorruption, "Record count " + std::to_string(count) + " lies beyond the end of the file (" +
                               std::to_string(present) + " records present): " + path_);
  count_ = static_cast<uint32_t>(std::min<uint64_t>(count, present));

  // Code page: a .cpg file beside the table wins over the language-driver byte; a table
  // with neither is taken as CP850, the code page of the programs that write these tables.
  std::optional<std::string> cpName;
  fs::path cpg = fs::path(path_).replace_extension(".cpg");
  std::error_code ec;
  if (!fs::exists(cpg, ec)) cpg = fs::path(path_).replace_extension(".CPG");
  if (fs::exists(cpg, ec)) {
    std::ifstream in(cpg);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    cpName = codePageOfCpgText(text);
  }
  if (!cpName) cpName = codePageOfLanguageDriver(h[29]);
  cp_ = CodePage::byName(cpName.value_or("CP850"));
  if (!cp_) fail(gen::kOpen, "Code page " + *cpName + " of the table is not known: " + path_);
}

void DbfTable::mapFile() {
  struct stat st {};
  if (fstat(fd_, &st) == 0 && map_.map(fd_, static_cast<size_t>(st.st_size) + std::max<size_t>(static_cast<size_t>(st.st_size), mapRoom))) {
    fitWindow();
    return;
  }
  dropMap();
}

void DbfTable::dropMap() {
  map_.unmap();
  readAhead_.resize(std::max<size_t>(kReadAhead / static_cast<size_t>(recLen_), 1) * static_cast<size_t>(recLen_));
  window_ = readAhead_.data();
  windowFirst_ = windowCount_ = 0;
  windowLost_ = nullptr;
}

void DbfTable::fitWindow() {
  if (!map_.mapped()) return;
  window_ = map_.data() + hdrLen_;
  windowFirst_ = 1;
  windowCount_ = static_cast<uint32_t>(std::min<uint64_t>(count_, (map_.length() - hdrLen_) / static_cast<size_t>(recLen_)));
  windowLost_ = map_.lostFlag();
}

void DbfTable::invalidate() {
  // A map shows the kernel's pages, which are never stale.
  if (!map_.mapped()) windowCount_ = 0;
}

uint32_t DbfTable::countFromFile() {
  unsigned char c[4];
  if (fullPread(fd_, c, 4, 4) != 4) fail(gen::kRead, "Record count cannot be read: " + path_, osCodeOfErrno(errno));
  struct stat st {};
  fstat(fd_, &st);
  const uint64_t present = st.st_size > static_cast<off_t>(hdrLen_)
                               ? static_cast<uint64_t>(st.st_size - hdrLen_) / static_cast<uint64_t>(recLen_)
                               : 0;
  return static_cast<uint32_t>(std::min<uint64_t>(le32(c), present));
}

uint32_t DbfTable::recCount(bool fresh) {
  if (fresh && opts_.shared) {
    count_ = countFromFile();
    fitWindow();
  }
  return count_;
}

void DbfTable::read(uint32_t recno, char* dst, bool sequential) {
  const size_t len = static_cast<size_t>(recLen_);
  if (map_.mapped()) {
    if (recno > windowCount_ && recno <= count_) mapFile();  // the file grew beyond the map
    const char* rec = cachedRecord(recno);
    if (rec && plainRecord(rec, len)) {
      std::memcpy(dst, rec, len);
      if (!map_.lost()) return;
    }
    if (map_.lost()) dropMap();  // from here on pread finds where the file ends now
  } else if (sequential) {
    if (const char* rec = cachedRecord(recno)) {
      std::memcpy(dst, rec, len);
      return;
    }
    const uint32_t cap = static_cast<uint32_t>(readAhead_.size() / len);
    const uint32_t want = std::min<uint32_t>(cap, count_ >= recno ? count_ - recno + 1 : 1);
    ssize_t got = fullPread(fd_, readAhead_.data(), want * len, offsetOf(recno));
    if (got < 0) fail(gen::kRead, "Record " + std::to_string(recno) + " cannot be read: " + path_, osCodeOfErrno(errno));
    windowFirst_ = recno;
    windowCount_ = static_cast<uint32_t>(static_cast<size_t>(got) / len);
    if (windowCount_ == 0) fail(gen::kCorruption, "Record " + std::to_string(recno) + " is cut off: " + path_);
    std::memcpy(dst, readAhead_.data(), len);
    return;
  } else if (opts_.shared) {
    windowCount_ = 0;
  }
  ssize_t got = fullPread(fd_, dst, len, offsetOf(recno));
  if (got < 0) fail(gen::kRead, "Record " + std::to_string(recno) + " cannot be read: " + path_, osCodeOfErrno(errno));
  if (static_cast<size_t>(got) != len) fail(gen::kCorruption, "Record " + std::to_string(recno) + " is cut off: " + path_);
}

void DbfTable::write(uint32_t recno, const char* src) {
  const size_t len = static_cast<size_t>(recLen_);
  if (!fullPwrite(fd_, src, len, offsetOf(recno))) {
    int err = errno;
    fail(gen::kWrite, "Record " + std::to_string(recno) + " cannot be written: " + path_, osCodeOfErrno(err), true);
  }
  written_ = true;
  if (!map_.mapped() && recno - windowFirst_ < windowCount_)
    std::memcpy(readAhead_.data() + (recno - windowFirst_) * len, src, len);
  othersChanged(recno, src);
}

// Append protocol, safe against a second appender and against being killed at any point:
// under the append lock, write the record and the end-of-file mark behind the last counted
// record, then the new count. Until the count is written the record does not exist; a
// record written but not counted is overwritten by the next append.
uint32_t DbfTable::append(const char* src) {
  const size_t len = static_cast<size_t>(recLen_);
  struct Unlock {
    DbfTable* t;
    bool held;
    ~Unlock() {
      if (held) ofdLock(t->fd_, F_UNLCK, kAppendLockByte, 1, false);
    }
  } guard{this, false};
  if (opts_.shared) {
    if (!ofdLock(fd_, F_WRLCK, kAppendLockByte, 1, true))
      fail(gen::kLock, "Table cannot be locked for appending: " + path_, osCodeOfErrno(errno), true);
    guard.held = true;
    count_ = countFromFile();
  }
  const uint32_t recno = count_ + 1;
  if (opts_.shared && !ofdLock(fd_, F_WRLCK, kLockBase + recno, 1, false))
    fail(gen::kLock, "New record " + std::to_string(recno) + " is locked by another user: " + path_,
         oscode::kLockViolation, true);
  std::vector<char> buf(len + 1);
  std::memcpy(buf.data(), src, len);
  buf[len] = 0x1A;
  if (!fullPwrite(fd_, buf.data(), buf.size(), offsetOf(recno))) {
    int err = errno;
    if (opts_.shared) ofdLock(fd_, F_UNLCK, kLockBase + recno, 1, false);
    fail(gen::kWrite, "Record cannot be appended: " + path_, osCodeOfErrno(err), true);
  }
  unsigned char h[7];
  putToday(h);
  put32(h + 3, recno);
  if (!fullPwrite(fd_, h, sizeof h, 1)) {
    int err = errno;
    if (opts_.shared) ofdLock(fd_, F_UNLCK, kLockBase + recno, 1, false);
    fail(gen::kWrite, "Record count cannot be written: " + path_, osCodeOfErrno(err), true);
  }
  count_ = recno;
  fitWindow();
  written_ = true;
  return recno;
}

bool DbfTable::lockRecord(uint32_t recno, double waitSeconds) {
  if (!opts_.shared) return true;
  return ofdLockWait(fd_, kLockBase + recno, 1, waitSeconds);
}

void DbfTable::unlockRecord(uint32_t recno) {
  if (opts_.shared) ofdLock(fd_, F_UNLCK, kLockBase + recno, 1, false);
}

bool DbfTable::lockFile(double waitSeconds) {
  if (!opts_.shared) return true;
  return ofdLockWait(fd_, kLockBase + 1, off_t{1} << 32, waitSeconds);
}

void DbfTable::unlockAll() {
  if (opts_.shared) ofdLock(fd_, F_UNLCK, kLockBase + 1, off_t{1} << 32, false);
}

void DbfTable::lockIndexes() {
  if (opts_.shared && !ofdLock(fd_, F_WRLCK, kIndexLockByte, 1, true))
    fail(gen::kLock, "Indexes of the table cannot be locked: " + path_, osCodeOfErrno(errno), true);
}

void DbfTable::unlockIndexes() {
  if (opts_.shared) ofdLock(fd_, F_UNLCK, kIndexLockByte, 1, false);
}

void DbfTable::flush() {
  if (opts_.durable && written_ && fdatasync(fd_) != 0)
    fail(gen::kWrite, "Table cannot be written to the disk: " + path_, osCodeOfErrno(errno), true);
}

void DbfTable::close() {
  if (fd_ < 0) return;
  if (written_ && !opts_.readOnly) {
    unsigned char d[3];
    putToday(d);
    fullPwrite(fd_, d, sizeof d, 1);  // date of the last update; the data is already written
  }
  if (opts_.durable && written_) fdatasync(fd_);
  map_.unmap();
  window_ = nullptr;
  windowCount_ = 0;
  windowLost_ = nullptr;
  ::close(fd_);  // also drops every lock of this open table
  fd_ = -1;
  unregisterFile();
}

void DbfTable::create(const std::string& path, std::vector<FieldDef> fields) {
  checkStructure(fields, path, "DBFDBE");
  const size_t n = fields.size();
  const uint32_t hdrLen = static_cast<uint32_t>(32 + 32 * n + 1);
  uint32_t recLen = 1;
  for (auto& f : fields) recLen += static_cast<uint32_t>(f.len);
  std::string data(hdrLen + 1, '\0');
  auto* h = reinterpret_cast<unsigned char*>(data.data());
  h[0] = 0x03;
  putToday(h + 1);
  put32(h + 4, 0);
  put16(h + 8, hdrLen);
  put16(h + 10, recLen);
  h[29] = kLdidCp850;
  for (size_t i = 0; i < n; ++i) {
    unsigned char* d = h + 32 + 32 * i;
    std::memcpy(d, fields[i].name.data(), fields[i].name.size());
    d[11] = static_cast<unsigned char>(fields[i].type);
    d[16] = static_cast<unsigned char>(fields[i].len);
    d[17] = static_cast<unsigned char>(fields[i].dec);
  }
  h[hdrLen - 1] = 0x0D;
  h[hdrLen] = 0x1A;

  auto failCreate = [&](int err, const std::string& what) {
    throw DbFailure{err == ENOSPC || err == EDQUOT || err == EFBIG ? gen::kWrite : gen::kCreate,
                    osCodeOfErrno(err), what + ": " + path, path, "DBFDBE", true};
  };
  // Written beside the target and renamed over it, so no half-written table is ever seen.
  const std::string tmp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) failCreate(errno, "Table cannot be created");
  if (!fullPwrite(fd, data.data(), data.size(), 0)) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    failCreate(err, "Table cannot be written");
  }
  ::close(fd);
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    failCreate(err, "Table cannot be created");
  }
  // A code-page file of the table replaced would mislabel the new one.
  std::error_code ec;
  fs::remove(fs::path(path).replace_extension(".cpg"), ec);
  fs::remove(fs::path(path).replace_extension(".CPG"), ec);
}

}  // namespace xb::db
