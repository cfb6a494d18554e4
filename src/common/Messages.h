#pragma once

#include <QString>

namespace ks3 {

// The suite's message display: decodes the style (icon + button set), shows the
// message through the message-box service and returns the platform's answer code
// (1 Ok, 2 Cancel, 4 Retry, 5 Ignore, 6 Yes, 7 No; "Abandonner" answers 2, and 0
// for anything else). An empty title takes the active window's caption. With
// noWait it returns 1 as soon as the box is shown; a time-out presses the first
// button.
int AffMsg(const QString& message, int style, const QString& title, bool noWait = false, int timeoutMs = 0,
           int zone = -1);

// Shows (unless silent) the suite's numbered message with its detail, in a box
// with the single button "Ok". A title "(Source:...)" goes under the text and the
// box is titled "Erreur".
void GestErr_Fra(int number, const QString& detail, const QString& title, bool silent,
                 const QString& procedure);

// A text of the suite's message catalogue (section names with their letter case);
// "???:section:number:???" when unknown. Format 3 gives a day name's short form.
QString LibelleMessage(const QString& section, int number, int format = 0);

} // namespace ks3
