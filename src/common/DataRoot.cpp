#include "common/DataRoot.h"

#include "common/PathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>

namespace ks3 {

namespace {
QString variable(const char* name) {
    return QFile::decodeName(qgetenv(name));
}

QString homeFolder() {
    const QString home = variable("HOME");
    if (!home.isEmpty())
        return home;
    // A service started without HOME still has an account.
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return QFile::decodeName(pw->pw_dir);
    return QDir::homePath();
}
} // namespace

QString dataRoot(const DataRootFacts& facts) {
    const QString program = withTrailingSlash(facts.programFolder);
    if (facts.programFolderWritable && !program.isEmpty() && !program.startsWith(QLatin1String("/usr/")))
        return program;
    const QString state = facts.stateDirectory.section(QLatin1Char(':'), 0, 0).trimmed();
    if (!state.isEmpty())
        return withTrailingSlash(state);
    // XDG base directories ignore a relative path.
    if (facts.xdgDataHome.startsWith(QLatin1Char('/')))
        return withTrailingSlash(facts.xdgDataHome) + QStringLiteral("Kestrel/");
    return withTrailingSlash(facts.home) + QStringLiteral(".local/share/Kestrel/");
}

bool folderWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK | X_OK) == 0;
}

DataRootFacts dataRootFactsOf(const QString& programFolder) {
    DataRootFacts f;
    f.programFolder = programFolder;
    f.programFolderWritable = folderWritable(programFolder);
    f.stateDirectory = variable("STATE_DIRECTORY");
    f.xdgDataHome = variable("XDG_DATA_HOME");
    f.home = homeFolder();
    return f;
}

} // namespace ks3
