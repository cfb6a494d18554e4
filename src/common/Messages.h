#pragma once

#include <QString>

namespace ks3 {

// The suite's message display: decodes the style (icon + button set), shows the
// message through the message-box service and returns the platform's answer code
// (1 Ok, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
int AffMsg(const QString& message, int style, const QString& title, bool noWait = false, int timeoutMs = 0,
           int zone = -1);

// Shows (unless silent) the suite's numbered message with its detail.
void GestErr_Fra(int number, const QString& detail, const QString& title, bool silent, const QString& procedure);

// A text of the suite's message catalogue; "???" when unknown.
QString LibelleMessage(const QString& section, int number, int format = 0);

} // namespace ks3
