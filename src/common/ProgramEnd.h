#pragma once

#include <functional>

namespace ks3 {

// Ends the program at once, as the record layer does when the user answers
// "Abandonner" to a record-file failure. The waiting trace lines are written to
// the day's file first; nothing else is cleaned up.
//
// Tests install their own ending; when it returns, FinProgrammeDemandee()
// stays true so that the caller stops doing anything further.
void FinProgramme(int exitCode = 1);
bool FinProgrammeDemandee();

using ProgramEndHandler = std::function<void(int exitCode)>;
// An empty handler restores the real ending. Installing one clears the request.
void setProgramEndHandler(ProgramEndHandler handler);

} // namespace ks3
