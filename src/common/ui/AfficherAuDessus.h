#pragma once

class QWidget;

namespace ks3 {

// Mode 1 keeps the window above all others and marks it (property "Tag" = "1");
// mode 0 removes that and marks it "0".
void AfficherAuDessus(QWidget* window, int mode);

// Around every waiting message box or input box: with true, every visible window
// marked "1" steps back (mode 0) and is marked "-1", so it cannot hide the box;
// with false, those windows go back above the others. Nested boxes only act at
// the outermost level.
void AfficherMessageBoxOuInputBox(bool showing);

} // namespace ks3
