#include "settings/FolderTools.h"

#include "common/ErrorRoutine.h"
#include "common/PathText.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"

#include <QFile>
#include <QSet>
#include <sys/stat.h>

namespace ks3 {

namespace {

// What the folder operations remember. Entries are whole paths compared
// exactly: the file system tells "Music" from "music", and a path is never
// taken as found because it is part of another one.
struct Memory {
    QSet<QString> found;
    QSet<QString> notFound;
    QSet<QString> verified;
    QSet<QString> reported;
    QString lastVerified;
    int diskChecks = 0;
};

Memory& memory() {
    static Memory m;
    return m;
}

bool folderExists(const QString& path) {
    ++memory().diskChecks;
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isNetworkPath(const QString& path) {
    return path.startsWith(QLatin1String("//"));
}

} // namespace

void resetFolderTools() {
    memory() = Memory{};
}
int folderDiskChecks() {
    return memory().diskChecks;
}

QString NettoieChemin(const QString& path) {
    QString p = path;
    for (const QChar c : {QLatin1Char('\\'), QLatin1Char('*'), QLatin1Char('?'), QLatin1Char('"'),
                          QLatin1Char('<'), QLatin1Char('>'), QLatin1Char('|'), QLatin1Char(',')})
        p.replace(c, QLatin1Char(' '));
    p.remove(QStringLiteral("..."));
    p.remove(QStringLiteral(".."));
    p.remove(QLatin1Char('%'));
    if (p.size() >= 3) {
        const QString head = p.left(2);
        QString rest = p.mid(2);
        rest.replace(QLatin1Char(':'), QLatin1Char(' '));
        rest.replace(QStringLiteral("   "), QStringLiteral(" "));
        p = head + rest;
    }
    while (p.contains(QStringLiteral(" /")))
        p.replace(QStringLiteral(" /"), QStringLiteral("/"));
    return p.trimmed();
}

void VerificationEtCreationRepertoire(const QString& path, bool report) {
    Procedure proc("Lib_Systeme", "VerificationEtCreationRepertoire");
    Memory& m = memory();
    QString p;
    proc.step(10, [&] {
        p = NettoieChemin(path);
        if (!p.isEmpty())
            p = withTrailingSlash(p);
    });
    if (p.isEmpty() || m.verified.contains(p) || p == m.lastVerified)
        return;
    proc.step(20, [&] {
        const bool network = isNetworkPath(p);
        int level = 0;
        for (qsizetype i = 0; i < p.size(); ++i) {
            if (p.at(i) != QLatin1Char('/'))
                continue;
            const QString prefix = p.left(i + 1);
            if (prefix == QLatin1String("/") || prefix == QLatin1String("//") ||
                prefix.endsWith(QLatin1String("//")))
                continue; // the root, the opening of a network path, a doubled separator
            ++level;
            if (network && level == 1)
                continue; // the server of a network path
            if (m.verified.contains(prefix))
                continue;
            bool exists = folderExists(prefix);
            if (!exists && !network) {
                ::mkdir(QFile::encodeName(prefix).constData(), 0777);
                exists = folderExists(prefix);
            }
            if (exists) {
                m.verified.insert(prefix);
                continue;
            }
            if (!prefix.contains(QLatin1Char('$')) && !m.reported.contains(prefix)) {
                if (report)
                    TraceLog(-1, -1, -1, QStringLiteral("Folder '") + prefix + QStringLiteral("' not found"));
                m.reported.insert(prefix);
            }
            break;
        }
    });
    m.lastVerified = p;
}

bool FolderFound(QString& path, bool useDefault) {
    Procedure proc("Lib_Systeme", "FolderFound");
    Memory& m = memory();
    bool result = false;
    proc.step(10, [&] {
        if (path.trimmed().isEmpty())
            return;
        const QString key = withTrailingSlash(path);
        if (m.found.contains(key)) {
            result = true;
            return;
        }
        if (m.notFound.contains(key))
            return;
        if (folderExists(path)) {
            m.found.insert(key);
            result = true;
            return;
        }
        if (useDefault && !isNetworkPath(path))
            path = DossierDonnees() + QStringLiteral("Brightwell/Kestrel/Config/");
        VerificationEtCreationRepertoire(path, true);
        const QString now = withTrailingSlash(path);
        if (folderExists(path)) {
            m.found.insert(now);
            result = true;
        } else {
            m.notFound.insert(now);
        }
    });
    return result;
}

} // namespace ks3
