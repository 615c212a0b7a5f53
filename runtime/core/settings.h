// Global settings of the runtime: Set(n [, value [, additive]]) returns the old value.
#pragma once
#include "core/value.h"

namespace xb {

namespace set {
inline constexpr int kExact = 1;          // "=" on strings compares exactly
inline constexpr int kDecimals = 3;       // decimals of computed numbers
inline constexpr int kDateFormat = 4;     // e.g. "dd.mm.yyyy"
inline constexpr int kEpoch = 5;          // first year of a two-digit-year century
inline constexpr int kExclusive = 8;      // tables open exclusively by default
inline constexpr int kConsole = 17;       // QOut writes to the console
inline constexpr int kAlternate = 18;     // QOut writes to the alternate file
inline constexpr int kAltFile = 19;       // name of the alternate file
inline constexpr int kDevice = 20;        // "SCREEN" or "PRINTER"
inline constexpr int kExtra = 21;         // QOut writes to the extra file
inline constexpr int kExtraFile = 22;     // name of the extra file
inline constexpr int kPrinter = 23;       // QOut writes to the printer file
inline constexpr int kPrintFile = 24;     // name of the printer file
inline constexpr int kInsert = 29;        // insert mode of edit fields
inline constexpr int kCentury = 40;       // four-digit years
inline constexpr int kDbOption = 41;      // option passed to the database engines
inline constexpr int kLockWait = 42;      // seconds a record or file lock waits
inline constexpr int kLast = 42;
}  // namespace set

// Unknown numbers raise a run-time error naming the number. Switch settings take logicals
// or "ON"/"OFF". Setting 19/22/24 opens (additive: appends to) the file at once; a file
// that cannot be opened raises a run-time error and leaves the setting as it was.
Value Set(int n);
Value Set(int n, const Value& value, bool additive = false);

// Typed reads for the runtime's own use.
bool setFlag(int n);
int setNumber(int n);
std::string setText(int n);

// Back to the values at start (tests).
void resetSettings();

}  // namespace xb
