#include "runtime/MainCommands.h"

#include "common/ErrorRoutine.h"
#include "common/Messages.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "engine/RunState.h"
#include "udp/FileTraitementsUDP.h"
#include "udp/LabelDataArrivalUDP_Change.h"

namespace ks3 {

namespace {
// Style codes of the message display: question icon with Oui/Non, warning icon with Ok.
constexpr int kQuestionOuiNon = 32 + 4;
constexpr int kAvertissement = 48;
constexpr int kOui = 6;

bool askYesNo(const QString& question) {
    return AffMsg(question, kQuestionOuiNon, programValues().titreFenetre) == kOui;
}
} // namespace

void DemandeArretConversion() {
    Procedure p("FrmMain", "CommandStopConvert_Click");
    p.step(10, [] {
        runState().stopConversion = askYesNo(QStringLiteral("Voulez-vous stopper la conversion en cours ?"));
    });
}

bool ConfirmeQuitter() {
    Procedure p("FrmMain", "Quitter");
    bool quit = false;
    p.step(10, [&] { quit = askYesNo(QStringLiteral("Voulez-vous quitter le programme ?")); });
    if (!quit)
        return false;
    p.step(20, [] {
        TraceLogEncadre(-1, -1, -1, QStringLiteral("Application closed by human action (Menu action)"),
                        QStringLiteral("*"), false);
    });
    p.step(30, [] { runState().stopConversion = true; });
    return true;
}

bool FermetureAutorisee(OrigineFermeture origine) {
    Procedure p("FrmMain", "Form_QueryUnload");
    bool allowed = true;
    p.step(10, [&] {
        // A request's handling is a conversion too: unloading under it would
        // close the record files it is writing, and its next record call would
        // report the closed file and end the program halfway through.
        if (!runState().conversionEnCours && !traitementsUDP().enCours())
            return;
        AffMsg(QStringLiteral("Conversion en cours. Vous ne pouvez pas quitter l'application"),
               kAvertissement, programValues().titreFenetre);
        allowed = false;
    });
    if (!allowed)
        return false;
    if (origine != OrigineFermeture::CaseFermeture)
        return true;
    p.step(20, [&] {
        allowed = askYesNo(QStringLiteral("Voulez-vous quitter le programme ?"));
        if (allowed)
            runState().stopConversion = true;
    });
    return allowed;
}

} // namespace ks3
