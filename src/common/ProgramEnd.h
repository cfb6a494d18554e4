#pragma once

namespace ks3 {

// Ends the program at once, as the record layer does when the user answers
// "Abandonner" to a record-file failure. The waiting trace lines are written to
// the day's file first; nothing else is cleaned up.
//
// Tests put their own ending in the services (CommonServices::programEnd);
// when it returns, FinProgrammeDemandee() stays true so that the caller stops
// doing anything further, until OublierFinProgramme (installing services
// forgets it too).
void FinProgramme(int exitCode = 1);
bool FinProgrammeDemandee();
void OublierFinProgramme();

} // namespace ks3
