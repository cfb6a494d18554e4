#pragma once

#include <QString>

namespace ks3 {

// The UDP rows of the options window, on the back-end of Frm_MainBis that
// CodeVersionOS chose.
// They read the rows' settings (UdpIn*, UdpOut*) as the window shows them.

// Binds or unbinds receive row Index after its "Activer" box changed (by the
// user or by the settings loader): a row with an empty address or port is not
// bound and says why; a failed bind is traced and shown in a message that
// closes itself after 5 s; while bound, the row's address and port are locked.
void CheckUDPInActif_Click(int Index);

// Runs CheckUDPInActif_Click whenever an "Activer" box changes value, from now
// on (the window program and tests call it before the settings load, so that
// every row saved active is bound at start-up).
void LierCasesActivationUDP();

// Sends Chaine to the destination of send row NoAdresse, when its port reads
// as a number above 0; then lets pending events run.
void SendMessageUDP(int NoAdresse, const QString& Chaine);

// "Envoyer" of send row Index: sends its text when not blank, to its port as
// read (0 included).
void BtnUDPSend_Click(int Index);

} // namespace ks3
