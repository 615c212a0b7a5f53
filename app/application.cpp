#include "app/application.h"

#include "core/system.h"
#include "sys/system_procedures.h"
#include "ui/dialog.h"
#include "ui/events.h"

using namespace xb;

void APPSYS() {}

bool SATZSP(Args) { return true; }

void MAIN() {
  auto dialog = newPart<XbpDialog>(AppDesktop(), Value(), arrayValue({30, 50}), arrayValue({400, 450}));
  dialog->setTitle(cp("Test Combo"));
  dialog->create();
  // Events posted without a target go to the main dialog.
  SetAppWindow(Value(dialog));

  int code = 0;
  Value mp1, mp2, target;
  // The previous event's code is tested before waiting for the next one, so the close
  // event itself is dispatched to its part (running the dialog's close callback) before
  // the loop ends.
  while (code != ev::kClose) {
    code = AppEvent(mp1, mp2, target);
    // An event without a target part has nobody to handle it.
    if (auto part = windowOf(target)) part->handleEvent(code, mp1, mp2);
  }
}

StartRecord applicationStartRecord() {
  StartRecord r;
  r.errorSys = ERRORSYS;
  r.dbeSys = DBESYS;
  r.appSys = APPSYS;
  r.main = MAIN;
  r.registerExits = [] { addExitProcedure(APPEXIT); };
  return r;
}

int applicationEntry(const StartRecord& record) {
  if ((runtimeVersionNumber() & ~uint32_t{0xFF}) < kMinimumRuntimeVersion) return 999;
  return runStartRecord(record);
}
