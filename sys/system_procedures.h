// The application's system procedures: error handling, database engines, exit clean-up.
#pragma once

// Installs the process-wide run-time error handler.
void ERRORSYS();
// Loads the database engines and sets the date format.
void DBESYS();
// Exit procedure: commits and closes the work areas.
void APPEXIT();
