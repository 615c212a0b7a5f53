#include "sys/system_procedures.h"

// The error handler, the engine set-up and the exit clean-up are still to come; the
// procedures are called at the right moments already.
void ERRORSYS() {}
void DBESYS() {}
void APPEXIT() {}
