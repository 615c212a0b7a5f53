// How an application starts and ends: its start record with the system procedures, the
// list of exit procedures, and the exit code.
#pragma once
#include <functional>
#include <vector>

namespace xb {

using Procedure = std::function<void()>;

struct StartRecord {
  Procedure errorSys;  // installs the error handler; runs first, so later failures reach it
  Procedure dbeSys;
  Procedure appSys;
  Procedure main;
  // Registers the application's exit procedures (addExitProcedure).
  Procedure registerExits;
};

// Runs the record: registerExits, errorSys, dbeSys, appSys, main; then the exit
// procedures, in the order they were added. QUIT anywhere (also inside an exit procedure)
// ends the step it is in; a Break with no recovery point left ends the application with
// exit code 1. Returns the exit code: ErrorLevel().
int runStartRecord(const StartRecord& record);

void addExitProcedure(Procedure p);
void clearExitProcedures();

}  // namespace xb
