#include "common/ErrorRoutine.h"

#include "common/TraceLog.h"
#include "common/TrimSpaces.h"

namespace ks3 {

ErrorRecord& errorRecord() {
    static ErrorRecord r;
    return r;
}

bool& ErreurEnCours() {
    static bool busy = false;
    return busy;
}

void Procedure::report(int line, int number, const QString& description, const QString& source) noexcept {
    try {
        if (ErreurEnCours())
            return;
        ErrorRecord& r = errorRecord();
        r.errNumero = number;
        r.errLigne = line;
        r.errDescription = description;
        r.errSource = source;
        TraceErreur(origin());
    } catch (...) {
    }
}

void TraceErreur(const QString& origin) {
    if (ErreurEnCours())
        return;
    ErreurEnCours() = true;
    // Each step on its own: a failure in one still lets the next one run.
    const ErrorRecord& r = errorRecord();
    long long n = r.errNumero;
    bool adjusted = false;
    QString text;
    try {
        // Object errors carry the platform's base; the suite reports their own number.
        if (n >= -2147221503LL && n <= -2147155970LL) {
            n += 2147221504LL;
            adjusted = true;
        }
    } catch (...) {
    }
    if (n != 0) {
        try {
            QString d = r.errDescription;
            if (d.size() > 100)
                d.replace(QStringLiteral(". "), QStringLiteral("  "));
            text = QStringLiteral("Err:") + QString::number(n) + QStringLiteral(" (") + d + QLatin1Char(')');
        } catch (...) {
        }
        try {
            if (!trimSpaces(origin).isEmpty()) {
                QString o = origin;
                o.replace(QLatin1Char(':'), QStringLiteral(" Sub:"));
                text += QStringLiteral("  Source:") + o + QLatin1Char(':') + QString::number(r.errLigne);
            }
        } catch (...) {
        }
        try {
            if (adjusted && !trimSpaces(r.errSource).isEmpty())
                text += QStringLiteral(" (Source: ") + r.errSource + QLatin1Char(')');
        } catch (...) {
        }
        try {
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            TraceLogEncadre(-1, -1, -1, text, QStringLiteral("="), true);
        } catch (...) {
        }
        try {
            // An automation object that left its clients: only a restart cures it.
            if (n == -2147417848LL)
                TraceLogEncadre(-1, -1, -1,
                                QStringLiteral("Reboot the Computer because of Automation Error, "),
                                QStringLiteral("="), false);
        } catch (...) {
        }
    }
    ErreurEnCours() = false;
}

} // namespace ks3
