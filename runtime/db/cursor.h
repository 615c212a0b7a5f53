// The part of a work area that reading a table touches for every record and every field.
// Moving on to the next record and reading a field are inline functions on top of it (see
// db.h): a scan makes a call for each field, and an out-of-line call with its look-up of the
// area costs about as much as reading the field itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/value.h"
#include "db/fieldparse.h"
#include "db/table.h"

namespace xb::db {

// What reading a field needs, gathered when the table is opened.
struct FieldPlan {
  char type = 'C';
  bool plainText = false;  // a text in the code page of the program: no conversion
  int16_t len = 0, dec = 0;
  int32_t offset = 0;
  fieldparse::NumberShape number;  // number fields
  fieldparse::MonthMemo month;     // date fields
};

struct Cursor {
  std::unique_ptr<Table> table;
  // The current record's bytes: where the table's read window holds them while they are
  // unchanged (no copy on the way through a table), else buf.
  const char* rec = nullptr;
  // The record as edited.
  std::vector<char> buf;
  std::vector<FieldPlan> plan;  // one per field
  size_t fields = 0;            // plan.size(), without the division by its element size
  uint32_t recno = 1;
  int order = 0;  // 0: natural order
  bool eof = true, bof = true;
  bool dirty = false;
  bool unreadable = false;  // the last read of the current record failed

  bool inWindow() const { return rec != buf.data(); }

  // Moves on to the next record while it is in the read window: nothing to write, natural
  // order, so the cursor only points at the record there. False, with nothing changed, for
  // anything else (which the work area then does the long way).
  [[gnu::always_inline]] bool skipInWindow() {
    if (dirty || eof || order != 0) return false;
    const char* next = table->cachedRecord(recno + 1);
    if (!next || !plainRecord(next, buf.size()) || (FileMap::anyLost() && table->windowLost())) return false;
    rec = next;
    ++recno;
    bof = false;
    return true;
  }

  // Field `index` (0-based) into `out` for the usual contents: a text in the program's code
  // page, a number in the usual layout, a date of eight digits, a logical. False, with `out`
  // in any state, for everything else (conversions, odd layouts, errors), which the work
  // area then reads the long way.
  [[gnu::always_inline]] bool readField(size_t index, Value& out) {
    FieldPlan& f = plan[index];
    const char* raw = rec + f.offset;
    bool read = false;
    switch (f.type) {
      case 'C':
        if (f.plainText) {
          out.assignText(std::string_view(raw, static_cast<size_t>(f.len)));
          read = true;
        }
        break;
      case 'N': {
        double v;
        if (fieldparse::numberField(raw, f.number, v)) {
          out.assignNumber(Number{v, f.len, f.dec});
          read = true;
        }
        break;
      }
      case 'D': {
        int32_t day;
        if (fieldparse::dateField(raw, f.month, day)) {
          out.assignDate(day);
          read = true;
        }
        break;
      }
      case 'L':
        if (raw[0] == 'T' || raw[0] == 'F') {
          out.assignLogical(raw[0] == 'T');
          read = true;
        }
        break;
    }
    // Zeros from a window whose file was cut short while they were read are no record (see
    // FileMap); the long way reads it again and tells what became of it.
    return read && !unreadable && !(FileMap::anyLost() && inWindow() && table->windowLost());
  }
};

// The cursor of the current work area; null when no table is in use there.
extern Cursor* current;

// The long ways of DbSkip and FieldGetInto.
void skipSlow(long n);
bool fieldGetIntoSlow(int pos, Value& out);

}  // namespace xb::db
