// The application: its start-up procedures, MAIN with the event loop, and the hooks other
// parts of the program call.
#pragma once
#include "core/startup.h"
#include "core/value.h"

// The main procedure: opens the dialog "Test Combo" and runs the event loop until the
// window-close event has been dispatched.
void MAIN();
// Application set-up; there is nothing to set up.
void APPSYS();
// Called before the edit field writes into a field of a shared work area; has no effect.
bool SATZSP(xb::Args args = {});

// The start record of this application: ERRORSYS, DBESYS, APPSYS, MAIN, with APPEXIT
// registered as exit procedure.
xb::StartRecord applicationStartRecord();

// The lowest runtime version the application runs on (with its lowest 8 bits cleared).
inline constexpr uint32_t kMinimumRuntimeVersion = 0x1500000;  // 22020096

// The entry: checks the runtime's version (999 when it is too old, and nothing runs),
// then runs the record and returns the exit code.
int applicationEntry(const xb::StartRecord& record);
