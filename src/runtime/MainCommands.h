#pragma once

namespace ks3 {

// Who asks the main window to close.
enum class OrigineFermeture {
    CaseFermeture, // the user, with the window's own close box
    Programme,     // the program itself ("Quitter")
    Systeme,       // the operating system (SIGTERM, end of the desktop session)
};

// "Stopper": asks whether to stop the run; Oui sets StopConversion, Non clears
// it. Accepted with no run in progress too: the next run clears the flag.
void DemandeArretConversion();

// "Quitter": asks whether to quit; on Oui traces the closing and sets
// StopConversion and returns true (the window is then to be unloaded).
bool ConfirmeQuitter();

// Form_QueryUnload: false when the closing is to be cancelled. Always refused
// during a run or the handling of a UDP request; the close box alone is
// questioned (Oui sets StopConversion).
bool FermetureAutorisee(OrigineFermeture origine);

} // namespace ks3
