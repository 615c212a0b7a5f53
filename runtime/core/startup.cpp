#include "core/startup.h"

#include "core/error.h"
#include "core/output.h"

namespace xb {
namespace {

std::vector<Procedure>& exitProcedures() {
  static std::vector<Procedure> list;
  return list;
}

// Runs one step; returns false when the application is to end.
bool runStep(const Procedure& p) {
  if (!p) return true;
  try {
    p();
    return true;
  } catch (const QuitSignal&) {
    return false;
  } catch (const BreakSignal&) {
    OutErr("Break without a recovery point: the application ends\r\n");
    if (ErrorLevel() == 0) ErrorLevel(1);
    return false;
  }
}

}  // namespace

void addExitProcedure(Procedure p) { exitProcedures().push_back(std::move(p)); }
void clearExitProcedures() { exitProcedures().clear(); }

int runStartRecord(const StartRecord& record) {
  bool going = runStep(record.registerExits);
  for (const Procedure* p : {&record.errorSys, &record.dbeSys, &record.appSys, &record.main}) {
    if (!going) break;
    going = runStep(*p);
  }
  // Exit procedures run once each, whatever ended the application; one that QUITs ends
  // only itself.
  auto procedures = std::move(exitProcedures());
  exitProcedures().clear();
  for (const auto& p : procedures) runStep(p);
  return ErrorLevel();
}

}  // namespace xb
