#include "db/index.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/date.h"
#include "core/errcodes.h"
#include "core/format.h"
#include "core/system.h"
#include "core/text.h"

namespace xb::db {
namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'X', 'B', 'N', 'T', 'X', '1', '\0', '\0'};
constexpr size_t kHeader = 32;
constexpr size_t kNameLen = 11;

[[noreturn]] void failIndex(const std::string& path, int gen, const std::string& what, int os = 0) {
  throw DbFailure{gen, os, what + " (" + path + ")", path, "NTXDBE", gen == gen::kOpen || gen == gen::kWrite};
}

void put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}
uint32_t get32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t{static_cast<unsigned char>(s[at + static_cast<size_t>(i)])} << (8 * i);
  return v;
}

uint32_t fnv1a(const char* p, size_t n) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < n; ++i) {
    h ^= static_cast<unsigned char>(p[i]);
    h *= 16777619u;
  }
  return h;
}

// A number as text that sorts like the number: a sign place ('0' negative, '1' otherwise)
// and the digits of the amount, for negatives each digit complemented to 9.
std::string numberKey(double v, int len, int dec) {
  std::string t = numberToText(std::fabs(v), len, dec);
  for (auto& c : t)
    if (c == ' ') c = '0';
  bool negative = v < 0 && t.find_first_not_of("0.") != std::string::npos;
  if (negative)
    for (auto& c : t)
      if (c >= '0' && c <= '9') c = static_cast<char>('9' - (c - '0'));
  return (negative ? "0" : "1") + t;
}

int keyWidth(const FieldDef& f) { return f.type == 'N' ? f.len + 1 : f.len; }

}  // namespace

void Index::resolveFields(const std::vector<std::string>& names) {
  const auto& fields = table_.fields();
  if (names.empty()) failIndex(path_, gen::kArgument, "An index needs at least one key field");
  keyLen_ = 0;
  for (auto& n : names) {
    int found = -1;
    for (size_t i = 0; i < fields.size(); ++i)
      if (iequals(fields[i].name, n)) found = static_cast<int>(i);
    if (found < 0) failIndex(path_, gen::kNoField, "Key field " + n + " does not exist in " + table_.path());
    parts_.push_back({found});
    keyLen_ += keyWidth(fields[static_cast<size_t>(found)]);
  }
}

std::string Index::name() const { return cpUpper(fs::path(path_).stem().string()); }

std::string Index::keyText() const {
  std::string t;
  for (auto& p : parts_) {
    if (!t.empty()) t += "+";
    t += table_.fields()[static_cast<size_t>(p.field)].name;
  }
  return t;
}

