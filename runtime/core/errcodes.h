// Generic error codes (genCode) of the run-time error system, in one place.
#pragma once

namespace xb::gen {

inline constexpr int kArgument = 1;         // operand or argument of the wrong kind
inline constexpr int kBound = 2;            // array index out of range
inline constexpr int kStringOverflow = 3;   // string too long
inline constexpr int kNumOverflow = 11;     // numeric overflow
inline constexpr int kNumError = 12;        // numeric error, division or modulo by zero among them
inline constexpr int kNotABlock = 13;       // evaluation of something that is not a code block
inline constexpr int kNoMethod = 14;        // message sent to NIL or to an object without it
inline constexpr int kNoMember = 15;        // unknown member or named variable
inline constexpr int kReadOnly = 16;        // assignment to a read-only member
inline constexpr int kDestroyed = 17;       // method of a window part that was destroyed
inline constexpr int kNoParent = 18;        // window part used without a parent
inline constexpr int kUnknownSetting = 19;  // Set with a number that does not exist
inline constexpr int kNotTarget = 20;       // event for a target that is gone
inline constexpr int kDataType = 21;        // value of the wrong type for a field
inline constexpr int kDataWidth = 22;       // value too wide for a field
inline constexpr int kUnsupported = 23;     // operation not supported

// Files and the database layer.
inline constexpr int kCreate = 70;       // file cannot be created
inline constexpr int kOpen = 71;         // open error (osCode 32: in use by another process)
inline constexpr int kClose = 72;
inline constexpr int kRead = 73;
inline constexpr int kWrite = 74;        // write error (osCode 112: disk full)
inline constexpr int kCorruption = 75;   // corrupt or truncated file
inline constexpr int kNoTable = 76;      // no table in use in the work area
inline constexpr int kNoField = 77;      // field name or number does not exist
inline constexpr int kLock = 78;         // lock failure
inline constexpr int kUnlocked = 79;     // write to a record of a shared table without its lock
inline constexpr int kNoAlias = 80;      // alias or work area does not exist
inline constexpr int kDupAlias = 81;     // alias in use
inline constexpr int kNoEngine = 82;     // database engine not loaded
inline constexpr int kNoOrder = 83;      // no index in use
inline constexpr int kTableReadOnly = 84;
inline constexpr int kNoFile = 85;       // file does not exist (osCode 2)
inline constexpr int kNoRecord = 86;     // write without a current record (end of file)

}  // namespace xb::gen

namespace xb::oscode {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;
inline constexpr int kLockViolation = 33;
inline constexpr int kFileExists = 80;
inline constexpr int kDiskFull = 112;
}  // namespace xb::oscode
