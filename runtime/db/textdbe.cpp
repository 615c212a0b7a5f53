// The text engines: "DELDBE" (comma-delimited, texts in double quotes) and "SDFDBE"
// (fixed-width columns). Both read the whole file at open and append lines at commit
// points; records already in the file are not rewritten. The structure comes from a
// structure file beside the table (<name>.dbs, one "NAME,TYPE,WIDTH,DECIMALS" line per
// field, written by DbCreate) or, for a delimited file without one, from its contents.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/date.h"
#include "core/errcodes.h"
#include "core/format.h"
#include "core/system.h"
#include "db/engine.h"

namespace xb::db {
namespace {

namespace fs = std::filesystem;

std::string structurePath(const std::string& path) { return fs::path(path).replace_extension(".dbs").string(); }

bool isNumberText(std::string_view s) {
  if (s.empty()) return false;
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') digits = true;
    else if (s[i] == '.' && !point) point = true;
    else return false;
  }
  return digits;
}

struct Cell {
  std::string text;
  bool quoted = false;
};

class TextTable : public Table {
 public:
  TextTable(TableKind kind, const std::string& path, const OpenOptions& opts) : kind_(kind) {
    path_ = path;
    opts_ = opts;
    cp_ = CodePage::cp850();
  }

  const char* engine() const override { return kind_ == TableKind::Delimited ? "DELDBE" : "SDFDBE"; }

  void load() {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
      int err = errno;
      fail(err == ENOENT ? gen::kNoFile : gen::kOpen, "Text table cannot be opened: " + path_, osCodeOfErrno(err), true);
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string data = ss.str();
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < data.size()) {
      size_t nl = data.find('\n', pos);
      std::string line = data.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
      pos = nl == std::string::npos ? data.size() : nl + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == "\x1A") break;
      if (!line.empty()) lines.push_back(std::move(line));
    }
    std::vector<std::vector<Cell>> rows;
    if (kind_ == TableKind::Delimited)
      for (size_t i = 0; i < lines.size(); ++i) rows.push_back(splitLine(lines[i], i + 1));