std::string Index::keyOf(const char* record) const {
  std::string key;
  key.reserve(static_cast<size_t>(keyLen_));
  for (auto& p : parts_) {
    const FieldDef& f = table_.fields()[static_cast<size_t>(p.field)];
    std::string_view raw(record + f.offset, static_cast<size_t>(f.len));
    switch (f.type) {
      case 'C': key += table_.codePage().decode(raw); break;
      case 'N': {
        std::string t(raw);
        char* end = nullptr;
        double v = std::strtod(t.c_str(), &end);
        key += numberKey(v, f.len, f.dec);
        break;
      }
      case 'L': key += (raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y') ? 'T' : 'F'; break;
      default: key += raw;
    }
  }
  return key;
}

std::optional<std::string> Index::keyOfValue(const Value& v) const {
  std::vector<Value> parts;
  if (v.isArray()) parts = v.array()->items();
  else parts.push_back(v);
  if (parts.size() > parts_.size()) return std::nullopt;
  std::string key;
  for (size_t i = 0; i < parts.size(); ++i) {
    const FieldDef& f = table_.fields()[static_cast<size_t>(parts_[i].field)];
    const Value& p = parts[i];
    const bool last = i + 1 == parts.size();
    switch (f.type) {
      case 'C': {
        if (!p.isChar()) return std::nullopt;
        std::string s = p.str();
        // The last text given is a prefix (and may run on into the next key fields); an
        // earlier one stands for the whole field.
        if (!last) {
          if (s.size() > static_cast<size_t>(f.len)) return std::nullopt;
          s.resize(static_cast<size_t>(f.len), ' ');
        }
        key += s;
        break;
      }
      case 'N':
        if (!p.isNum()) return std::nullopt;
        key += numberKey(p.num(), f.len, f.dec);
        break;
      case 'D': {
        if (!p.isDate()) return std::nullopt;
        if (p.date() == 0) key += "        ";
        else {
          Ymd d = ymdOf(p.date());
          char t[16];
          std::snprintf(t, sizeof t, "%04d%02d%02d", d.year, d.month, d.day);
          key += t;
        }
        break;
      }
      case 'L':
        if (!p.isLogical()) return std::nullopt;
        key += p.logical() ? 'T' : 'F';
        break;
    }
  }
  return key;
}

std::unique_ptr<Index> Index::create(const std::string& path, Table& table, const std::vector<std::string>& keyFields) {
  std::unique_ptr<Index> ix(new Index(path, table));
  ix->resolveFields(keyFields);
  std::vector<char> rec(static_cast<size_t>(table.recordLength()));
  const uint32_t n = table.recCount(true);
  table.invalidate();
  for (uint32_t r = 1; r <= n; ++r) {
    table.read(r, rec.data(), true);
    ix->entries_.emplace_hint(ix->entries_.end(), ix->keyOf(rec.data()), r);
  }
  table.lockIndexes();
  struct Unlock {
    Table& t;
    ~Unlock() { t.unlockIndexes(); }
  } unlock{table};
  ix->writeFile();
  return ix;
}

std::unique_ptr<Index> Index::open(const std::string& path, Table& table) {
  std::unique_ptr<Index> ix(new Index(path, table));
  ix->load();
  return ix;
}

void Index::load() {
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    failIndex(path_, err == ENOENT ? gen::kNoFile : gen::kOpen, "Index file cannot be opened", osCodeOfErrno(err));
  }
  struct stat s {};
  fstat(fd, &s);
  std::string data(static_cast<size_t>(s.st_size), '\0');
  size_t done = 0;
  while (done < data.size()) {
    ssize_t r = ::pread(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  ::close(fd);
  if (done != data.size()) failIndex(path_, gen::kRead, "Index file cannot be read");
  if (data.size() < kHeader + 4 || std::memcmp(data.data(), kMagic, 8) != 0)
    failIndex(path_, gen::kCorruption, "Not an index file of this engine");
  const uint32_t keyLen = get32(data, 12);
  const uint32_t entries = get32(data, 16);
  const uint32_t nFields = get32(data, 20);
  const size_t body = kHeader + nFields * kNameLen;
  const uint64_t need = body + uint64_t{entries} * (keyLen + 4) + 4;
  if (nFields == 0 || nFields > 64 || need != data.size() ||
      get32(data, data.size() - 4) != fnv1a(data.data(), data.size() - 4))
    failIndex(path_, gen::kCorruption, "Index file is damaged");
  std::vector<std::string> names;
  for (uint32_t i = 0; i < nFields; ++i) {
    const char* p = data.data() + kHeader + i * kNameLen;
    names.emplace_back(p, strnlen(p, kNameLen));
  }
  if (parts_.empty()) resolveFields(names);
  if (static_cast<uint32_t>(keyLen_) != keyLen)
    failIndex(path_, gen::kCorruption, "Index file does not fit the fields of " + table_.path());
  entries_.clear();
  size_t pos = body;
  for (uint32_t i = 0; i < entries; ++i) {
    entries_.emplace_hint(entries_.end(), data.substr(pos, keyLen), get32(data, pos + keyLen));
    pos += keyLen + 4;
  }
  stamp_.ino = s.st_ino;
  stamp_.mtimeNs = static_cast<int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
  stamp_.size = s.st_size;
}

bool Index::changedOnDisk() const {
  struct stat s {};
  if (::stat(path_.c_str(), &s) != 0) return false;
  int64_t m = static_cast<int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
  return s.st_ino != stamp_.ino || m != stamp_.mtimeNs || s.st_size != stamp_.size;
}

void Index::rememberStamp() {
  struct stat s {};
  if (::stat(path_.c_str(), &s) != 0) return;
  stamp_.ino = s.st_ino;
  stamp_.mtimeNs = static_cast<int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
  stamp_.size = s.st_size;
}

void Index::refresh() {
  if (!table_.shared() || !changedOnDisk()) return;
  load();
  for (auto& c : pending_) {
    if (c.add) entries_.insert(c.entry);
    else entries_.erase(c.entry);
  }
}

void Index::update(uint32_t recno, const std::string* oldKey, const std::string& newKey) {
  if (oldKey) {
    entries_.erase({*oldKey, recno});
    pending_.push_back({false, {*oldKey, recno}});
  }
  entries_.emplace(newKey, recno);
  pending_.push_back({true, {newKey, recno}});
}

void Index::save() {
  if (pending_.empty()) return;
  table_.lockIndexes();
  struct Unlock {
    Table& t;
    ~Unlock() { t.unlockIndexes(); }
  } unlock{table_};
  refresh();  // others' changes first, ours on top
  writeFile();
  pending_.clear();
}

void Index::writeFile() {
  const size_t body = kHeader + parts_.size() * kNameLen;
  std::string data(body + entries_.size() * (static_cast<size_t>(keyLen_) + 4) + 4, '\0');
  std::memcpy(data.data(), kMagic, 8);
  put32(data, 8, 1);
  put32(data, 12, static_cast<uint32_t>(keyLen_));
  put32(data, 16, static_cast<uint32_t>(entries_.size()));
  put32(data, 20, static_cast<uint32_t>(parts_.size()));
  for (size_t i = 0; i < parts_.size(); ++i) {
    const std::string& n = table_.fields()[static_cast<size_t>(parts_[i].field)].name;
    std::memcpy(data.data() + kHeader + i * kNameLen, n.data(), std::min(n.size(), kNameLen - 1));
  }
  size_t pos = body;
  for (auto& [key, recno] : entries_) {
    std::memcpy(data.data() + pos, key.data(), key.size());
    put32(data, pos + key.size(), recno);
    pos += key.size() + 4;
  }
  put32(data, pos, fnv1a(data.data(), pos));
  // A new file renamed over the old one: readers see the old or the new index, never half.
  const std::string tmp = path_ + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) failIndex(path_, gen::kCreate, "Index file cannot be created", osCodeOfErrno(errno));
  size_t done = 0;
  while (done < data.size()) {
    ssize_t w = ::write(fd, data.data() + done, data.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      int err = w < 0 ? errno : ENOSPC;
      ::close(fd);
      ::unlink(tmp.c_str());
      failIndex(path_, gen::kWrite, "Index file cannot be written", osCodeOfErrno(err));
    }
    done += static_cast<size_t>(w);
  }
  ::close(fd);
  if (::rename(tmp.c_str(), path_.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    failIndex(path_, gen::kWrite, "Index file cannot be replaced", osCodeOfErrno(err));
  }
  rememberStamp();
}

}  // namespace xb::db