    if (!readStructureFile()) {
      if (kind_ == TableKind::Sdf) fail(gen::kOpen, "Fixed-width table needs its structure file " + structurePath(path_));
      inferStructure(rows);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string rec(static_cast<size_t>(recLen_), ' ');
      if (kind_ == TableKind::Delimited) fillFromCells(rec, rows[i], i + 1);
      else fillFromFixed(rec, lines[i], i + 1);
      records_.push_back(std::move(rec));
    }
    written_ = records_.size();
  }

  uint32_t recCount(bool) override { return static_cast<uint32_t>(records_.size()); }

  void read(uint32_t recno, char* dst, bool) override {
    std::memcpy(dst, records_.at(recno - 1).data(), static_cast<size_t>(recLen_));
  }

  void write(uint32_t recno, const char* src) override {
    if (opts_.readOnly) fail(gen::kTableReadOnly, "Table is open read-only: " + path_);
    if (recno <= written_)
      fail(gen::kUnsupported, "Records of a text table are not rewritten, only appended (record " +
                                  std::to_string(recno) + "): " + path_);
    records_.at(recno - 1).assign(src, static_cast<size_t>(recLen_));
    // Lines go out in order: a record appended before this one goes first.
    while (written_ < recno) {
      writeLine(records_[written_]);
      ++written_;
    }
  }

  uint32_t append(const char* src) override {
    if (opts_.readOnly) fail(gen::kTableReadOnly, "Table is open read-only: " + path_);
    records_.emplace_back(src, static_cast<size_t>(recLen_));
    return static_cast<uint32_t>(records_.size());
  }

  void flush() override {
    while (written_ < records_.size()) {
      writeLine(records_[written_]);
      ++written_;
    }
    if (opts_.durable && fd_ >= 0) fdatasync(fd_);
  }

  void close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  ~TextTable() override { close(); }

  static void create(TableKind kind, const std::string& path, std::vector<FieldDef> fields) {
    const char* eng = kind == TableKind::Delimited ? "DELDBE" : "SDFDBE";
    checkStructure(fields, path, eng);
    std::ofstream s(structurePath(path), std::ios::binary | std::ios::trunc);
    for (auto& f : fields) s << f.name << ',' << f.type << ',' << f.len << ',' << f.dec << "\r\n";
    s.close();
    std::ofstream d(path, std::ios::binary | std::ios::trunc);
    if (!s || !d) throw DbFailure{gen::kCreate, osCodeOfErrno(errno), "Text table cannot be created: " + path, path, eng, true};
  }

 private:
  std::vector<Cell> splitLine(const std::string& line, size_t lineNo) {
    std::vector<Cell> cells;
    size_t i = 0;
    for (;;) {
      Cell c;
      if (i < line.size() && line[i] == '"') {
        c.quoted = true;
        ++i;
        for (;;) {
          if (i >= line.size()) fail(gen::kCorruption, "Line " + std::to_string(lineNo) + " has a text without its closing quote: " + path_);
          if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
              c.text += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          c.text += line[i++];
        }
        if (i < line.size() && line[i] != ',')
          fail(gen::kCorruption, "Line " + std::to_string(lineNo) + " has characters after a closing quote: " + path_);
      } else {
        size_t comma = line.find(',', i);
        c.text = line.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
        i = comma == std::string::npos ? line.size() : comma;
        while (!c.text.empty() && c.text.back() == ' ') c.text.pop_back();
        c.text.erase(0, c.text.find_first_not_of(' ') == std::string::npos ? c.text.size() : c.text.find_first_not_of(' '));
      }
      cells.push_back(std::move(c));
      if (i >= line.size()) break;
      ++i;  // the comma
    }
    return cells;
  }

  bool readStructureFile() {
    std::ifstream in(structurePath(path_));
    if (!in) return false;
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
      ++n;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      std::stringstream ls(line);
      std::string name, type, len, dec;
      std::getline(ls, name, ',');
      std::getline(ls, type, ',');
      std::getline(ls, len, ',');
      std::getline(ls, dec, ',');
      FieldDef f;
      f.name = name;
      f.type = type.empty() ? '?' : type[0];
      auto r1 = std::from_chars(len.data(), len.data() + len.size(), f.len);
      auto r2 = std::from_chars(dec.data(), dec.data() + dec.size(), f.dec);
      if (r1.ec != std::errc() || (!dec.empty() && r2.ec != std::errc()))
        fail(gen::kCorruption, "Line " + std::to_string(n) + " of the structure file is not NAME,TYPE,WIDTH,DECIMALS: " + structurePath(path_));
      fields_.push_back(f);
    }
    try {
      checkStructure(fields_, structurePath(path_), engine());
    } catch (DbFailure& f) {
      f.genCode = gen::kCorruption;
      throw;
    }
    recLen_ = 1;
    for (auto& f : fields_) recLen_ += f.len;
    return true;
  }

  void inferStructure(const std::vector<std::vector<Cell>>& rows) {
    size_t cols = 0;
    for (auto& r : rows) cols = std::max(cols, r.size());
    if (cols == 0) fail(gen::kOpen, "Empty delimited file without a structure file: " + path_);
    for (size_t c = 0; c < cols; ++c) {
      bool allQuotedOrEmpty = true, allNumbers = true, allLogical = true;
      size_t width = 1, intWidth = 1;
      int dec = 0;
      for (auto& r : rows) {
        if (c >= r.size()) continue;
        const Cell& cell = r[c];
        width = std::max(width, cell.text.size());
        if (!cell.quoted && !cell.text.empty()) allQuotedOrEmpty = false;
        if (cell.quoted || !isNumberText(cell.text)) allNumbers = allNumbers && !cell.quoted && cell.text.empty();
        else {
          auto dot = cell.text.find('.');
          if (dot != std::string::npos) dec = std::max(dec, static_cast<int>(cell.text.size() - dot - 1));
          intWidth = std::max(intWidth, dot == std::string::npos ? cell.text.size() : dot);
        }
        bool logical = !cell.quoted && cell.text.size() == 1 && std::strchr("TtFfYyNn", cell.text[0]);
        allLogical = allLogical && (logical || (!cell.quoted && cell.text.empty()));
      }
      FieldDef f;
      f.name = "FIELD" + std::to_string(c + 1);
      if (allLogical && !allQuotedOrEmpty) { f.type = 'L'; f.len = 1; }
      else if (allNumbers && !allQuotedOrEmpty) {
        f.type = 'N';
        f.dec = dec;
        f.len = static_cast<int>(intWidth) + (dec ? dec + 1 : 0);
      } else {
        f.type = 'C';
        f.len = static_cast<int>(std::min<size_t>(width, 254));
      }
      fields_.push_back(f);
    }
    checkStructure(fields_, path_, engine());
    recLen_ = 1;
    for (auto& f : fields_) recLen_ += f.len;
  }

  [[noreturn]] void badValue(size_t lineNo, const FieldDef& f, const std::string& text, const char* what) {
    fail(gen::kCorruption, "Line " + std::to_string(lineNo) + ", field " + f.name + ": \"" + text + "\" " + what + ": " + path_);
  }

  void putValue(std::string& rec, const FieldDef& f, std::string text, size_t lineNo) {
    char* raw = rec.data() + f.offset;
    const size_t len = static_cast<size_t>(f.len);
    switch (f.type) {
      case 'C':
        if (text.size() > len && text.find_first_not_of(' ', len) != std::string::npos) badValue(lineNo, f, text, "is too wide");
        std::memcpy(raw, text.data(), std::min(len, text.size()));
        break;
      case 'N': {
        while (!text.empty() && text.back() == ' ') text.pop_back();
        text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
        if (text.empty()) break;
        if (!isNumberText(text)) badValue(lineNo, f, text, "is no number");
        std::string t = numberToText(std::strtod(text.c_str(), nullptr), f.len, f.dec);
        if (t.find('*') != std::string::npos) badValue(lineNo, f, text, "is too wide");
        std::memcpy(raw, t.data(), len);
        break;
      }
      case 'D': {
        bool blank = text.find_first_not_of(' ') == std::string::npos;
        if (blank) break;
        int y = 0, m = 0, d = 0;
        if (text.size() != 8 || !isNumberText(text) || text.find('.') != std::string::npos ||
            (y = std::stoi(text.substr(0, 4)), m = std::stoi(text.substr(4, 2)), d = std::stoi(text.substr(6, 2)),
             dayNumber(y, m, d) == 0))
          badValue(lineNo, f, text, "is no date (YYYYMMDD)");
        std::memcpy(raw, text.data(), 8);
        break;
      }
      case 'L':
        if (text.empty() || text == " ") break;
        if (text.size() != 1 || !std::strchr("TtFfYyNn", text[0])) badValue(lineNo, f, text, "is no logical value");
        raw[0] = std::strchr("TtYy", text[0]) ? 'T' : 'F';
        break;
    }
  }

  void fillFromCells(std::string& rec, const std::vector<Cell>& cells, size_t lineNo) {
    if (cells.size() > fields_.size())
      fail(gen::kCorruption, "Line " + std::to_string(lineNo) + " has " + std::to_string(cells.size()) +
                                 " values for " + std::to_string(fields_.size()) + " fields: " + path_);
    for (size_t i = 0; i < cells.size(); ++i) putValue(rec, fields_[i], cells[i].text, lineNo);
  }

  void fillFromFixed(std::string& rec, const std::string& line, size_t lineNo) {
    const size_t need = static_cast<size_t>(recLen_ - 1);
    if (line.size() > need && line.find_first_not_of(' ', need) != std::string::npos)
      fail(gen::kCorruption, "Line " + std::to_string(lineNo) + " is longer than a record (" + std::to_string(need) + "): " + path_);
    std::string padded = line;
    padded.resize(need, ' ');
    for (auto& f : fields_) putValue(rec, f, padded.substr(static_cast<size_t>(f.offset - 1), static_cast<size_t>(f.len)), lineNo);
  }

  std::string lineOf(const std::string& rec) const {
    std::string line;
    for (size_t i = 0; i < fields_.size(); ++i) {
      const FieldDef& f = fields_[i];
      std::string_view raw(rec.data() + f.offset, static_cast<size_t>(f.len));
      if (kind_ == TableKind::Sdf) {
        line += raw;
        continue;
      }
      if (i) line += ',';
      std::string_view t = raw;
      while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
      if (f.type == 'C') {
        line += '"';
        for (char c : t) {
          if (c == '"') line += '"';
          line += c;
        }
        line += '"';
      } else {
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        line += t;
      }
    }
    return line + "\r\n";
  }

  void writeLine(const std::string& rec) {
    if (fd_ < 0) {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd_ < 0) fail(gen::kOpen, "Text table cannot be opened for writing: " + path_, osCodeOfErrno(errno), true);
    }
    std::string line = lineOf(rec);
    size_t done = 0;
    while (done < line.size()) {
      ssize_t w = ::write(fd_, line.data() + done, line.size() - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) fail(gen::kWrite, "Line cannot be appended: " + path_, osCodeOfErrno(w < 0 ? errno : ENOSPC), true);
      done += static_cast<size_t>(w);
    }
  }

  TableKind kind_;
  std::vector<std::string> records_;
  size_t written_ = 0;
  int fd_ = -1;
};

}  // namespace

std::unique_ptr<Table> openTextTable(TableKind kind, const std::string& path, const OpenOptions& opts) {
  auto t = std::make_unique<TextTable>(kind, path, opts);
  t->load();
  return t;
}

void createTextTable(TableKind kind, const std::string& path, std::vector<FieldDef> fields) {
  TextTable::create(kind, path, std::move(fields));
}

}  // namespace xb::db
